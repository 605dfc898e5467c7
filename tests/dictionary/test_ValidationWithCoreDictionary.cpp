// Real structures and a hand-made faulty file read against the IUCr core dictionary: every
// value is validated as it is read, and the verdicts are those a crystallographer gives.
#include <gtest/gtest.h>

#include "DictionarySupport.h"
#include "reading/ParseSupport.h"

namespace {

using Errors = std::vector<CifError>;

THandle<Cif> read_with_core(const std::string& text) {
    return read_cif(text, core_dictionary());
}

THandle<Cif> read_bundled(const std::string& name) {
    return read_with_core(test_data::read_file(test_data::bundled("cif/" + name)));
}

TEST(ValidationWithCoreDictionary, CleanStructureHasOnlyItsLocalItemsReported) {
    THandle<Cif> cif = read_bundled("1000026-MgB2.cif");
    EXPECT_EQ(Errors(cif->errors()->begin(), cif->errors()->end()),
              (Errors{CifError(CifError::NonStandardDataItem,
                               "_[local]_cod_chemical_formula_sum_orig", 19),
                      CifError(CifError::NonStandardDataItem, "_cod_database_code", 88)}));
}

TEST(ValidationWithCoreDictionary, StructureWithUncertainRFactors) {
    THandle<Cif> cif = read_bundled("2003526-r-factor-with-esd.cif");
    EXPECT_EQ(
        problems(*cif),
        (Errors{CifError(CifError::LineTooLong, "80", 4),
                CifError(CifError::ValueNotNumber, "_diffrn_reflns_av_R_equivalents", 60),
                CifError(CifError::UnexpectedStandardUncertainty, "_refine_ls_R_factor_obs", 73),
                CifError(CifError::UnexpectedStandardUncertainty, "_refine_ls_wR_factor_obs", 74),
                CifError(CifError::BadNumberFormat, "_refine_ls_goodness_of_fit_obs", 75),
                CifError(CifError::ValueNotInEnumeration, "_refine_ls_hydrogen_treatment", 78),
                CifError(CifError::ValueNotInEnumeration, "_refine_ls_weighting_scheme", 79),
                CifError(CifError::BadNumberFormat, "_refine_ls_extinction_coef", 84)}));
}

TEST(ValidationWithCoreDictionary, StructureWithProgramNamesAndANegativeShift) {
    THandle<Cif> cif = read_bundled("4000464-synthesised-at.cif");
    EXPECT_EQ(
        problems(*cif),
        (Errors{CifError(CifError::ValueNotInEnumeration, "_exptl_absorpt_correction_type", 87),
                CifError(CifError::ValueBelowLimit, "_refine_ls_shift/esd_max", 130)}));
}

TEST(ValidationWithCoreDictionary, HandMadeFaults) {
    const std::string text =
        "data_faults\n"
        "_cell_length_a                   -5.2(3)\n"
        "_cell_length_b                   5.2(3)\n"
        "_exptl_absorpt_correction_type   sadabs\n"
        "_refine_ls_number_parameters     120(4)\n"
        "_cell_volume                     12o.5\n"
        "_chemical_name_common            'H~2O'\n"
        "loop_\n"
        "_atom_site_label\n"
        "_atom_site_calc_flag\n"
        "O1 d\n"
        "H1 calculated\n";
    THandle<Cif> cif = read_with_core(text);
    EXPECT_EQ(
        Errors(cif->errors()->begin(), cif->errors()->end()),
        (Errors{
            CifError(CifError::ValueBelowLimit, "_cell_length_a", 2),
            CifError(CifError::ValueNotInEnumeration, "_exptl_absorpt_correction_type", 4),
            CifError(CifError::UnexpectedStandardUncertainty, "_refine_ls_number_parameters", 5),
            CifError(CifError::BadNumberFormat, "_cell_volume", 6),
            CifError(CifError::MismatchedSubscriptMarkup, "_chemical_name_common", 7),
            CifError(CifError::ValueNotInEnumeration, "_atom_site_calc_flag", 12)}));
}

TEST(ValidationWithCoreDictionary, EveryBundledStructureReadsWithoutErrors) {
    for (const std::string& path : test_data::files_in(test_data::bundled("cif"), ".cif")) {
        THandle<Cif> cif = read_with_core(test_data::read_file(path));
        EXPECT_EQ(cif->errors()->errors_of_type(CifError::Error), 0u) << path;
    }
}

}  // namespace
