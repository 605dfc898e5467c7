#include <gtest/gtest.h>

#include "DictionarySupport.h"

namespace {

using Errors = std::vector<CifError>;

TEST(ConcreteDictionaryRead, DescriptorBlockDefinesNothing) {
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    auto d = read_dictionary(
        "data_on_this_dictionary\n_dictionary_name test.dic\n"
        "_dictionary_version 1.0\ndata_a\n_name '_a'\n_category x\n",
        errors);
    EXPECT_EQ(d->descriptor().name, "test.dic");
    EXPECT_EQ(d->descriptor().version, "1.0");
    EXPECT_EQ(d->descriptor().history, "");
    EXPECT_TRUE(d->entry_with_name("_a"));
    EXPECT_EQ(&d->dictionary_descriptor("_A"), &d->descriptor());
    EXPECT_TRUE(errors->empty());
}

TEST(ConcreteDictionaryRead, FirstBlockWithoutDescriptorIsADefinition) {
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    auto d = read_dictionary("data_a\n_name '_a'\n", errors);
    EXPECT_TRUE(d->entry_with_name("_a"));
    EXPECT_TRUE(d->dictionary_descriptor("_a").name.empty());
}

TEST(ConcreteDictionaryRead, DuplicatesKeepTheFirstDefinition) {
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    auto d = read_dictionary(
        "data_a\n_name '_cell_length_a'\n_units A\n"
        "data_b\n_name '_CELL_LENGTH_A'\n_units pm\n"
        "data_c\n_name '_Cell_Length_A'\n",
        errors);
    EXPECT_EQ(d->units("_cell_length_a"), "A");
    EXPECT_EQ(Errors(errors->begin(), errors->end()),
              (Errors{CifError(CifError::DuplicateDictionaryItem, "_CELL_LENGTH_A", -1),
                      CifError(CifError::DuplicateDictionaryItem, "_Cell_Length_A", -1)}));
}

TEST(ConcreteDictionaryRead, AnySyntaxProblemLeavesItEmpty) {
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    auto d = read_dictionary("data_a\n_name '_a'\n_category 'open\ndata_b\n_name '_b'\n", errors);
    EXPECT_FALSE(d->entry_with_name("_b"));
    EXPECT_EQ(errors->size(), 1u);
    EXPECT_FALSE(errors->error_ignored(CifError::NonStandardDataItem));

    THandle<CifErrorContainer> no_blocks(new CifErrorContainer);
    read_dictionary("# nothing\n", no_blocks);
    EXPECT_EQ(Errors(no_blocks->begin(), no_blocks->end()),
              Errors{CifError(CifError::NoDataBlocks, -1)});

    THandle<CifErrorContainer> unread(new CifErrorContainer);
    CifConcreteDictionary empty;
    std::ifstream missing("/nonexistent/cif_core.dic");
    empty.read(missing, unread, nullptr);
    EXPECT_EQ(Errors(unread->begin(), unread->end()), Errors{CifError(CifError::FileNotRead, -1)});
}

TEST(ConcreteDictionaryRead, MalformedDefinitionIsReportedAndTheRestWorks) {
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    auto d = read_dictionary("data_a\n_name '_a'\n_type float\ndata_b\n_name '_b'\n_type numb\n",
                             errors);
    EXPECT_EQ(d->type("_b"), CifDictionary::TYPE_NUMB);
    EXPECT_TRUE(d->entry_with_name("_a"));
    EXPECT_EQ(errors->size(), 1u);
}

TEST(ConcreteDictionaryRead, EchoWritesTheBlocksRead) {
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    CifConcreteDictionary d;
    std::istringstream in("data_a\n_name '_a'\n");
    std::ostringstream echo;
    d.read(in, errors, &echo);
    EXPECT_EQ(echo.str(), "data_a\n_name" + std::string(27, ' ') + " '_a'\n");
}

TEST(ConcreteDictionaryRead, CategoriesWithAndWithoutMarkers) {
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    auto d = read_dictionary(
        "data_a\n_name '_atom_site_label'\n_category atom_site\n"
        "data_b\n_name '_atom_site_fract_x'\n_category atom_site\n"
        "data_c\n_name '_loose'\n",
        errors);
    for (const char* name : {"atom_site", "_atom_site", "_atom_site_[]", "ATOM_SITE"}) {
        EXPECT_TRUE(d->is_category(name)) << name;
    }
    std::vector<std::string> keys;
    d->category_list(keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"__[]", "_atom_site_[]"}));
    CifDictionary::NameSet members;
    d->category_members("atom_site", members);
    EXPECT_EQ(members, (CifDictionary::NameSet{"_atom_site_fract_x", "_atom_site_label"}));
    EXPECT_TRUE(d->name_in_category("_ATOM_SITE_LABEL", "atom_site"));
    EXPECT_FALSE(d->name_in_category("_loose", "atom_site"));
    d->category_members("geom", members);
    EXPECT_TRUE(members.empty());
}

TEST(CoreDictionary, ReadsWithoutErrorsAndSharesSynonymRecords) {
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    auto core =
        read_dictionary(test_data::read_file(test_data::bundled("dict/cif_core.dic")), errors);
    EXPECT_EQ(errors->errors_of_type(CifError::Error), 0u);
    EXPECT_EQ(core->descriptor().name, "cif_core.dic");
    EXPECT_EQ(core->descriptor().version, "2.4.5");
    auto x = core->find_entry("_atom_site_fract_x");
    auto z = core->find_entry("_ATOM_SITE_FRACT_Z");
    ASSERT_NE(x, core->definitions_end());
    ASSERT_NE(z, core->definitions_end());
    EXPECT_TRUE(x->second == z->second.get());
    EXPECT_EQ(core->type("_cell_length_a"), CifDictionary::TYPE_NUMB);
    EXPECT_EQ(core->condition("_cell_length_a"), CifDictionary::COND_ESD);
    EXPECT_EQ(core->enumeration_range("_cell_length_a"), "0.0:");
    EXPECT_EQ(core->units("_cell_length_a"), "A");
    EXPECT_TRUE(core->list_mandatory("_atom_site_label"));
    EXPECT_EQ(core->list("_atom_site_label"), CifDictionary::LIST_YES);
    for (const char* category : {"atom_site", "cell", "symmetry"}) {
        CifDictionary::NameSet members;
        core->category_members(category, members);
        EXPECT_GT(members.size(), 3u) << category;
    }
    CifDictionary::NameSet cell;
    core->category_members("cell", cell);
    EXPECT_EQ(cell.count("_cell_angle_beta"), 1u);
    EXPECT_TRUE(core->name_in_category("_symmetry_space_group_name_H-M", "symmetry"));
}

}  // namespace
