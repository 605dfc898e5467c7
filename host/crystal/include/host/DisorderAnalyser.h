// DisorderAnalyser: a structure's atoms sorted into its ordered part and the alternative
// groups of its disorder assemblies, with the molecules of the chosen alternatives.
#pragma once

#include <vector>

#include "host/Cell.h"
#include "host/DisorderAtom.h"
#include "host/DisorderSelector.h"
#include "host/HostApi.h"
#include "host/Molecule.h"
#include "host/THandle.h"

class HOST_API DisorderAnalyser {
  public:
    using MoleculeList = std::vector<THandle<Molecule>>;
    using SelectorList = std::vector<THandle<DisorderSelector>>;

    /// Atoms of group 0 are the ordered part; the others go to one selector per assembly.
    DisorderAnalyser(const std::vector<DisorderAtom>& atoms, const Cell& cell);

    /// The whole molecules (BondDetector::CompleteMolecules) of the ordered part together
    /// with the group each selector has chosen now; without disorder, of the ordered part.
    THandle<MoleculeList> molecules() const;
    /// One selector per assembly that has groups, by ascending assembly number; they are
    /// shared, so a choice made on one shows in the next molecules().
    THandle<SelectorList> crystal_disorder_selector() const { return selectors_; }

  private:
    Cell cell_;
    std::vector<THandle<Atom>> ordered_;
    THandle<SelectorList> selectors_;
};
