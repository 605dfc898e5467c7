#pragma once

#include <host/Cell.h>
#include <host/CrystalMaker.h>
#include <host/DisorderSelector.h>
#include <host/Molecule.h>

#include <mutex>
#include <vector>

#include "Bindings.h"

namespace cifpy {

/// A structure built from a private copy of a block, so that it may be built without the
/// interpreter's lock while other threads edit the block.
class Structure {
  public:
    using Selectors = std::vector<THandle<DisorderSelector>>;

    explicit Structure(const CifDataBlock& source);

    const THandle<Cell>& cell() const { return cell_; }
    const THandle<Molecule>& atoms() const { return atoms_; }
    const std::vector<CifError>& diagnostics() const { return diagnostics_; }
    const THandle<CrystalMaker>& maker();
    /// The maker's molecules after the selection (select_molecules, select_cell, ...).
    THandle<std::vector<THandle<Molecule>>> molecules(void (CrystalMaker::*select)());
    const THandle<Selectors>& selectors();

  private:
    template <class Build>
    void build_once(Build build);

    THandle<CifDataBlock> block_;
    THandle<Cell> cell_;
    THandle<Molecule> atoms_;
    THandle<CrystalMaker> maker_;
    THandle<Selectors> selectors_;
    std::vector<CifError> diagnostics_;
    std::mutex building_;
};

}  // namespace cifpy
