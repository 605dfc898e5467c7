#include <gtest/gtest.h>

#include "dictionary/DictionarySupport.h"
#include "reading/ParseSupport.h"

namespace {

using Errors = std::vector<CifError>;

// A dictionary with the journal and cell categories and one replaceable item.
THandle<CifDictionary> small_dictionary() {
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    THandle<CifDictionary> dictionary = read_dictionary(
        "data_j\n_name '_journal_year'\n_category journal\n"
        "data_c\n_name '_cell_volume'\n_category cell\n"
        "data_l\n_name '_cell_length_a'\n_category cell\n"
        "data_n\n_name '_new_name'\n_category cell\n"
        "loop_ _related_item _related_function\n'_old_name' replace '_other_name' conversion\n"
        "data_o\n_name '_old_name'\n_category cell\n",
        errors);
    EXPECT_TRUE(errors->empty());
    return dictionary;
}

Errors remarks(const Cif& cif) {
    Errors found;
    for (const CifError& e : *cif.errors()) {
        if (e.type() == CifError::Remark) found.push_back(e);
    }
    return found;
}

TEST(MandatoryChecks, WithoutCategoryKnowledgeBothListsGoToTheFirstBlock) {
    THandle<Cif> cif = read_cif("data_a\n_x 1\ndata_b\n_y 2\n");
    cif->check_mandatory({"_x", "", "_p"}, {"_s"});
    EXPECT_EQ(remarks(*cif), (Errors{CifError(CifError::DataItemNotFound, "_p", "data_a", 1),
                                     CifError(CifError::DataItemNotFound, "_s", "data_a", 1)}));
}

TEST(MandatoryChecks, EachListGoesToBlocksOfItsKind) {
    THandle<Cif> cif =
        read_cif("data_pub\n_journal_year 2001\ndata_str\n_cell_volume 100\n", small_dictionary());
    cif->check_mandatory({"_journal_name_full"}, {"_cell_length_a"});
    EXPECT_EQ(remarks(*cif),
              (Errors{CifError(CifError::DataItemNotFound, "_journal_name_full", "data_pub", 1),
                      CifError(CifError::DataItemNotFound, "_cell_length_a", "data_str", 3)}));
}

TEST(MandatoryChecks, PlaceholdersAndWhiteSpaceAreNotValues) {
    THandle<Cif> cif =
        read_cif("data_s\n_cell_volume ?\n_cell_length_a ' '\n_x .\n", small_dictionary());
    cif->check_mandatory({}, {"_cell_volume", "_cell_length_a", "_x"});
    EXPECT_EQ(remarks(*cif),
              (Errors{CifError(CifError::DataItemNotSet, "_cell_volume", "data_s", 1),
                      CifError(CifError::DataItemNotSet, "_cell_length_a", "data_s", 1)}));
}

TEST(MandatoryChecks, ReplacingItemsStandIn) {
    THandle<Cif> set = read_cif("data_s\n_cell_volume 1\n_old_name 5\n", small_dictionary());
    set->check_mandatory({}, {"_new_name"});
    EXPECT_TRUE(remarks(*set).empty());

    THandle<Cif> unset = read_cif("data_s\n_cell_volume 1\n_old_name ?\n", small_dictionary());
    unset->check_mandatory({}, {"_new_name"});
    EXPECT_EQ(remarks(*unset),
              Errors{CifError(CifError::RelatedItemNotSet, "_old_name", "data_s", 1)});

    // A conversion never stands in.
    THandle<Cif> converted =
        read_cif("data_s\n_cell_volume 1\n_other_name 5\n", small_dictionary());
    converted->check_mandatory({}, {"_new_name"});
    EXPECT_EQ(remarks(*converted),
              Errors{CifError(CifError::DataItemNotFound, "_new_name", "data_s", 1)});
}

TEST(MandatoryChecks, EmptyDocumentGetsNoReports) {
    Cif cif(small_dictionary());
    cif.check_mandatory({"_a"}, {"_b"});
    EXPECT_TRUE(cif.errors()->empty());
}

}  // namespace
