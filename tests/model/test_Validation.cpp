#include <gtest/gtest.h>

#include "TestDictionary.h"
#include "cif/CifDataItem.h"

namespace {

class Validation : public ::testing::Test {
  protected:
    Validation() : dictionary_(new TestDictionary) {
        CifDictionaryItem& length = dictionary_->define("_cell_length_a");
        length.type = CifDictionary::TYPE_NUMB;
        length.condition = CifDictionary::COND_ESD;
        length.enumeration_range = "0.0:";

        CifDictionaryItem& angle = dictionary_->define("_cell_angle_alpha");
        angle.type = CifDictionary::TYPE_NUMB;
        angle.condition = CifDictionary::COND_ESD;
        angle.enumeration_range = "0.0:180.0";

        CifDictionaryItem& count = dictionary_->define("_exptl_crystal_face_diffr_h");
        count.type = CifDictionary::TYPE_NUMB;  // no uncertainty allowed

        CifDictionaryItem& z = dictionary_->define("_cell_formula_units_z");
        z.type = CifDictionary::TYPE_NUMB;
        z.enumeration_range = "1:";

        CifDictionaryItem& flag = dictionary_->define("_atom_site_calc_flag");
        flag.type = CifDictionary::TYPE_CHAR;
        flag.enumeration = {{"d", ""}, {"calc", ""}, {"yes", ""}};

        CifDictionaryItem& numeric_choice = dictionary_->define("_diffrn_radiation_polarisn_ratio");
        numeric_choice.type = CifDictionary::TYPE_NUMB;
        numeric_choice.enumeration = {{"1", ""}, {"2", ""}};
        numeric_choice.enumeration_range = "5:6";

        dictionary_->define("_low_ten").type = CifDictionary::TYPE_NUMB;
        dictionary_->define("_low_ten").enumeration_range = "10";
        dictionary_->define("_at_most_five").type = CifDictionary::TYPE_NUMB;
        dictionary_->define("_at_most_five").enumeration_range = ":5";
        dictionary_->define("_bad_range").type = CifDictionary::TYPE_CHAR;
        dictionary_->define("_bad_range").enumeration_range = "abc";
        dictionary_->define("_refine_ls_weighting_scheme").enumeration = {{"calc", ""},
                                                                          {"sigma", ""}};
        dictionary_->define("_refine_ls_weighting_scheme").type = CifDictionary::TYPE_CHAR;
        dictionary_->define("_publ_contact_author_phone").type = CifDictionary::TYPE_CHAR;
    }

    CifDataItem::Validated check(const std::string& name, const std::string& value) {
        CifDataItem item(dictionary_, name);
        return item.validate(value);
    }

