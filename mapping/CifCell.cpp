#include "cif/CifCell.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "cif/CifUtilities.h"
#include "host/TextUtilities.h"
#include "mapping/UncertainValueText.h"

namespace {

const char* const name_item = "_symmetry_space_group_name_H-M";
// Files of the newer dictionary name the group only here.
const std::vector<std::string> name_items = {name_item, "_space_group_name_H-M_alt"};
const std::vector<std::string> hall_items = {"_space_group_name_Hall",
                                             "_symmetry_space_group_name_Hall"};
const std::vector<std::string> number_items = {"_space_group_IT_number",
                                               "_symmetry_Int_Tables_number"};
const std::vector<std::string> operator_items = {"_space_group_symop_operation_xyz",
                                                 "_symmetry_equiv_pos_as_xyz"};
constexpr double degrees_per_radian = 57.29577951308232;
// The six cell parameters, lengths then angles, as read and as written.
const char* const cell_names[] = {"_cell_length_a",    "_cell_length_b",   "_cell_length_c",
                                  "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma"};

struct SymmetryItems {
    THandle<CifDataItem> name;
    THandle<CifDataItem> number;
    THandle<CifDataItem> operators;
    THandle<CifDataItem> hall;
};

struct to_lowercase {
    char operator()(char c) const {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
};

// Writes one operator row: its 1-based id and its text.
struct AddSymmOp {
    THandle<CifDataItem> id;
    THandle<CifDataItem> text;
    int counter = 1;
    void operator()(const CrystalSymmetryOperator& op) {
        id->add_value(std::to_string(counter++));
        text->add_value(op.to_string());
    }
};

THandle<CifDataItem> retrieve(THandle<CifDataBlock> block, const std::string& name) {
    THandle<CifDataItem> item = block->find(name);
    if (!item || !item->has_value()) {
        throw std::runtime_error("Reading cell from Cif failed,  could not retrieve '" + name +
                                 "'");
    }
    return item;
}

UncertainValue parse_cell_value(const std::string& text, const std::string& parameter) {
    return cif::detail::parse_or_throw(text, "cell", parameter);
}

SymmetryItems symmetry_items(THandle<CifDataBlock> block) {
    SymmetryItems items{
        find_from_alternatives(block, name_items), find_from_alternatives(block, number_items),
        find_from_alternatives(block, operator_items), find_from_alternatives(block, hall_items)};
    if (!items.name && !items.number && !items.operators && !items.hall) {
        throw std::runtime_error(
            std::string("Reading symmetry from Cif failed: could not retrieve ") + name_item +
            ", nor " + number_items[0] + ", nor " + number_items[1] + ", nor " + operator_items[0] +
            ", nor " + operator_items[1]);
    }
    return items;
}

void add_invalid_symmop_error(CifErrorContainer& errors, const std::string& text, int line) {
    errors.add(CifError(CifError::InvalidSymmetryOperator, text, line));
}

// "p 21/C" and "P 21/c" are the same name: first letter upper case, the rest lower.
std::string cleaned_name(const std::string& raw) {
    if (raw == "?") return std::string();
    std::string cleaned = strip(raw, "()~ _\t");
    std::transform(cleaned.begin(), cleaned.end(), cleaned.begin(), to_lowercase());
    if (!cleaned.empty()) {
        cleaned[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(cleaned[0])));
    }
    return cleaned;
}

THandle<std::vector<CrystalSymmetryOperator>> read_operators(const THandle<CifDataItem>& item,
                                                             CifErrorContainer& errors, int line) {
    auto operators = make_handle<std::vector<CrystalSymmetryOperator>>();
    if (!item || !item->has_value()) return operators;
    for (unsigned int i = 0; i < item->size(); ++i) {
        const std::string text = strip(item->value(i), " \t");
        if (text.find_first_of("xyzXYZ") == std::string::npos) {
            if (item->has_significant_value(i)) add_invalid_symmop_error(errors, text, line);
            continue;
        }
        try {
            operators->push_back(CrystalSymmetryTransformation(text));
        } catch (const std::exception&) {
            add_invalid_symmop_error(errors, text, line);
            throw;
        }
    }
    return operators;
}

// The group of a Hall symbol, where the block gives one that is.
std::optional<Spacegroup> hall_group(const THandle<CifDataItem>& hall) {
    if (!hall || !hall->has_significant_value()) return std::nullopt;
    try {
        return Spacegroup::from_hall(hall->value());
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

// Whether the name denotes the group: by its symbol, or by operators, as a name of another
// setting with the same operators does ("C c c b :1" is C c c a :1).
bool names_group(const std::string& cleaned, const Spacegroup& spacegroup) {
    if (cleaned == spacegroup.name() ||
        Spacegroup::derive_vexor_symbol(cleaned) == spacegroup.name()) {
        return true;
    }
    const Spacegroup named(cleaned, -1, Spacegroup::System(0));
    return named.number() > 0 && named.same_operators(spacegroup);
}

void extract_spacegroup_and_symmops(const SymmetryItems& items, Spacegroup& spacegroup,
                                    THandle<std::vector<CrystalSymmetryOperator>>& operators,
                                    CifErrorContainer& errors, int line) {
    const std::string raw = items.name && items.name->has_value() ? items.name->value() : "";
    const std::string cleaned = cleaned_name(raw);
    const int number = items.number && items.number->has_value()
                           ? string_to_int(items.number->value(), nullptr)
                           : 0;
    operators = read_operators(items.operators, errors, line);
    // Without operators, a Hall symbol names the setting whole; a name may leave it open.
    const std::optional<Spacegroup> from_hall =
        operators->empty() ? hall_group(items.hall) : std::nullopt;
    if (from_hall) {
        spacegroup = *from_hall;
    } else {
        spacegroup = operators->empty() ? Spacegroup(cleaned, -1, Spacegroup::System(0))
                                        : Spacegroup(*operators, number, cleaned);
    }
    if (!cleaned.empty() && !names_group(cleaned, spacegroup)) {
        errors.add(CifError(CifError::SpacegroupReplaced, raw, spacegroup.name(), line));
    }
    if (number != 0 && number != spacegroup.number()) {
        errors.add(CifError(CifError::SpacegroupNumberReplaced, std::to_string(number),
                            std::to_string(spacegroup.number()), line));
    }
    if (operators->empty()) *operators = spacegroup.operators();
}

// The axes a name states for a group on a rhombohedral lattice: "R", "H", or empty.
std::string stated_axes(const std::string& name) {
    const std::size_t colon = name.rfind(':');
    if (colon == std::string::npos) return std::string();
    const std::string axes = strip(name.substr(colon + 1), " \t");
    return axes == "R" || axes == "r" ? "R" : axes == "H" || axes == "h" ? "H" : std::string();
}

// The cell's angles choose the axes of a group found by its name alone; a name stating
// others is remarked on.
void check_stated_axes(const SymmetryItems& items, const Cell& cell, CifErrorContainer& errors,
                       int line) {
    const auto given = [](const THandle<CifDataItem>& item) {
        return item && item->has_significant_value();
    };
    if (!given(items.name) || given(items.operators) || given(items.hall)) return;
    const std::string stated = stated_axes(items.name->value());
    const std::string& chosen = cell.spacegroup().name_space_separated();
    if (!stated.empty() && stated_axes(chosen) != stated) {
        errors.add(CifError(CifError::SpacegroupAxesReplaced, items.name->value(), chosen, line));
    }
}

THandle<Cell> cell(THandle<CifDataBlock> block, CifErrorContainer& errors) {
    static const char* const parameters[] = {"a", "b", "c", "alpha", "beta", "gamma"};
    THandle<CifDataItem> items[6];
    for (int i = 0; i < 6; ++i)
        items[i] = retrieve(block, cell_names[i]);
    UncertainValue values[6];
    for (int i = 0; i < 6; ++i)
        values[i] = parse_cell_value(items[i]->value(), parameters[i]);
    Spacegroup spacegroup;
    THandle<std::vector<CrystalSymmetryOperator>> operators;
    const SymmetryItems symmetry = symmetry_items(block);
    extract_spacegroup_and_symmops(symmetry, spacegroup, operators, errors, block->line());
    auto result = make_handle<Cell>(values[0], values[1], values[2], values[3], values[4],
                                    values[5], spacegroup);
    check_stated_axes(symmetry, *result, errors, block->line());
    return result;
}

}  // namespace

THandle<Cell> CifCell::read(THandle<CifDataBlock> block, CifErrorContainer& errors) {
    return cell(block, errors);
}

void CifCell::write(THandle<CifDataBlock> block, const Cell& cell) {
    const Spacegroup spacegroup = cell.spacegroup();
    set_if_not_empty(block, "_symmetry_cell_setting",
                     Spacegroup::crystal_system_text(spacegroup.crystal_system()));
    block->set_value(name_item, spacegroup.name_space_separated());
    block->set_value("_symmetry_Int_Tables_number", std::to_string(spacegroup.number()));
    const std::vector<std::string> names = {"_symmetry_equiv_pos_site_id",
                                            "_symmetry_equiv_pos_as_xyz"};
    block->create_loop(names);
    std::vector<THandle<CifDataItem>> items;
    block->obtain(names, items);
    std::for_each(spacegroup.operators().begin(), spacegroup.operators().end(),
                  AddSymmOp{items[0], items[1]});
    // The cell keeps angles in radians; their uncertainties are in degrees already.
    const UncertainValue* parameters[] = {&cell.a(),     &cell.b(),    &cell.c(),
                                          &cell.alpha(), &cell.beta(), &cell.gamma()};
    for (int i = 0; i < 6; ++i) {
        const double scale = i < 3 ? 1.0 : degrees_per_radian;
        block->set_value(cell_names[i], to_string(UncertainValue(parameters[i]->value() * scale,
                                                                 parameters[i]->uncertainty())));
    }
    // with the s.u. its parameters give it
    block->set_value("_cell_volume", to_string(cell.volume_with_uncertainty()));
}
