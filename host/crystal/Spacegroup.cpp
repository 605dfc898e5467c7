#include "host/Spacegroup.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <gemmi/symmetry.hpp>

namespace {

const gemmi::SpaceGroup* tabulated(const void* group) {
    return static_cast<const gemmi::SpaceGroup*>(group);
}

// Real files write subscripts as 2(1), 6_3 or 6~3~; the tables as 21 and 63.
std::string plain_symbol(const std::string& name) {
    std::string plain;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '_' || c == '~' || c == '(' || c == ')') continue;
        plain += c;
    }
    return plain;
}

// The old cubic symbols without the bar: "F d 3 m" is F d -3 m.
std::string with_cubic_bar(const std::string& name) {
    std::string compact;
    for (char c : name) {
        if (c != ' ') compact += c;
    }
    if (compact.size() >= 3 && std::isalpha(static_cast<unsigned char>(compact[1])) &&
        compact[2] == '3') {
        return compact.substr(0, 2) + "-" + compact.substr(2);
    }
    return std::string();
}

// Groups with two origin choices list choice 1 first; a name without a suffix means 2.
const gemmi::SpaceGroup* preferred_origin(const gemmi::SpaceGroup* found, const std::string& name) {
    if (found == nullptr || found->ext != '1' || name.find(':') != std::string::npos) return found;
    const gemmi::SpaceGroup* next = found + 1;
    return next->number == found->number && next->ext == '2' ? next : found;
}

// Files put blanks around the slash: "P 21 /m".
std::string without_blanks_at_slashes(const std::string& name) {
    std::string joined;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const bool beside_slash = (i + 1 < name.size() && name[i + 1] == '/') ||
                                  (!joined.empty() && joined.back() == '/');
        if (name[i] == ' ' && beside_slash) continue;
        joined += name[i];
    }
    return joined;
}

// A full symbol names each direction's axis and plane ("P 21/b 21/c 21/a"); the tables keep
// the short symbol, the planes alone ("P b c a"), where tetragonal, trigonal and hexagonal
// groups keep their main axis whole ("P 42/n c m"). The short form of the directions from
// `first` on: empty when nothing shortens.
std::string shortened(const std::string& name, std::size_t first) {
    std::istringstream words(name);
    std::string word, result;
    bool changed = false;
    for (std::size_t i = 0; words >> word; ++i) {
        const std::size_t slash = word.find('/');
        if (i >= first && slash != std::string::npos) {
            word = word.substr(slash + 1);
            changed = true;
        }
        result += (result.empty() ? "" : " ") + word;
    }
    return changed ? result : std::string();
}

// The spellings of a name to look for in the tables, as files write it first.
std::vector<std::string> spellings(const std::string& name) {
    const std::string plain = without_blanks_at_slashes(plain_symbol(name));
    std::vector<std::string> found_as{plain};
    for (const std::string& other :
         {with_cubic_bar(plain), shortened(plain, 2), shortened(plain, 1)}) {
        if (!other.empty()) found_as.push_back(other);
    }
    return found_as;
}

const gemmi::SpaceGroup* find_by_name(const std::string& name) {
    for (const std::string& spelling : spellings(name)) {
        if (const gemmi::SpaceGroup* found = gemmi::find_spacegroup_by_name(spelling)) {
            return preferred_origin(found, spelling);
        }
    }
    return nullptr;
}

std::string compact_symbol(const gemmi::SpaceGroup& group) {
    std::string symbol = group.short_name();
    if (group.ext == 'H') symbol[0] = 'R';
    return symbol;
}

std::string spaced_symbol(const gemmi::SpaceGroup& group) {
    std::string symbol = group.hm;
    if (group.ext != 0 && group.ext != ' ') {
        symbol += " :";
        symbol += group.ext;
    }
    return symbol;
}

gemmi::Op to_tabulated(const CrystalSymmetryOperator& op) {
    gemmi::Op converted;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            converted.rot[i][j] = op.rotation()[i][j] * gemmi::Op::DEN;
        converted.tran[i] =
            static_cast<int>(std::lround(op.translation()[i] * gemmi::Op::DEN)) % gemmi::Op::DEN;
    }
    return converted;
}

