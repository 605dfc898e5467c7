#include "cif/CifDictionaryDataConverter.h"

#include <gtest/gtest.h>

#include "reading/ParseSupport.h"

namespace {

using Errors = std::vector<CifError>;

class Converter : public ::testing::Test {
  protected:
    // Converts the first block of the text.
    CifDictionaryDataConverter::Definitions convert(const std::string& text) {
        THandle<Cif> cif = read_cif(text);
        CifDictionaryDataConverter converter(errors_);
        CifDictionaryDataConverter::Definitions out;
        converter.convert(cif->block(0), out);
        return out;
    }
    Errors errors() const { return Errors(errors_->begin(), errors_->end()); }

    THandle<CifErrorContainer> errors_{new CifErrorContainer};
};

TEST_F(Converter, SynonymsShareOneRecord) {
    auto out = convert("data_def\nloop_ _name '_a_x' '_a_y' '_a_z'\n_category a\n_type numb\n");
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].first, "_a_x");
    EXPECT_EQ(out[2].first, "_a_z");
    EXPECT_TRUE(out[0].second == out[1].second.get() && out[1].second == out[2].second.get());
    out[0].second->units = "A";
    EXPECT_EQ(out[2].second->units, "A");
    EXPECT_EQ(out[1].second->type, CifDictionary::TYPE_NUMB);
    EXPECT_TRUE(errors().empty());
}

TEST_F(Converter, KeywordsAreSubstringsIgnoringCase) {
    auto out = convert("data_def\n_name '_a'\n_type Numb\n_type_conditions esd\n_list none\n");
    EXPECT_EQ(out[0].second->type, CifDictionary::TYPE_NUMB);
    EXPECT_EQ(out[0].second->condition, CifDictionary::COND_ESD);
    EXPECT_EQ(out[0].second->list, CifDictionary::LIST_NO);
    EXPECT_TRUE(errors().empty());
    auto su = convert("data_def\n_name '_b'\n_type_conditions su\n");
    EXPECT_EQ(su[0].second->condition, CifDictionary::COND_NONE);
}

TEST_F(Converter, BadKeywordsFallBackAndReportAtTheBlockLine) {
    auto out = convert(
        "#\ndata_def\n_name '_a'\n_type float\n_list_mandatory ?\n_list maybe\n"
        "_related_item '_b'\n_related_function swap\n");
    const CifDictionaryItem& d = *out[0].second;
    EXPECT_EQ(d.type, CifDictionary::TYPE_UNDEFINED);
    EXPECT_FALSE(d.list_mandatory);
    EXPECT_EQ(d.list, CifDictionary::LIST_NO);
    ASSERT_EQ(d.related_item.size(), 1u);
    EXPECT_EQ(d.related_item[0], (Relation{"_b", Relation::ALTERNATE}));
    EXPECT_EQ(errors(), (Errors{CifError(CifError::InvalidYesNoValue, "?", 2),
                                CifError(CifError::InvalidListValue, "maybe", 2),
                                CifError(CifError::InvalidTypeValue, "float", 2),
                                CifError(CifError::InvalidRelatedFunctionValue, "swap", 2)}));
}

TEST_F(Converter, AbsentAttributesKeepTheirDefaults) {
    auto out = convert("data_def\n_name '_a'\n_list_mandatory ' '\n_related_item '_b'\n");
    EXPECT_FALSE(out[0].second->list_mandatory);
    EXPECT_EQ(out[0].second->list, CifDictionary::LIST_BOTH);
    EXPECT_EQ(out[0].second->related_item[0].function, Relation::ALTERNATE);
    EXPECT_TRUE(errors().empty());
}

TEST_F(Converter, PairedListsInLoopsAndAlone) {
    auto looped = convert(
        "data_def\n_name '_a'\nloop_ _enumeration _enumeration_detail\n"
        "yes 'it is' no 'it is not'\n");
    EXPECT_EQ(looped[0].second->enumeration,
              (std::vector<Enumeration>{{"yes", "it is"}, {"no", "it is not"}}));
    auto alone = convert("data_def\n_name '_a'\nloop_ _enumeration\nx\ny\n");
    EXPECT_EQ(alone[0].second->enumeration, (std::vector<Enumeration>{{"x", ""}, {"y", ""}}));
    auto single = convert("data_def\n_name '_a'\n_example 'P 1'\n_example_detail triclinic\n");
    EXPECT_EQ(single[0].second->example, (std::vector<Example>{{"P 1", "triclinic"}}));
    EXPECT_TRUE(errors().empty());
}

TEST_F(Converter, MalformedPairedLists) {
    auto wrong = convert("data_def\n_name '_a'\nloop_ _enumeration _example_detail\nx y\n");
    EXPECT_TRUE(wrong[0].second->enumeration.empty());
    auto wide = convert("data_def\n_name '_b'\nloop_ _enumeration _enumeration_detail _x\n1 2 3\n");
    EXPECT_TRUE(wide[0].second->enumeration.empty());
    EXPECT_EQ(
        errors(),
        (Errors{CifError(CifError::UnexpectedLoopItem, "_example_detail", "_enumeration_detail", 1),
                CifError(CifError::TooManyLoopLabels, 1)}));
}

TEST_F(Converter, SingleValuesGivenTwiceAndMissingNames) {
    auto out = convert("data_def\n_name '_a'\nloop_ _category first second\n");
    EXPECT_EQ(out[0].second->category, "first");
    auto none = convert("data_def\n_category c\n");
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(errors(), (Errors{CifError(CifError::SingleValueExpected, 1),
                                CifError(CifError::DictionaryEntryWithoutName, 1)}));
}

TEST_F(Converter, TextAttributesLoseTheirCommonIndentation) {
    auto out = convert("data_def\n_name '_a'\n_definition\n;\n    First line.\n      Second.\n;\n");
    EXPECT_EQ(out[0].second->definition, "First line.\n  Second.");
}

}  // namespace
