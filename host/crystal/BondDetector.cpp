#include "host/BondDetector.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <tuple>

#include "host/Cell.h"
#include "host/Molecule3d.h"
#include "host/crystal/Geometry.h"
#include "host/crystal/ImageOperators.h"

namespace image_operators = cif::detail::image_operators;

namespace geometry = cif::detail::geometry;

namespace {

using geometry::Vector;
using Shift = Array<int, 3>;

Shift floor_of(const Vector& point) {
    return {static_cast<int>(std::floor(point[0])), static_cast<int>(std::floor(point[1])),
            static_cast<int>(std::floor(point[2]))};
}

Vector moved(const Vector& point, const Shift& shift) {
    return {point[0] + shift[0], point[1] + shift[1], point[2] + shift[2]};
}

// One distinct symmetry image of a listed atom, wrapped into the cell: the operator maps
// the listed position to wrapped + base.
struct Image {
    int atom;
    int operator_index;
    Vector wrapped;
    Shift base;
};

Image image_of(int atom, int operator_index, const Vector& position) {
    const Shift base = floor_of(position);
    return {atom, operator_index, moved(position, {-base[0], -base[1], -base[2]}), base};
}

// The distinct images of every bondable atom: the listed position first, then, when whole
// molecules are wanted, each operator's image not on a site already taken.
std::vector<Image> images_of(const std::vector<THandle<Atom>>& atoms,
                             const std::vector<bool>& bondable, const Cell& cell,
                             bool with_symmetry) {
    const auto& operators = cell.spacegroup().operators();
    const std::vector<int> usable =
        with_symmetry ? image_operators::of(cell.spacegroup()) : std::vector<int>();
    std::vector<Image> images;
    for (int a = 0; a < static_cast<int>(atoms.size()); ++a) {
        if (!bondable[a]) continue;
        const Vector& listed = atoms[a]->site()->fractional();
        const std::size_t first = images.size();
        images.push_back(image_of(a, -1, listed));
        for (int s : usable) {
            const Vector position = operators[s].apply(listed);
            if (!image_operators::is_placeable(position)) continue;  // an absurd operator
            const Image candidate = image_of(a, s, position);
            const bool seen =
                std::any_of(images.begin() + first, images.end(), [&](const Image& taken) {
                    return geometry::periodic_distance(taken.wrapped, candidate.wrapped,
                                                       cell.orthogonalisation()) <
                           BondDetector::same_site_distance;
                });
            if (!seen) images.push_back(candidate);
        }
    }
    return images;
}

// A cell list over the unit cell: the images in bins, so that the neighbours of a point are
// found among the bins within reach, with the whole-cell translation that brings each near.
class ImageGrid {
  public:
    ImageGrid(const std::vector<Image>& images, const Cell& cell, double reach) {
        for (int i = 0; i < 3; ++i) {
            // The distance between lattice planes along axis i is 1 / |reciprocal axis i|.
            const double width = 1.0 / geometry::length(cell.fractionalisation()[i]);
            // Written so that a cell of absurd size (not a number, or beyond an int) gives
            // one bin, and one far narrower than a bond is searched four cells out.
            const double fits = width / reach;
            bins_[i] = fits >= 64.0 ? 64 : fits >= 1.0 ? static_cast<int>(fits) : 1;
            reach_[i] = fits > 0.25 ? 1.0 / fits : 4.0;
        }
        start_.assign(bins_[0] * bins_[1] * bins_[2] + 1, 0);
        std::vector<int> bin_of(images.size());
        for (std::size_t k = 0; k < images.size(); ++k) {
            bin_of[k] = bin(images[k].wrapped);
            ++start_[bin_of[k] + 1];
        }
        for (std::size_t b = 1; b < start_.size(); ++b)
            start_[b] += start_[b - 1];
        members_.resize(images.size());
        std::vector<int> next(start_.begin(), start_.end() - 1);
        for (std::size_t k = 0; k < images.size(); ++k)
            members_[next[bin_of[k]]++] = static_cast<int>(k);
    }

    // visit(image, shift) for every image whose bin, moved by shift, lies within reach of
    // the point (fractional, in any cell).
    template <class Visit>
    void for_each_near(const Vector& point, Visit visit) const {
        int low[3], high[3];
        for (int i = 0; i < 3; ++i) {
            low[i] = static_cast<int>(std::floor((point[i] - reach_[i]) * bins_[i]));
            high[i] = static_cast<int>(std::floor((point[i] + reach_[i]) * bins_[i]));
        }
        for (int x = low[0]; x <= high[0]; ++x)
            for (int y = low[1]; y <= high[1]; ++y)
                for (int z = low[2]; z <= high[2]; ++z)
                    visit_bin({x, y, z}, visit);
    }

