#include "host/CrystalMaker.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "host/BondDetector.h"
#include "host/Molecule3d.h"
#include "host/crystal/Geometry.h"
#include "host/crystal/ImageOperators.h"

namespace image_operators = cif::detail::image_operators;

namespace geometry = cif::detail::geometry;

namespace {

using geometry::Vector;
using Operators = std::vector<CrystalSymmetryOperator>;

Vector centre_of(const Molecule& molecule) {
    Vector sum{};
    for (auto atom = molecule.atoms_begin(); atom != molecule.atoms_end(); ++atom)
        for (int i = 0; i < 3; ++i)
            sum[i] += (*atom)->site()->fractional()[i] / molecule.natoms();
    return sum;
}

bool is_whole(double value) {
    return std::fabs(value - std::round(value)) < 1e-6;
}

// The image of an atom made by `outer` after its own image: the operator of the list that
// does both, and the whole-cell translation left over.
Atom::SymmetryImage composed(const Atom::SymmetryImage& inner, const CrystalSymmetryOperator& outer,
                             const Array<int, 3>& shift, const Operators& operators) {
    const CrystalSymmetryOperator first = image_operators::at(operators, inner.operator_index);
    CrystalSymmetryOperator::Rotation rotation{};
    Vector translation{};
    for (int i = 0; i < 3; ++i) {
        translation[i] = outer.translation()[i] + shift[i];
        for (int j = 0; j < 3; ++j) {
            translation[i] +=
                outer.rotation()[i][j] * (first.translation()[j] + inner.translation[j]);
            for (int k = 0; k < 3; ++k)
                rotation[i][j] += outer.rotation()[i][k] * first.rotation()[k][j];
        }
    }
    for (int s = 0; s < static_cast<int>(operators.size()); ++s) {
        const Vector difference = geometry::subtract(translation, operators[s].translation());
        if (operators[s].rotation() == rotation && is_whole(difference[0]) &&
            is_whole(difference[1]) && is_whole(difference[2])) {
            return {s,
                    {static_cast<int>(std::lround(difference[0])),
                     static_cast<int>(std::lround(difference[1])),
                     static_cast<int>(std::lround(difference[2]))}};
        }
    }
    return inner;  // operators that are not a group: the atom's own record stays
}

// Where each listed atom stands in the cell so far. An image of it within the same-site
// distance of one of these places, whole cells apart, is that atom again: an atom on a
// special position, or an atom a polymer's or network's fragment shares with its images.
class PlacedSites {
  public:
    explicit PlacedSites(const Cell& cell) : to_cartesian_(cell.orthogonalisation()) {}

    /// Records the atom's place; false when its listed atom stands there already.
    bool place(const Atom& atom) {
        const Atom* listed = atom.listed_atom() ? atom.listed_atom().get() : &atom;
        std::vector<Vector>& places = places_[listed];
        const Vector& point = atom.site()->fractional();
        for (const Vector& other : places) {
            if (geometry::periodic_distance(point, other, to_cartesian_) <
                BondDetector::same_site_distance) {
                return false;
            }
        }
        places.push_back(point);
        return true;
    }

