#include "cif/CifCell.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "cif/CifUtilities.h"
#include "host/TextUtilities.h"
#include "mapping/UncertainValueText.h"

namespace {

const char* const name_item = "_symmetry_space_group_name_H-M";
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
    SymmetryItems items{find_from_alternatives(block, {name_item}),
                        find_from_alternatives(block, number_items),
                        find_from_alternatives(block, operator_items)};
    if (!items.name && !items.number && !items.operators) {
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
    THandle<std::vector<CrystalSymmetryOperator>> operators(
        new std::vector<CrystalSymmetryOperator>);
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

void extract_spacegroup_and_symmops(const SymmetryItems& items, Spacegroup& spacegroup,
                                    THandle<std::vector<CrystalSymmetryOperator>>& operators,
                                    CifErrorContainer& errors, int line) {
    const std::string raw = items.name && items.name->has_value() ? items.name->value() : "";
    const std::string cleaned = cleaned_name(raw);
    const int number = items.number && items.number->has_value()
                           ? string_to_int(items.number->value(), nullptr)
                           : 0;
    operators = read_operators(items.operators, errors, line);
    spacegroup = operators->empty() ? Spacegroup(cleaned, -1, Spacegroup::System(0))
                                    : Spacegroup(*operators, number, cleaned);
    if (!cleaned.empty() && cleaned != spacegroup.name() &&
        Spacegroup::derive_vexor_symbol(cleaned) != spacegroup.name()) {
        errors.add(CifError(CifError::SpacegroupReplaced, raw, spacegroup.name(), line));
    }
    if (number != 0 && number != spacegroup.number()) {
        errors.add(CifError(CifError::SpacegroupNumberReplaced, std::to_string(number),
                            std::to_string(spacegroup.number()), line));
    }
    if (operators->empty()) *operators = spacegroup.operators();
}

THandle<Cell> cell(THandle<CifDataBlock> block, CifErrorContainer& errors) {
    static const char* const parameters[] = {"a", "b", "c", "alpha", "beta", "gamma"};
    UncertainValue values[6];
    for (int i = 0; i < 6; ++i)
        values[i] = parse_cell_value(retrieve(block, cell_names[i])->value(), parameters[i]);
    Spacegroup spacegroup;
    THandle<std::vector<CrystalSymmetryOperator>> operators;
    extract_spacegroup_and_symmops(symmetry_items(block), spacegroup, operators, errors,
                                   block->line());
    return make_handle<Cell>(values[0], values[1], values[2], values[3], values[4], values[5],
                             spacegroup);
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
    block->set_value("_cell_volume", to_string(cell.volume()));
}