  private:
    template <class Visit>
    void visit_bin(const Shift& unwrapped, Visit& visit) const {
        Shift shift{}, wrapped{};
        for (int i = 0; i < 3; ++i) {
            const int n = bins_[i];
            wrapped[i] = ((unwrapped[i] % n) + n) % n;
            shift[i] = (unwrapped[i] - wrapped[i]) / n;
        }
        const int b = (wrapped[0] * bins_[1] + wrapped[1]) * bins_[2] + wrapped[2];
        for (int m = start_[b]; m < start_[b + 1]; ++m)
            visit(members_[m], shift);
    }

    int bin(const Vector& wrapped) const {
        int index[3];
        for (int i = 0; i < 3; ++i)
            index[i] = std::min(static_cast<int>(wrapped[i] * bins_[i]), bins_[i] - 1);
        return (index[0] * bins_[1] + index[1]) * bins_[2] + index[2];
    }

    int bins_[3];
    double reach_[3];
    std::vector<int> start_;    // first member of each bin, and the end
    std::vector<int> members_;  // image indices, bin by bin
};

// An image placed in a cell: at images[image].wrapped + cell.
struct Member {
    int image;
    Shift cell;
};

// Grows molecules one at a time from a root atom through the bonded images.
class MoleculeGrower {
  public:
    MoleculeGrower(const std::vector<THandle<Atom>>& atoms, const std::vector<Image>& images,
                   const Cell& cell, const BondDistanceLimit& limit, bool as_listed,
                   bool disorder_aware)
        : atoms_(atoms),
          images_(images),
          cell_(cell),
          limit_(limit),
          as_listed_(as_listed),
          disorder_aware_(disorder_aware),
          grid_(images, cell, reach(atoms, images, limit)),
          member_of_image_(images.size(), -1) {}

    // The molecule grown from the listed image of an atom; its atoms are marked covered.
    // Atoms of earlier molecules are left out: only a polymer, cut short, could reach them.
    THandle<Molecule> grow(int root_image, std::vector<bool>& covered) {
        covered_ = &covered;
        members_.assign(1, Member{root_image, images_[root_image].base});
        member_of_image_[root_image] = 0;
        bonds_.clear();
        for (std::size_t next = 0; next < members_.size(); ++next)
            add_neighbours(static_cast<int>(next));
        for (const Member& member : members_) {
            covered[images_[member.image].atom] = true;
            member_of_image_[member.image] = -1;
        }
        return molecule();
    }

  private:
    static double reach(const std::vector<THandle<Atom>>& atoms, const std::vector<Image>& images,
                        const BondDistanceLimit& limit) {
        double largest = 0.0;
        for (const Image& image : images)
            largest = std::max(largest, atoms[image.atom]->element().covalent_radius());
        return std::max(limit.maximum(largest, largest), BondDetector::same_site_distance);
    }

    const Atom& atom_of(const Member& member) const { return *atoms_[images_[member.image].atom]; }

    Vector position(const Member& member) const {
        return moved(images_[member.image].wrapped, member.cell);
    }

    double bond_limit(const Atom& one, const Atom& other) const {
        const double limit =
            limit_.maximum(one.element().covalent_radius(), other.element().covalent_radius());
        const bool hydrogens =
            one.element().atomic_number() == 1 && other.element().atomic_number() == 1;
        return hydrogens ? std::min(limit, BondDetector::hydrogen_pair_distance) : limit;
    }

    void add_neighbours(int from) {
        const Member here = members_[from];
        const Vector point = position(here);
        grid_.for_each_near(point, [&](int image, const Shift& cell) {
            if (as_listed_ && cell != images_[image].base) return;
            const Member there{image, cell};
            const Vector difference = geometry::subtract(position(there), point);
            const double distance = geometry::length(cell_.cartesian(difference));
            const bool in_reach = distance >= BondDetector::same_site_distance &&
                                  distance <= bond_limit(atom_of(here), atom_of(there));
            if (!in_reach || alternatives(here, there)) return;
            connect(from, there);
        });
    }

    // A bond to an image already in the molecule in another cell would repeat the molecule
    // there: the structure is polymeric, and the search ends in that direction.
    void connect(int from, const Member& there) {
        int to = member_of_image_[there.image];
        if (to >= 0 && members_[to].cell != there.cell) return;
        if (to < 0 && (*covered_)[images_[there.image].atom]) return;
        if (to < 0) {
            to = static_cast<int>(members_.size());
            members_.push_back(there);
            member_of_image_[there.image] = to;
        }
        if (to > from) bonds_.emplace_back(from, to);
    }

