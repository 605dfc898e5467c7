#include "cif/CifCrystalInfo.h"

#include "cif/CifUtilities.h"
#include "host/TextUtilities.h"

namespace {

const std::string colour_name = "_exptl_crystal_colour";
const std::string description_name = "_exptl_crystal_description";
const std::string melting_point_name = "_chemical_melting_point";
const std::string z_name = "_cell_formula_units_Z";
const std::string physical_name = "_chemical_properties_physical";
const std::string recrystallization_name = "_exptl_crystal_recrystallization_method";
const std::string preparation_name = "_exptl_crystal_preparation";

}  // namespace

THandle<CrystalInfo> CifCrystalInfo::read(THandle<CifDataBlock> block) {
    return make_handle<CrystalInfo>(
        block->value(colour_name), block->value(description_name), block->value(melting_point_name),
        static_cast<double>(string_to_int(block->value(z_name))), 0.0, block->value(physical_name),
        block->value(recrystallization_name), block->value(preparation_name), std::string());
}

void CifCrystalInfo::write(THandle<CifDataBlock> block, const CrystalInfo& info) {
    set_if_not_empty(block, colour_name, info.colour());
    set_if_not_empty(block, description_name, info.description());
    set_if_not_empty(block, melting_point_name, info.melting_point());
    // Z is never 0: that is a file that did not state it.
    if (info.formula_units_z() > 0) block->set_value(z_name, to_string(info.formula_units_z()));
    set_if_not_empty(block, physical_name, info.physical_properties());
    set_if_not_empty(block, recrystallization_name, info.recrystallization_method());
    set_if_not_empty(block, preparation_name, info.preparation());
}
