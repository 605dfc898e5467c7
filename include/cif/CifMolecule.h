// CifMolecule: the atom sites of a data block read into the crystal model's atoms, grouped
// into molecules, and atoms written back as the atom-site loop.
#pragma once

#include <utility>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "cif/CifErrorContainer.h"
#include "host/Cell.h"
#include "host/CrystalMaker.h"
#include "host/DisorderSelector.h"
#include "host/Molecule.h"
#include "host/THandle.h"

/// Atoms are read from the _atom_site_ loop in file order: the element from the type symbol
/// or else the label, the site from the fractional coordinates and the cell, the
/// occupancy, and the displacement parameters from the _atom_site_aniso_ loop or the
/// isotropic U. An atom that cannot be read throws std::runtime_error ("Failed to read atom
/// <row> :reason: ..."); displacement problems never do, they become remarks.
class CIF_API CifMolecule {
  public:
    /// One molecule holding every atom, in file order, bonded as listed.
    static THandle<Molecule> molecule(THandle<CifDataBlock> block, const Cell& cell,
                                      CifErrorContainer& errors);
    /// The block's molecules, each completed across symmetry; atoms of a disorder group
    /// other than 0 and 1 stand alone, as one-atom molecules after the others.
    static THandle<CrystalMaker> crystal_maker(THandle<CifDataBlock> block, const Cell& cell,
                                               CifErrorContainer& errors);
    /// The molecules of the ordered part with the first group of each disorder assembly, and
    /// one selector per assembly to choose among its groups.
    static std::pair<THandle<CrystalMaker>, THandle<std::vector<THandle<DisorderSelector>>>>
    crystal_maker_disorder_selector(THandle<CifDataBlock> block, const Cell& cell,
                                    CifErrorContainer& errors);

    /// Writes the atoms of the molecules, in order, as the atom-site loop (label, type
    /// symbol, fractional coordinates), with an empty anisotropic loop beside it; nothing
    /// for no atoms. The cell is not read.
    static void write(THandle<CifDataBlock> block,
                      THandle<std::vector<THandle<Molecule>>> molecules, const Cell& cell);
};