    bool alternatives(const Member& a, const Member& b) const {
        if (!disorder_aware_) return false;
        const int group = atom_of(a).disorder_group(), other = atom_of(b).disorder_group();
        if (group != 0 && other != 0 && group != other) return true;
        return group < 0 && group == other &&
               images_[a.image].operator_index != images_[b.image].operator_index;
    }

    // Listed atoms in list order first, then images by operator, translation and atom.
    THandle<Molecule> molecule() const {
        std::vector<int> order(members_.size());
        std::vector<std::tuple<bool, int, Shift, int>> keys;
        for (std::size_t m = 0; m < members_.size(); ++m) {
            const Image& image = images_[members_[m].image];
            const Shift translation = moved_shift(members_[m].cell, image.base);
            keys.emplace_back(image.operator_index >= 0 || translation != Shift{},
                              image.operator_index, translation, image.atom);
            order[m] = static_cast<int>(m);
        }
        std::sort(order.begin(), order.end(), [&](int x, int y) { return keys[x] < keys[y]; });
        std::vector<THandle<Atom>> placed(members_.size());
        auto molecule = make_handle<Molecule3d>();
        for (int m : order) {
            placed[m] = placed_atom(members_[m]);
            molecule->add_atom(placed[m]);
        }
        for (const auto& [first, second] : bonds_)
            molecule->add_bond(placed[first], placed[second]);
        return molecule;
    }

    static Shift moved_shift(const Shift& cell, const Shift& base) {
        return {cell[0] - base[0], cell[1] - base[1], cell[2] - base[2]};
    }

    THandle<Atom> placed_atom(const Member& member) const {
        const Image& image = images_[member.image];
        const THandle<Atom>& listed = atoms_[image.atom];
        const Shift translation = moved_shift(member.cell, image.base);
        if (image.operator_index < 0 && translation == Shift{}) return listed;
        const CrystalSymmetryOperator operation =
            image_operators::at(cell_.spacegroup().operators(), image.operator_index);
        THandle<Atom> copy = listed->clone();
        copy->set_site(listed->site()->image(operation, translation, cell_));
        copy->set_image({image.operator_index, translation}, listed);
        return copy;
    }

    const std::vector<THandle<Atom>>& atoms_;
    const std::vector<Image>& images_;
    const Cell& cell_;
    const BondDistanceLimit& limit_;
    bool as_listed_;
    bool disorder_aware_;
    ImageGrid grid_;
    std::vector<int> member_of_image_;            // -1 when not in the molecule being grown
    const std::vector<bool>* covered_ = nullptr;  // atoms of the molecules grown before
    std::vector<Member> members_;
    std::vector<std::pair<int, int>> bonds_;
};

THandle<Molecule> alone(const THandle<Atom>& atom) {
    auto molecule = make_handle<Molecule3d>();
    molecule->add_atom(atom);
    return molecule;
}

}  // namespace

BondDetector::BondDetector(DetectionMode detection, RefinementMode refinement,
                           BondDistanceLimit limit)
    : detection_(detection), refinement_(refinement), limit_(limit) {
    if (detection != AsListed && detection != CompleteMolecules) {
        throw std::invalid_argument("Unknown bond detection mode " + std::to_string(detection));
    }
    if (refinement != DistancesOnly && refinement != DisorderAware) {
        throw std::invalid_argument("Unknown bond refinement mode " + std::to_string(refinement));
    }
}

THandle<BondDetector::MoleculeList> BondDetector::molecules(const std::vector<THandle<Atom>>& atoms,
                                                            const Cell& cell) const {
    std::vector<bool> bondable(atoms.size());
    for (std::size_t a = 0; a < atoms.size(); ++a)
        bondable[a] = atoms[a]->site() && atoms[a]->element().is_known() &&
                      image_operators::is_placeable(atoms[a]->site()->fractional());
    const std::vector<Image> images =
        images_of(atoms, bondable, cell, detection_ == CompleteMolecules);
    MoleculeGrower grower(atoms, images, cell, limit_, detection_ == AsListed,
                          refinement_ == DisorderAware);
    // The listed image of each bondable atom, by atom.
    std::vector<int> listed_image(atoms.size(), -1);
    for (std::size_t k = 0; k < images.size(); ++k)
        if (images[k].operator_index < 0) listed_image[images[k].atom] = static_cast<int>(k);

    auto result = make_handle<MoleculeList>();
    std::vector<bool> covered(atoms.size(), false);
    for (std::size_t a = 0; a < atoms.size(); ++a) {
        if (covered[a]) continue;
        result->push_back(bondable[a] ? grower.grow(listed_image[a], covered) : alone(atoms[a]));
        covered[a] = true;
    }
    return result;
}
