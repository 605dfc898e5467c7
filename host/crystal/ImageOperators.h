// Internal: the symmetry operators whose images make whole molecules and fill the cell, and the
// positions that can be placed in whole cells at all.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "host/Spacegroup.h"

namespace cif::detail::image_operators {

/// No space group has more operators (F m -3 m with its centring translations).
constexpr std::size_t most_in_a_group = 192;

/// Indices of the group's distinct operators, in list order; none when there are more than
/// any space group has, which only a list read from a broken file can: such a structure is
/// treated as P 1.
inline std::vector<int> of(const Spacegroup& group) {
    const auto& operators = group.operators();
    std::vector<int> distinct;
    for (std::size_t s = 0; s < operators.size(); ++s) {
        const bool repeated = std::any_of(distinct.begin(), distinct.end(),
                                          [&](int d) { return operators[d] == operators[s]; });
        if (repeated) continue;
        if (distinct.size() == most_in_a_group) return {};
        distinct.push_back(static_cast<int>(s));
    }
    return distinct;
}

/// The operator of the index, the identity for a negative one (a position as listed).
inline CrystalSymmetryOperator at(const std::vector<CrystalSymmetryOperator>& operators,
                                  int index) {
    return index < 0 ? CrystalSymmetryOperator() : operators[index];
}

/// A fractional position whose whole-cell shifts fit an int many times over: finite and
/// within a million cells of the origin.
inline bool is_placeable(const std::array<double, 3>& fractional) {
    return std::all_of(fractional.begin(), fractional.end(),
                       [](double x) { return std::isfinite(x) && std::fabs(x) < 1e6; });
}

}  // namespace cif::detail::image_operators
