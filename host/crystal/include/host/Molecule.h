// Molecule: atoms joined by bonds; the crystal model's unit of structure.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/Atom.h"
#include "host/HostApi.h"
#include "host/THandle.h"

class HOST_API Molecule {
  public:
    using AtomList = std::vector<THandle<Atom>>;
    using Bond = std::pair<THandle<Atom>, THandle<Atom>>;

    Molecule() = default;
    Molecule(const Molecule&) = default;
    Molecule& operator=(const Molecule&) = default;
    virtual ~Molecule();

    void add_atom(THandle<Atom> atom) { atoms_.push_back(std::move(atom)); }
    /// Both atoms should be in the molecule; bonds name atoms, so they outlast any reordering.
    void add_bond(THandle<Atom> first, THandle<Atom> second);
    /// Appends the other molecule's atoms and bonds; returns the indices its atoms take here.
    std::vector<int> add_molecule(const Molecule& other);

    AtomList::iterator atoms_begin() { return atoms_.begin(); }
    AtomList::iterator atoms_end() { return atoms_.end(); }
    AtomList::const_iterator atoms_begin() const { return atoms_.begin(); }
    AtomList::const_iterator atoms_end() const { return atoms_.end(); }
    int natoms() const { return static_cast<int>(atoms_.size()); }
    const std::vector<Bond>& bonds() const { return bonds_; }

    /// The formula in Hill order (C, then H, then the rest alphabetically; without carbon all
    /// alphabetically), counts after symbols and blanks between: "C6 H5 Br". Atoms of no
    /// known element are left out.
    std::string formula() const;

  private:
    AtomList atoms_;
    std::vector<Bond> bonds_;
};

/// The molecules' formulas, each once with its count, in order of first appearance:
/// "C8 H12 N5, C6 H8 O4, 2 x H2 O"; "(no element)" for a molecule of unknown atoms only.
HOST_API std::string counted_formulas(const std::vector<THandle<Molecule>>& molecules);
