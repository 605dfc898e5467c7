// CrystalMaker: a crystal structure's molecules with its cell, shown as whole molecules, as
// the file lists them, or as the packed contents of the unit cell.
#pragma once

#include <vector>

#include "host/Cell.h"
#include "host/Crystal.h"
#include "host/HostApi.h"
#include "host/Molecule.h"
#include "host/THandle.h"

class HOST_API CrystalMaker {
  public:
    using MoleculeList = std::vector<THandle<Molecule>>;

    /// The structure's molecules (as a BondDetector completes them), the molecules of one
    /// unit cell when the caller has them already, and further molecules shown with the
    /// structure (guests, probes); the last two may be empty handles. The whole molecules
    /// are selected.
    CrystalMaker(const Cell& cell, THandle<MoleculeList> molecules,
                 THandle<MoleculeList> cell_contents, THandle<MoleculeList> extra);

    const Cell& cell() const { return cell_; }
    /// The molecules of the selected view.
    int nmolecules() const { return static_cast<int>(shown_.size()); }
    /// Throws std::out_of_range outside 0 to nmolecules() - 1.
    THandle<Molecule> molecule(int index) const;
    /// The molecules of the selected view, as a new list (hold the handle while iterating:
    /// `for (m : *maker.molecules())` would walk a list already freed).
    THandle<MoleculeList> molecules() const { return make_handle<MoleculeList>(shown_); }

    /// Shows the structure's molecules, then the extra ones.
    void select_molecules();
    /// Shows the structure as its file lists it (the asymmetric unit): of each molecule, its
    /// listed atoms at their listed positions with the bonds among them; then the extra
    /// molecules. This is the form in which a structure is written back.
    void select_3d();
    /// Shows the unit cell's contents, as create_crystal() gives them.
    void select_cell();

    /// The unit cell's contents: the given ones, or every symmetry image of each of the
    /// structure's molecules moved by whole cells so that its centre lies in the cell, each
    /// atom site once: an image holds only the atoms no earlier image has put on the same
    /// place (a molecule or atom on a special position, the atoms a polymer's or network's
    /// fragment shares with its images), and an image left with none is not shown.
    THandle<Crystal> create_crystal() const;

  private:
    Cell cell_;
    THandle<MoleculeList> molecules_;
    THandle<MoleculeList> cell_contents_;
    THandle<MoleculeList> extra_;
    MoleculeList shown_;
};