  private:
    geometry::Matrix to_cartesian_;
    std::unordered_map<const Atom*, std::vector<Vector>> places_;
};

// The atoms of the molecule that an operator and a whole-cell shift map to places not taken
// yet, with the bonds among them.
THandle<Molecule> image_of(const Molecule& molecule, const CrystalSymmetryOperator& operation,
                           const Array<int, 3>& shift, const Cell& cell, PlacedSites& placed) {
    auto image = make_handle<Molecule3d>();
    std::unordered_map<const Atom*, THandle<Atom>> copies;
    for (auto atom = molecule.atoms_begin(); atom != molecule.atoms_end(); ++atom) {
        THandle<Atom> copy = (*atom)->clone();
        copy->set_site((*atom)->site()->image(operation, shift, cell));
        copy->set_image(composed((*atom)->image(), operation, shift, cell.spacegroup().operators()),
                        (*atom)->listed_atom() ? (*atom)->listed_atom() : *atom);
        if (!placed.place(*copy)) continue;
        copies[atom->get()] = copy;
        image->add_atom(copy);
    }
    for (const Molecule::Bond& bond : molecule.bonds()) {
        const auto first = copies.find(bond.first.get());
        const auto second = copies.find(bond.second.get());
        if (first != copies.end() && second != copies.end()) {
            image->add_bond(first->second, second->second);
        }
    }
    return image;
}

// Every image of one molecule moved by whole cells so that its centre lies in the cell, with
// the atoms no earlier image has placed. A molecule with an atom of no known place has no
// place in the cell either.
void pack(const THandle<Molecule>& molecule, const Cell& cell, const std::vector<int>& usable,
          PlacedSites& placed, Crystal::MoleculeList& contents) {
    const bool placeable =
        std::all_of(molecule->atoms_begin(), molecule->atoms_end(), [](const THandle<Atom>& atom) {
            return atom->site() && image_operators::is_placeable(atom->site()->fractional());
        });
    if (molecule->natoms() == 0 || !placeable) return;
    const Vector listed_centre = centre_of(*molecule);
    for (int s : usable) {
        const CrystalSymmetryOperator operation =
            image_operators::at(cell.spacegroup().operators(), s);
        const Vector centre = operation.apply(listed_centre);
        if (!image_operators::is_placeable(centre)) continue;  // an absurd operator
        const Array<int, 3> shift{-static_cast<int>(std::floor(centre[0])),
                                  -static_cast<int>(std::floor(centre[1])),
                                  -static_cast<int>(std::floor(centre[2]))};
        THandle<Molecule> image = image_of(*molecule, operation, shift, cell, placed);
        if (image->natoms() > 0) contents.push_back(image);
    }
}

// The listed atoms of a molecule, each once, in list order, with the bonds among them.
THandle<Molecule> as_listed(const Molecule& molecule) {
    std::vector<THandle<Atom>> listed;
    std::unordered_set<const Atom*> seen;
    for (auto atom = molecule.atoms_begin(); atom != molecule.atoms_end(); ++atom) {
        const THandle<Atom>& source = (*atom)->listed_atom() ? (*atom)->listed_atom() : *atom;
        if (seen.insert(source.get()).second) listed.push_back(source);
    }
    std::stable_sort(
        listed.begin(), listed.end(),
        [](const THandle<Atom>& a, const THandle<Atom>& b) { return a->index() < b->index(); });
    auto result = make_handle<Molecule3d>();
    for (const THandle<Atom>& atom : listed)
        result->add_atom(atom);
    for (const Molecule::Bond& bond : molecule.bonds()) {
        const bool both_listed = !bond.first->listed_atom() && !bond.second->listed_atom();
        if (both_listed) result->add_bond(bond.first, bond.second);
    }
    return result;
}

}  // namespace

CrystalMaker::CrystalMaker(const Cell& cell, THandle<MoleculeList> molecules,
                           THandle<MoleculeList> cell_contents, THandle<MoleculeList> extra)
    : cell_(cell),
      molecules_(molecules ? std::move(molecules) : make_handle<MoleculeList>()),
      cell_contents_(std::move(cell_contents)),
      extra_(std::move(extra)) {
    select_molecules();
}

THandle<Molecule> CrystalMaker::molecule(int index) const {
    if (index < 0 || index >= nmolecules()) {
        throw std::out_of_range("No molecule " + std::to_string(index) + " of " +
                                std::to_string(nmolecules()));
    }
    return shown_[index];
}

void CrystalMaker::select_molecules() {
    shown_ = *molecules_;
    if (extra_) shown_.insert(shown_.end(), extra_->begin(), extra_->end());
}

void CrystalMaker::select_3d() {
    shown_.clear();
    for (const THandle<Molecule>& molecule : *molecules_)
        shown_.push_back(as_listed(*molecule));
    if (extra_) shown_.insert(shown_.end(), extra_->begin(), extra_->end());
}

void CrystalMaker::select_cell() {
    shown_ = *create_crystal()->molecules();
}

THandle<Crystal> CrystalMaker::create_crystal() const {
    if (cell_contents_ && !cell_contents_->empty()) {
        return make_handle<Crystal>(cell_, cell_contents_);
    }
    std::vector<int> usable = image_operators::of(cell_.spacegroup());
    if (usable.empty()) usable.push_back(-1);  // P 1: each molecule as it is
    auto contents = make_handle<MoleculeList>();
    PlacedSites placed(cell_);
    for (const THandle<Molecule>& molecule : *molecules_)
        pack(molecule, cell_, usable, placed, *contents);
    return make_handle<Crystal>(cell_, contents);
}
