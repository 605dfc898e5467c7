// Mandatory items: which block each list goes to, what counts as a value, and the replacing
// items that stand in for a missing one.
#include <gtest/gtest.h>

#include "Support.h"

namespace {

const std::string small_dictionary =
    "data_j\n_name '_journal_year'\n_category journal\n"
    "data_c\n_name '_cell_volume'\n_category cell\n"
    "data_l\n_name '_cell_length_a'\n_category cell\n"
    "data_n\n_name '_new_name'\n_category cell\n"
    "loop_ _related_item _related_function\n'_old_name' replace '_other_name' conversion\n"
    "'_older_name' replace\n"
    "data_o\n_name '_old_name'\n_category cell\n";

struct MandatoryCase {
    std::string text;
    Names publication;
    Names structure;
    Errors remarks;
    bool with_dictionary = true;
};

using E = CifError;

// clang-format off
const std::vector<MandatoryCase> mandatory_cases = {
    // Without category knowledge both lists go to the first block.
    {"data_a\n_x 1\ndata_b\n_y 2\n", {"_x", "", "_p"}, {"_s"},
     {E(E::DataItemNotFound, "_p", "data_a", 1), E(E::DataItemNotFound, "_s", "data_a", 1)}, false},
    {"data_pub\n_journal_year 2001\ndata_str\n_cell_volume 100\n", {"_journal_name_full"}, {"_cell_length_a"},
     {E(E::DataItemNotFound, "_journal_name_full", "data_pub", 1), E(E::DataItemNotFound, "_cell_length_a", "data_str", 3)}},
    {"data_s\n_cell_volume ?\n_cell_length_a ' '\n_x .\n", {}, {"_cell_volume", "_cell_length_a", "_x"},
     {E(E::DataItemNotSet, "_cell_volume", "data_s", 1), E(E::DataItemNotSet, "_cell_length_a", "data_s", 1)}},
    {"data_s\n_cell_volume 1\n_old_name 5\n", {}, {"_new_name"}, {}},
    {"data_s\n_cell_volume 1\n_old_name ?\n", {}, {"_new_name"},
     {E(E::RelatedItemNotSet, "_old_name", "data_s", 1), E(E::RelatedItemNotSet, "_older_name", "data_s", 1)}},
    // any one replacing item with a value stands in, wherever it comes
    {"data_s\n_old_name 5\n_older_name ?\n", {}, {"_new_name"}, {}},
    // A conversion never stands in.
    {"data_s\n_cell_volume 1\n_other_name 5\n", {}, {"_new_name"}, {E(E::DataItemNotFound, "_new_name", "data_s", 1)}},
    {"", {"_a"}, {"_b"}, {}}
};
// clang-format on

TEST(MandatoryChecks, Cases) {
    for (const MandatoryCase& c : mandatory_cases) {
        SCOPED_TRACE(c.text);
        THandle<Cif> cif = read_cif(c.text, c.with_dictionary ? dictionary_from(small_dictionary)
                                                              : THandle<CifDictionary>());
        cif->errors()->clear();
        cif->check_mandatory(c.publication, c.structure);
        EXPECT_EQ(all_of(*cif->errors()), c.remarks);
    }
}

}  // namespace