    THandle<TestDictionary> dictionary_;
};

TEST_F(Validation, NumbersWithUncertaintiesAgainstALowerBound) {
    EXPECT_EQ(check("_cell_length_a", "10.5(3)"), CifDataItem::Valid);
    EXPECT_EQ(check("_cell_length_a", "-1"), CifDataItem::BelowMinimum);
    EXPECT_EQ(check("_cell_length_a", "-0.0005(2)"), CifDataItem::Valid);  // within 3 u
    EXPECT_EQ(check("_cell_length_a", "-0.0007(2)"), CifDataItem::BelowMinimum);
    EXPECT_EQ(check("_cell_length_a", "abc"), CifDataItem::NotANumber);
    EXPECT_EQ(check("_cell_length_a", "1.5.3"), CifDataItem::BadlyFormattedNumber);
    EXPECT_EQ(check("_cell_length_a", "1.5x"), CifDataItem::BadlyFormattedNumber);
    EXPECT_EQ(check("_cell_length_a", "0"), CifDataItem::Valid);  // bounds are accepted
}

TEST_F(Validation, UncertaintyScalesWithDecimalsAndExponent) {
    // 1.2e3(4): u = 4 x 10^(3-1) = 400, so -1200 lies exactly three u below the bound 0.
    EXPECT_EQ(check("_cell_angle_alpha", "-1.2e3(4)"), CifDataItem::Valid);
    EXPECT_EQ(check("_cell_angle_alpha", "-1.3e3(4)"), CifDataItem::BelowMinimum);
    EXPECT_EQ(check("_cell_angle_alpha", "180.014(5)"), CifDataItem::Valid);
    EXPECT_EQ(check("_cell_angle_alpha", "180.016(5)"), CifDataItem::AboveMaximum);
    EXPECT_EQ(check("_cell_angle_alpha", "181"), CifDataItem::AboveMaximum);
    EXPECT_EQ(check("_cell_angle_alpha", "1.8D2"), CifDataItem::Valid);
    EXPECT_EQ(check("_cell_angle_alpha", "1.9D2"), CifDataItem::AboveMaximum);  // read as 190
    EXPECT_EQ(check("_cell_angle_alpha", "1.9d2(1)"), CifDataItem::Valid);  // 190 <= 180 + 3 x 10
}

TEST_F(Validation, UncertaintyWhereNoneIsAllowed) {
    EXPECT_EQ(check("_exptl_crystal_face_diffr_h", "1.5(2)"), CifDataItem::UnexpectedEsd);
    EXPECT_EQ(check("_cell_formula_units_z", "4(1)"), CifDataItem::UnexpectedEsd);  // range met
    EXPECT_EQ(check("_cell_formula_units_z", "0(1)"), CifDataItem::BelowMinimum);   // no allowance
    EXPECT_EQ(check("_exptl_crystal_face_diffr_h", "-2"), CifDataItem::Valid);
}

TEST_F(Validation, EnumerationsIgnoreLetterCaseAndDecideAlone) {
    for (const char* v : {"yes", "YES", "Yes", "calc"}) {
        EXPECT_EQ(check("_atom_site_calc_flag", v), CifDataItem::Valid) << v;
    }
    EXPECT_EQ(check("_atom_site_calc_flag", "yes "), CifDataItem::NotInEnumeration);
    EXPECT_EQ(check("_diffrn_radiation_polarisn_ratio", "1"), CifDataItem::Valid);  // not 5..6
    EXPECT_EQ(check("_diffrn_radiation_polarisn_ratio", "5"), CifDataItem::NotInEnumeration);
}

TEST_F(Validation, PlaceholdersEmptyValuesAndUnknownNames) {
    for (const char* name : {"_cell_length_a", "_atom_site_calc_flag", "_bad_range"}) {
        EXPECT_EQ(check(name, "?"), CifDataItem::Valid) << name;
        EXPECT_EQ(check(name, "."), CifDataItem::Valid) << name;
        EXPECT_EQ(check(name, ""), CifDataItem::Valid) << name;
    }
    EXPECT_EQ(check("_not_defined", "anything at all"), CifDataItem::Valid);
    EXPECT_EQ(check("_not_defined", "H~2O"), CifDataItem::BadSubscriptMarkup);
    EXPECT_EQ(check("_atom_site_calc_flag", "x^2"), CifDataItem::BadSuperscriptMarkup);
}

TEST_F(Validation, RangeTextForms) {
    EXPECT_EQ(check("_low_ten", "9"), CifDataItem::BelowMinimum);
    EXPECT_EQ(check("_low_ten", "1e6"), CifDataItem::Valid);
    EXPECT_EQ(check("_at_most_five", "5.0"), CifDataItem::Valid);
    EXPECT_EQ(check("_at_most_five", "5.1"), CifDataItem::AboveMaximum);
    EXPECT_EQ(check("_at_most_five", "-1e9"), CifDataItem::Valid);
    EXPECT_EQ(check("_bad_range", "x"), CifDataItem::BadRange);
    EXPECT_EQ(check("_bad_range", "7"), CifDataItem::BadRange);
}

TEST_F(Validation, EachItemReadsItsRangeOnceUnlessItCannot) {
    CifDataItem item(dictionary_, "_cell_angle_alpha");
    dictionary_->range_queries = 0;
    for (int i = 0; i < 5; ++i)
        item.validate("90.0(1)");
    EXPECT_EQ(dictionary_->range_queries, 6);  // is there a range, for each value; its text once
    CifDataItem bad(dictionary_, "_bad_range");
    dictionary_->range_queries = 0;
    EXPECT_EQ(bad.validate("1"), CifDataItem::BadRange);
    EXPECT_EQ(bad.validate("1"), CifDataItem::BadRange);
    EXPECT_EQ(dictionary_->range_queries, 4);
}

TEST_F(Validation, SpecialValidators) {
    CifDataItem flags(dictionary_, "_Atom_Site_Refinement_Flags");
    for (const char* v : {"P", "DG", "SGRDTUP", "?", "."}) {
        EXPECT_EQ(flags.validate(v), CifDataItem::Valid) << v;
    }
    for (const char* v : {"p", "PX", ""})
        EXPECT_EQ(flags.validate(v), CifDataItem::NotInEnumeration) << v;

    EXPECT_EQ(check("_refine_ls_weighting_scheme", "calc w=1/[\\s^2^(Fo^2^)+(0.05P)^2^]"),
              CifDataItem::Valid);
    EXPECT_EQ(check("_refine_ls_weighting_scheme", "unit w=1"), CifDataItem::NotInEnumeration);
    EXPECT_EQ(check("_refine_ls_weighting_scheme", "Sigma"), CifDataItem::Valid);

    EXPECT_EQ(check("_publ_contact_author_phone", "+44 ~1223"), CifDataItem::Valid);
    EXPECT_EQ(check("_audit_contact_author_fax", "^"), CifDataItem::Valid);
}

TEST_F(Validation, SetValueValidatesFirstAndStoresWhateverTheResult) {
    CifDataItem item(dictionary_, "_cell_length_a");
    EXPECT_EQ(item.set_value("-5"), CifDataItem::BelowMinimum);
    EXPECT_EQ(item.value(), "-5");
    item.set_looped();
    EXPECT_EQ(item.set_value(2, "x"), CifDataItem::NotANumber);
    EXPECT_EQ(item.value(2), "x");
    item.add_value("-7");  // no validation on add
    EXPECT_EQ(item.size(), 4u);
}

}  // namespace
