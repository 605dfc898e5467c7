// The document and its blocks, and the columns of a loop.
#include <gtest/gtest.h>

#include "Support.h"

namespace {

Names block_names(const Cif& cif) {
    Names out;
    for (auto it = cif.block_begin(); it != cif.block_end(); ++it)
        out.push_back((*it)->name());
    return out;
}

TEST(Document, Blocks) {
    Cif cif(make_handle<CifConcreteDictionary>());
    try {
        cif.block(0);
        ADD_FAILURE();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Cif does not have block 0");
    }
    EXPECT_NE(cif.new_block("data_a", cif.block_end()), cif.block_end());
    EXPECT_EQ(cif.new_block("data_a", cif.block_end()), cif.block_end());
    EXPECT_NE(cif.new_block("data_A", cif.block_begin()), cif.block_end());
    cif.new_block("data_c", cif.block_end());
    EXPECT_EQ(block_names(cif), (Names{"data_A", "data_a", "data_c"}));
    EXPECT_EQ(cif.block_with_name("data_a"), cif.block_begin() + 1);
    cif.move(cif.block_begin() + 2, cif.block_begin());
    EXPECT_EQ(block_names(cif), (Names{"data_c", "data_A", "data_a"}));
    cif.move(cif.block_begin(), cif.block_begin() + 2);
    EXPECT_EQ(block_names(cif), (Names{"data_A", "data_a", "data_c"}));
}

TEST(Document, BlockAtLineFindsTheClosestPrecedingHeader) {
    THandle<Cif> cif =
        read_cif("data_one\n" + std::string(38, '\n') + "data_two\n\n\ndata_three\n");
    cif->new_block("data_made", cif->block_iterator(2));  // no line: never found by line
    EXPECT_EQ(cif->block_at_line(39), cif->block_begin());
    EXPECT_EQ((*cif->block_at_line(40))->name(), "data_two");
    EXPECT_EQ((*cif->block_at_line(42))->name(), "data_two");
    EXPECT_EQ((*cif->block_at_line(43))->name(), "data_three");
    EXPECT_EQ(cif->block_at_line(0), cif->block_end());
}

TEST(Document, ReadReplacesTheContentAndTheDiagnosticsButNotTheIgnoredOnes) {
    THandle<Cif> cif = read_cif("data_a\n_x 'open\n");
    EXPECT_EQ(cif->errors()->size(), 2u);
    cif->errors()->ignore_error(CifError::NonStandardDataItem);
    std::istringstream again("data_b\n_y 1\n");
    cif->read(again, CifParserSettings());
    EXPECT_EQ(block_names(*cif), Names{"data_b"});
    EXPECT_TRUE(cif->errors()->empty());
    std::istringstream failed("data_c");
    failed.setstate(std::ios::failbit);
    cif->read(failed, CifParserSettings());
    EXPECT_EQ(all_of(*cif->errors()), Errors{CifError(CifError::FileNotRead, -1)});
}

// Items outlive their blocks and documents; the items of one name read in one document share
// its text, which lives while any of them does.
TEST(Document, ItemsOutliveTheirDocumentAndShareTheirNames) {
    THandle<CifDataItem> single, looped, other_block;
    {
        THandle<Cif> cif = read_cif(
            "data_a\n_cell_length_a 5.1\nloop_\n_atom_site_label\nC1\nC2\n"
            "data_b\n_cell_length_a 6.2\nloop_\n_atom_site_label\nN1\n");
        single = cif->block(0)->find("_cell_length_a");
        looped = cif->block(0)->find("_atom_site_label");
        other_block = cif->block(1)->find("_CELL_LENGTH_A");
        EXPECT_EQ(&single->name(), &other_block->name());  // one text for both
        EXPECT_NE(&looped->name(), &single->name());
        cif->block(0)->remove("_cell_length_a");
    }
    EXPECT_EQ(single->name(), "_cell_length_a");
    EXPECT_EQ(single->value(), "5.1");
    EXPECT_EQ(values(*looped), (Names{"C1", "C2"}));
    EXPECT_TRUE(looped->is_looped());
    single = THandle<CifDataItem>();  // the name survives one of its items
    EXPECT_EQ(other_block->name(), "_cell_length_a");
    EXPECT_EQ(other_block->value(), "6.2");
    // an item made by hand has a name of its own
    CifDataItem made(make_handle<CifConcreteDictionary>(), THandle<const std::string>());
    EXPECT_EQ(made.name(), "");
}

TEST(Document, LoopColumns) {
    CifLoop loop;
    for (const char* name : {"_A", "_a", "_b", "_c", "_d"})
        loop.add_column(name);
    EXPECT_EQ(loop.column_names(), (Names{"_A", "_b", "_c", "_d"}));
    loop.set_column_order({"_D", "_missing", "_c", "_d"});
    EXPECT_EQ(loop.column_names(), (Names{"_c", "_A", "_d", "_b"}));  // each listed name in turn
    CifLoop other;
    other.add_column("_x");
    loop.move_column("_X", other);
    loop.remove_column("_a");
    EXPECT_EQ(loop.column_names(), (Names{"_c", "_d", "_b", "_X"}));
    EXPECT_TRUE(other.empty());
    loop.add_row_comment(3, "#three\n");
    loop.add_row_comment(1, "#one\n");
    EXPECT_EQ(loop.row_comments(), (Names{"", "#one\n", "", "#three\n"}));
    Names v = {"a", "b", "c", "d", "e"};
    move_element(v, 1, 3);
    move_element(v, 4, 0);
    EXPECT_EQ(v, (Names{"e", "a", "c", "d", "b"}));
}

}  // namespace
