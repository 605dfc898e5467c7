#include "cif/Cif.h"

#include <gtest/gtest.h>

#include "reading/ParseSupport.h"

namespace {

std::vector<std::string> names(const Cif& cif) {
    std::vector<std::string> out;
    for (auto it = cif.block_begin(); it != cif.block_end(); ++it)
        out.push_back((*it)->name());
    return out;
}

TEST(Cif, BlockIndexOutOfRangeThrowsInvalidArgument) {
    Cif cif(THandle<CifDictionary>(new CifConcreteDictionary));
    try {
        cif.block(0);
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Cif does not have block 0");
    }
    EXPECT_THROW(cif.block_iterator(3), std::invalid_argument);
}

TEST(Cif, NewBlockRefusesAnExactNamesake) {
    Cif cif(THandle<CifDictionary>(new CifConcreteDictionary));
    EXPECT_NE(cif.new_block("data_a", cif.block_end()), cif.block_end());
    EXPECT_EQ(cif.new_block("data_a", cif.block_end()), cif.block_end());
    EXPECT_NE(cif.new_block("data_A", cif.block_begin()), cif.block_end());
    EXPECT_EQ(names(cif), (std::vector<std::string>{"data_A", "data_a"}));
    EXPECT_EQ(cif.block(1)->line(), -1);
    EXPECT_TRUE(cif.block(0)->dictionary() == cif.dictionary().get());
    EXPECT_EQ(cif.block_with_name("data_a"), cif.block_begin() + 1);
    EXPECT_EQ(cif.block_with_name("data_b"), cif.block_end());
}

TEST(Cif, BlockAtLineFindsTheClosestPrecedingHeader) {
    std::string text = "data_one\n";
    for (int line = 2; line < 40; ++line)
        text += "#\n";
    text += "data_two\n";
    for (int line = 41; line < 90; ++line)
        text += "#\n";
    text += "data_three\n";
    THandle<Cif> cif = read_cif(text);
    ASSERT_EQ(cif->blocks(), 3u);
    EXPECT_EQ(cif->block(2)->line(), 90);
    cif->new_block("data_made", cif->block_iterator(2));
    EXPECT_EQ(cif->block_at_line(39), cif->block_begin());
    EXPECT_EQ((*cif->block_at_line(40))->name(), "data_two");
    EXPECT_EQ((*cif->block_at_line(89))->name(), "data_two");
    EXPECT_EQ((*cif->block_at_line(500))->name(), "data_three");
    EXPECT_EQ(cif->block_at_line(0), cif->block_end());
}

TEST(Cif, MoveRotatesTheBlocksBetween) {
    THandle<Cif> cif = read_cif("data_a\ndata_b\ndata_c\ndata_d\n");
    cif->move(cif->block_begin() + 3, cif->block_begin());
    EXPECT_EQ(names(*cif), (std::vector<std::string>{"data_d", "data_a", "data_b", "data_c"}));
    cif->move(cif->block_begin() + 1, cif->block_begin() + 1);
    cif->move(cif->block_begin(), cif->block_begin() + 2);
    EXPECT_EQ(names(*cif), (std::vector<std::string>{"data_a", "data_b", "data_d", "data_c"}));
}

TEST(Cif, ReadReplacesTheContentAndTheDiagnostics) {
    THandle<Cif> cif = read_cif("data_a\n_x 'open\n");
    EXPECT_EQ(cif->errors()->size(), 2u);  // the quote and the non-standard item
    cif->errors()->ignore_error(CifError::NonStandardDataItem);
    std::istringstream again("data_b\n_y 1\n");
    cif->read(again, CifParserSettings());
    EXPECT_EQ(names(*cif), std::vector<std::string>{"data_b"});
    EXPECT_TRUE(cif->errors()->empty());
    EXPECT_TRUE(cif->errors()->error_ignored(CifError::NonStandardDataItem));
}

}  // namespace