CrystalSymmetryOperator from_tabulated(const gemmi::Op& op) {
    CrystalSymmetryOperator::Rotation rotation{};
    CrystalSymmetryOperator::Translation translation{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            rotation[i][j] = op.rot[i][j] / gemmi::Op::DEN;
        translation[i] = static_cast<double>(op.tran[i]) / gemmi::Op::DEN;
    }
    return CrystalSymmetryOperator(rotation, translation);
}

const gemmi::SpaceGroup* find_by_operators(const std::vector<CrystalSymmetryOperator>& operators) {
    std::vector<gemmi::Op> ops;
    for (const CrystalSymmetryOperator& op : operators)
        ops.push_back(to_tabulated(op));
    try {
        return gemmi::find_spacegroup_by_ops(gemmi::split_centering_vectors(ops));
    } catch (const std::exception&) {
        return nullptr;  // operators that do not close into a group
    }
}

}  // namespace

Spacegroup::Spacegroup() {
    take_tabulated(&gemmi::get_spacegroup_p1());
}

Spacegroup::Spacegroup(const std::vector<CrystalSymmetryOperator>& operators, int,
                       const std::string& name) {
    if (const gemmi::SpaceGroup* found = find_by_operators(operators)) {
        take_tabulated(found);
        return;
    }
    name_ = name;
    spaced_name_ = name;
    number_ = 0;
    operators_ = operators;
}

Spacegroup::Spacegroup(const std::string& name, int number, System system) : from_name_(true) {
    if (const gemmi::SpaceGroup* found = find_by_name(name)) {
        take_tabulated(found);
        return;
    }
    name_ = name;
    spaced_name_ = name;
    number_ = number;
    system_ = system;
    operators_.emplace_back();
}

void Spacegroup::take_tabulated(const void* group) {
    const gemmi::SpaceGroup& found = *tabulated(group);
    name_ = compact_symbol(found);
    spaced_name_ = spaced_symbol(found);
    number_ = found.number;
    system_ = static_cast<System>(found.crystal_system());
    operators_.clear();
    for (const gemmi::Op& op : found.operations())
        operators_.push_back(from_tabulated(op));
}

Spacegroup Spacegroup::with_cell_angles(double alpha_degrees, double gamma_degrees) const {
    if (!from_name_) return *this;
    const gemmi::SpaceGroup* found = find_by_name(spaced_name_);
    if (found == nullptr || (found->ext != 'H' && found->ext != 'R')) return *this;
    const gemmi::SpaceGroup* hexagonal = found->ext == 'H' ? found : found - 1;
    Spacegroup chosen(*this);
    chosen.take_tabulated(gamma_degrees < 1.125 * alpha_degrees ? hexagonal + 1 : hexagonal);
    return chosen;
}

std::string Spacegroup::crystal_system_text(System system) {
    static const char* const texts[] = {"triclinic", "monoclinic", "orthorhombic", "tetragonal",
                                        "trigonal",  "hexagonal",  "cubic"};
    return system >= Triclinic && system <= Cubic ? texts[system] : std::string();
}

std::string Spacegroup::derive_vexor_symbol(const std::string& name) {
    const gemmi::SpaceGroup* found = find_by_name(name);
    return found != nullptr ? compact_symbol(*found) : name;
}

Spacegroup Spacegroup::from_hall(const std::string& symbol) {
    std::vector<CrystalSymmetryOperator> operators;
    try {
        for (const gemmi::Op& op : gemmi::symops_from_hall(symbol.c_str()).all_ops_sorted())
            operators.push_back(from_tabulated(op));
    } catch (const std::runtime_error& bad) {
        throw std::invalid_argument(std::string("Not a Hall symbol: ") + bad.what());
    }
    return Spacegroup(operators, 0, symbol);
}

bool Spacegroup::same_operators(const Spacegroup& other) const {
    const auto contains = [](const std::vector<CrystalSymmetryOperator>& all,
                             const CrystalSymmetryOperator& op) {
        return std::find(all.begin(), all.end(), op) != all.end();
    };
    return operators_.size() == other.operators_.size() &&
           std::all_of(
               operators_.begin(), operators_.end(),
               [&](const CrystalSymmetryOperator& op) { return contains(other.operators_, op); });
}
