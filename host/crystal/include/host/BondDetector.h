// BondDetector: the covalent bonds of a crystal structure from the atoms' covalent radii,
// and the molecules they make.
#pragma once

#include <vector>

#include "host/Atom.h"
#include "host/HostApi.h"
#include "host/Molecule.h"
#include "host/THandle.h"

class Cell;

/// Two atoms are bonded when they are no farther apart than the sum of their covalent
/// radii plus the tolerance in angstroms, or, when the tolerance is relative, that sum
/// times the tolerance.
class HOST_API BondDistanceLimit {
  public:
    BondDistanceLimit(double tolerance, bool relative)
        : tolerance_(tolerance), relative_(relative) {}
    /// The limit structures are read with: the sum of the radii plus 0.55 angstroms.
    static BondDistanceLimit standard() { return BondDistanceLimit(0.55, false); }

    double maximum(double radius, double other_radius) const {
        const double sum = radius + other_radius;
        return relative_ ? sum * tolerance_ : sum + tolerance_;
    }

  private:
    double tolerance_;
    bool relative_;
};

/// Atoms of no known element (dummy atoms, centroids) and atoms without a site are never
/// bonded: each is a molecule of its own. Atoms closer than same_site_distance are one site
/// seen twice (alternatives, or a position rounded off a special position), never bonded.
class HOST_API BondDetector {
  public:
    enum DetectionMode {
        /// Bonds between the atoms at their positions as listed, without symmetry or
        /// translation: the molecules are the connected parts of the list.
        AsListed = 2,
        /// Each molecule completed across symmetry: starting from a listed atom, bonded
        /// images (by the space group's operators and whole-cell translations) are added
        /// until the molecule is whole, so that one on an inversion centre or across a cell
        /// edge comes out entire. Every listed atom belongs to one molecule, the first that
        /// holds one of its images. A polymer ends where an image would come in a second
        /// time, one cell further on (each of a listed atom's distinct images appears at most
        /// once), and never reaches atoms of earlier molecules.
        CompleteMolecules = 4
    };
    enum RefinementMode {
        /// Bonds by distance alone.
        DistancesOnly = 0,
        /// By distance, but never between alternatives: atoms of two different non-zero
        /// disorder groups, or atoms of one negative group related by a symmetry operator.
        DisorderAware = 1
    };
    /// Images of an atom closer than this (angstroms) are one site.
    static constexpr double same_site_distance = 0.1;
    /// Two hydrogens bond only this close, whatever the limit: the longest H-H bond (H2,
    /// 0.74 angstroms) with room, as the CSD's radii (H 0.23) plus its 0.4 tolerance give. At
    /// the limit for other atoms (1.17) hydrogens of neighbouring molecules would join them.
    static constexpr double hydrogen_pair_distance = 0.86;

    using MoleculeList = std::vector<THandle<Molecule>>;

    /// Throws std::invalid_argument for a mode value that is not one of the above.
    BondDetector(DetectionMode detection, RefinementMode refinement, BondDistanceLimit limit);

    /// The molecules (Molecule3d) the atoms make in the cell, ordered by their first listed
    /// atom; within one, the listed atoms in list order, then their images. Listed atoms
    /// keep their handles; images are copies with their own sites and SymmetryImage.
    THandle<MoleculeList> molecules(const std::vector<THandle<Atom>>& atoms,
                                    const Cell& cell) const;

  private:
    DetectionMode detection_;
    RefinementMode refinement_;
    BondDistanceLimit limit_;
};
