// Cells and symmetry of real structures, the cell written back, and the consistency checks.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "Support.h"
#include "cif/CifCell.h"
#include "cif/CifUtilities.h"
#include "cif/VexorCifConsistencyChecker.h"
#include "host/CrystalChemicalFormula.h"

namespace {

double number(const CifDataBlock& block, const std::string& name) {
    std::istringstream in(block.value(name));
    UncertainValue value;
    value.parse(in);
    return value.value();
}

// Files whose stated formula weight is not the weight of their formula sum, and why.
const std::set<std::string> weight_not_of_the_sum = {
    "2007008.cif",  // 892.96 is twice the weight of C24 H30 O8: the weight of two formula units
    "2009397.cif",  // the sum says Cl1 where the moiety has 0.06 C H2 Cl2; the weight is right
};

// Every structure: the cell is its items, the group its stated name and number without a
// remark, the computed volume within three s.u. of the stated one, and writing the cell
// into an empty block and reading it again gives the same cell and group.
TEST(CifCell, RealStructures) {
    int cells = 0;
    for (const std::string& path : test_data::structures()) {
        SCOPED_TRACE(path);
        THandle<Cif> cif = read_cif(test_data::read_file(path));
        THandle<CifDataBlock> block = cif->block(0);
        if (!find_from_alternatives(
                block, {"_symmetry_space_group_name_H-M", "_space_group_name_H-M_alt",
                        "_space_group_name_Hall", "_symmetry_space_group_name_Hall",
                        "_space_group_IT_number", "_symmetry_Int_Tables_number",
                        "_symmetry_equiv_pos_as_xyz", "_space_group_symop_operation_xyz"})) {
            EXPECT_THROW(CifCell::read(block, *cif->errors()), std::runtime_error);
            continue;
        }
        CifErrorContainer remarks;
        THandle<Cell> cell = CifCell::read(block, remarks);
        ++cells;
        EXPECT_EQ(all_of(remarks), Errors());
        EXPECT_DOUBLE_EQ(cell->a().value(), number(*block, "_cell_length_a"));
        EXPECT_NEAR(cell->gamma().value() * 57.29577951308232, number(*block, "_cell_angle_gamma"),
                    1e-9);
        if (block->has_value("_cell_volume")) {
            std::istringstream stated_text(block->value("_cell_volume"));
            UncertainValue stated;
            stated.parse(stated_text);
            const UncertainValue computed = cell->volume_with_uncertainty();
            const double allowed =
                3 * std::max(stated.uncertainty().value(), computed.uncertainty().value());
            EXPECT_NEAR(computed.value(), stated.value(), std::max(allowed, 0.05 * 3)) << path;
        }
        const std::string name = path.substr(path.find_last_of('/') + 1);
        if (block->has_value("_chemical_formula_weight") && !weight_not_of_the_sum.count(name)) {
            const double weight =
                CrystalChemicalFormula(block->value("_chemical_formula_sum"), false)
                    .molecular_weight_sum();
            EXPECT_NEAR(weight, number(*block, "_chemical_formula_weight"), 1.1);
        }
        THandle<CifDataBlock> written = make_handle<CifDataBlock>(cif->dictionary(), "data_w", 1);
        CifCell::write(written, *cell);
        THandle<Cell> again = CifCell::read(written, remarks);
        EXPECT_EQ(all_of(remarks), Errors());
        EXPECT_EQ(again->spacegroup().number(), cell->spacegroup().number());
        EXPECT_EQ(again->spacegroup().operators(), cell->spacegroup().operators());
        EXPECT_EQ(written->value("_cell_length_b"), block->value("_cell_length_b"));
    }
    EXPECT_GT(cells, 40);
}

struct CellCase {
    std::string items;
    Errors remarks;
    std::string thrown = "";
};

const std::string lengths = "_cell_length_a 5\n_cell_length_b 5\n_cell_length_c 5\n";
const std::string angles = "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\n";

using E = CifError;

// clang-format off
const std::vector<CellCase> cell_cases = {
    {lengths + angles + "_symmetry_Int_Tables_number 14\n", {E(E::SpacegroupNumberReplaced, "14", "-1", 1)}},
    {lengths + angles + "_symmetry_space_group_name_H-M 'F m -3 m'\nloop_ _symmetry_equiv_pos_as_xyz x,y,z\n",
     {E(E::SpacegroupReplaced, "F m -3 m", "P1", 1)}},
    {lengths + angles + "_symmetry_space_group_name_H-M ?\nloop_ _symmetry_equiv_pos_as_xyz x,y,z ? 1/2\n",
     {E(E::InvalidSymmetryOperator, "1/2", 1)}},
    {lengths + angles + "loop_ _space_group_symop_operation_xyz x,y,z -x,-y,-z\n"
     "loop_ _symmetry_equiv_pos_as_xyz x,y,z\n", {}},
    {lengths + angles + "loop_ _symmetry_equiv_pos_as_xyz x,y a,b,c\n",
     {E(E::InvalidSymmetryOperator, "x,y", 1)}, "Symmetry operator 'x,y' does not have three comma-separated parts"},
    {lengths + angles, {}, "Reading symmetry from Cif failed: could not retrieve _symmetry_space_group_name_H-M, nor "
     "_space_group_IT_number, nor _symmetry_Int_Tables_number, nor _space_group_symop_operation_xyz, nor "
     "_symmetry_equiv_pos_as_xyz"},
    // all six are retrieved before any is read
    {"_cell_length_a .\n", {}, "Reading cell from Cif failed,  could not retrieve '_cell_length_b'"},
    {"_cell_length_a .\n_cell_length_b 5\n_cell_length_c 5\n" + angles, {},
     "Reading cell from Cif failed, could not interpret '.' as a valid value for a"},
    {"_cell_length_b 5\n", {}, "Reading cell from Cif failed,  could not retrieve '_cell_length_a'"},
    {"_cell_length_a abc\n_cell_length_b 5\n_cell_length_c 5\n" + angles, {},
     "Reading cell from Cif failed, could not interpret 'abc' as a valid value for a"},
    {lengths + "_cell_angle_alpha 200\n_cell_angle_beta 90\n_cell_angle_gamma 90\n_symmetry_Int_Tables_number 1\n",
     {E(E::SpacegroupNumberReplaced, "1", "-1", 1)}, "Cell angles must lie between 0 and 180 degrees"},
    // names as real files spell them, and a name of another setting with the same operators
    {lengths + angles + "_symmetry_space_group_name_H-M 'P 21 /m'\n_symmetry_Int_Tables_number 11\n", {}},
    {lengths + angles + "_symmetry_space_group_name_H-M 'P 21 /c'\n"
     "loop_ _symmetry_equiv_pos_as_xyz x,y,z -x,y+1/2,-z+1/2 -x,-y,-z x,-y+1/2,z+1/2\n", {}},
    {lengths + angles + "_symmetry_space_group_name_H-M 'C c c b :1'\n_space_group_name_Hall 'C 2 2 -1ac'\n", {}},
    // the newer names alone; a Hall symbol gives the operators a name does not
    {lengths + angles + "_space_group_name_H-M_alt 'P c a 21'\n_space_group_name_Hall 'P 2c -2ac'\n", {}},
    {lengths + angles + "_symmetry_space_group_name_H-M 'P 21 21 21'\n_space_group_name_Hall 'P 2c -2ac'\n",
     {E(E::SpacegroupReplaced, "P 21 21 21", "Pca21", 1)}},
    // a subgroup's name, or one the tables do not know, does name the operators' group
    {lengths + angles + "_symmetry_space_group_name_H-M 'P -1'\n"
     "loop_ _symmetry_equiv_pos_as_xyz x,y,z -x,y+1/2,-z+1/2 -x,-y,-z x,-y+1/2,z+1/2\n",
     {E(E::SpacegroupReplaced, "P -1", "P21/c", 1)}},
    {lengths + angles + "_symmetry_space_group_name_H-M 'Q 9'\nloop_ _symmetry_equiv_pos_as_xyz x,y,z\n",
     {E(E::SpacegroupReplaced, "Q 9", "P1", 1)}},
    // the cell's angles choose the axes of a group found by name
    {lengths + "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 120\n"
     "_symmetry_space_group_name_H-M 'R 3 2 :R'\n", {E(E::SpacegroupAxesReplaced, "R 3 2 :R", "R 3 2 :H", 1)}},
    // the operators of a Hall symbol decide the axes, not the cell
    {lengths + "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 120\n"
     "_symmetry_space_group_name_H-M 'R 3 :R'\n_space_group_name_Hall 'R 3'\n", {}},
    // a name stating axes of a group that has none
    {lengths + angles + "_symmetry_space_group_name_H-M 'P 21/c :H'\n", {}},
    // operator text that is no operator
    {lengths + angles + "loop_ _symmetry_equiv_pos_as_xyz x,y,z xy,y,z\n",
     {E(E::InvalidSymmetryOperator, "xy,y,z", 1)}, "Expected a signed term in symmetry operator part 'xy'"},
    {lengths + angles + "loop_ _symmetry_equiv_pos_as_xyz x,y,z x+2*3,y,z\n",
     {E(E::InvalidSymmetryOperator, "x+2*3,y,z", 1)}, "Expected a signed term in symmetry operator part 'x+2*3'"},
};
// clang-format on

// The crystal system written beside the group, triclinic included.
TEST(CifCell, WrittenSettingNamesTheCrystalSystem) {
    const std::vector<std::pair<std::string, std::string>> groups = {
        {"P 1", "triclinic"}, {"P 21/c", "monoclinic"}, {"F m -3 m", "cubic"}};
    for (const auto& [name, system] : groups) {
        const Cell cell(UncertainValue(5), UncertainValue(5), UncertainValue(5), UncertainValue(90),
                        UncertainValue(90), UncertainValue(90),
                        Spacegroup(name, -1, Spacegroup::Triclinic));
        THandle<Cif> cif = read_cif("data_w\n");
        CifCell::write(cif->block(0), cell);
        EXPECT_EQ(cif->block(0)->value("_symmetry_cell_setting"), system) << name;
    }
}

TEST(CifCell, BadAndContradictoryItems) {
    for (const CellCase& c : cell_cases) {
        SCOPED_TRACE(c.items);
        THandle<Cif> cif = read_cif("data_x\n" + c.items);
        CifErrorContainer remarks;
        std::string thrown;
        try {
            CifCell::read(cif->block(0), remarks);
        } catch (const std::exception& e) {
            thrown = e.what();
        }
        EXPECT_EQ(thrown, c.thrown);
        EXPECT_EQ(all_of(remarks), c.remarks);
    }
}

TEST(ConsistencyChecker, LabelsWeightsAndCells) {
    THandle<Cif> cif = read_cif(
        "data_a\nloop_ _atom_site_label C1 C2 C1 C1 O1 O1 ? ? . .\n"
        "_chemical_formula_sum 'C6 H6'\n_chemical_formula_weight 77.1\n"
        "data_b\n_chemical_formula_sum 'C6 H6'\n_chemical_formula_weight 79.5\n"
        "data_c\n_chemical_formula_sum 'C6 H6'\n_chemical_formula_weight ?\n"
        // a weight with its s.u. is checked too
        "data_d\n_chemical_formula_sum 'C6 H6'\n_chemical_formula_weight 79.5(2)\n"
        "data_e\n_chemical_formula_sum 'C6 H6'\n_chemical_formula_weight 78.1(2)\n"
        "data_f\n_chemical_formula_sum 'C6 H6'\n_chemical_formula_weight '79.5(2) g'\n" +
        lengths + "_cell_angle_alpha 90\n_symmetry_Int_Tables_number 3\n");
    cif->errors()->clear();
    VexorCifConsistencyChecker checker(cif);
    checker.check_cif();
    EXPECT_EQ(all_of(*cif->errors()),
              (Errors{E(E::DuplicateAtomLabel, "C1", 1), E(E::DuplicateAtomLabel, "O1", 1),
                      E(E::FormulaWeightMismatch, "79.5", "78.1118", 5),
                      E(E::FormulaWeightMismatch, "79.5(2)", "78.1118", 11)}));
    cif->errors()->clear();
    cif->errors()->ignore_error(CifError::DuplicateAtomLabel);
    checker.check_atom_labels();
    EXPECT_TRUE(cif->errors()->empty());
}

// Block queries the mappers rely on.
TEST(BlockQueries, AlternativesAndPrefixes) {
    THandle<Cif> cif = read_cif(
        "data_x\n_space_group_IT_number ?\n_symmetry_Int_Tables_number 14\n"
        "_atom_site_label C1\n");
    THandle<CifDataBlock> block = cif->block(0);
    EXPECT_EQ(find_from_alternatives(block, {"_missing", "_symmetry_Int_Tables_number"})->value(),
              "14");
    EXPECT_EQ(find_from_alternatives(block, {"_space_group_IT_number"})->value(), "?");
    EXPECT_TRUE(find_from_alternatives(block, {}).is_null());
    EXPECT_TRUE(has_item_name_beginning(block, "_ATOM_SITE"));
    EXPECT_TRUE(has_item_name_beginning(block, "_atom_site_label"));
    EXPECT_FALSE(has_item_name_beginning(block, "_atom_site_label_x"));
    set_if_not_empty(block, "_empty", "");
    set_if_not_empty(block, "_blank", " ");
    EXPECT_TRUE(block->find("_empty").is_null());
    EXPECT_EQ(block->value("_blank"), " ");
}

}  // namespace
