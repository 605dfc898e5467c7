// Bad input never crashes the reader and never throws out of Cif::read: each fault is a
// diagnostic at its line, and the well-formed items around it are still read.
#include <gtest/gtest.h>

#include <random>

#include "ParseSupport.h"
#include "TestData.h"
#include "model/BlockInvariants.h"

namespace {

using Errors = std::vector<CifError>;

void expect_usable(const Cif& cif) {
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
        EXPECT_TRUE(block_invariants_hold(**block)) << (*block)->name();
    }
    std::string text;
    EXPECT_NO_THROW(text = written(cif));
    EXPECT_NO_THROW(read_cif(text));
}

TEST(MalformedInput, UnterminatedQuoteLosesOnlyItsOwnLine) {
    THandle<Cif> cif = read_cif("data_x\n_a 1\n_b 'never closed\n_c 3\n");
    THandle<CifDataBlock> block = cif->block(0);
    EXPECT_EQ(block->value("_a"), "1");
    EXPECT_EQ(block->value("_b"), "never closed");
    EXPECT_EQ(block->value("_c"), "3");
    EXPECT_EQ(problems(*cif), Errors{CifError(CifError::UnterminatedQuote, "'", 3)});
}

TEST(MalformedInput, UnterminatedTextFieldTakesTheRest) {
    THandle<Cif> cif = read_cif("data_x\n_a 1\n_b\n;text\n_c 3\n");
    THandle<CifDataBlock> block = cif->block(0);
    EXPECT_EQ(block->value("_a"), "1");
    EXPECT_EQ(block->value("_b"), "text\n_c 3\n\n");
    EXPECT_EQ(problems(*cif), Errors{CifError(CifError::UnterminatedTextField, 6)});
    expect_usable(*cif);
}

TEST(MalformedInput, ItemsAroundABrokenLoopAreRead) {
    THandle<Cif> cif = read_cif("data_x\n_a 1\nloop_ _l _m\n1 2 3\n_b 2\nloop_\n_c 3\n");
    THandle<CifDataBlock> block = cif->block(0);
    EXPECT_EQ(block->value("_a"), "1");
    EXPECT_EQ(block->value("_b"), "2");
    EXPECT_EQ(block->value("_c"), "3");
    EXPECT_TRUE(block->is_looped("_c"));
    EXPECT_EQ(problems(*cif), Errors{CifError(CifError::LoopValueCountMismatch, 3)});
    expect_usable(*cif);
}

TEST(MalformedInput, EmptyInput) {
    THandle<Cif> cif = read_cif("");
    EXPECT_EQ(cif->blocks(), 0u);
    EXPECT_EQ(problems(*cif), Errors{CifError(CifError::NoDataBlocks, -1)});
}

TEST(MalformedInput, TenMegabyteLineIsCutAndTheNextLinesRead) {
    std::string text = "data_x\n_a " + std::string(10 * 1024 * 1024, 'v') + " _lost 1\n_c 3\n";
    THandle<Cif> cif = read_cif(text);
    THandle<CifDataBlock> block = cif->block(0);
    EXPECT_EQ(block->value("_a"), std::string(2048 - 3, 'v'));
    EXPECT_TRUE(block->find("_lost").is_null());
    EXPECT_EQ(block->value("_c"), "3");
    EXPECT_EQ(problems(*cif), (Errors{CifError(CifError::LineTooLong, "80", 2),
                                      CifError(CifError::LineTooLong, "2048", 2)}));
}

TEST(MalformedInput, NulAndControlBytesBecomeBlanks) {
    THandle<Cif> cif = read_cif(std::string("data_x\n_a 1\0002\n_b 3\n", 19));
    EXPECT_EQ(cif->block(0)->value("_a"), "1");
    EXPECT_EQ(problems(*cif), (Errors{CifError(CifError::InvalidNonPrintableCharacter, "\\00", 2),
                                      CifError(CifError::IgnoredString, "2", 2)}));
    EXPECT_EQ(cif->block(0)->value("_b"), "3");
}

TEST(MalformedInput, RandomBytes) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int run = 0; run < 20; ++run) {
        std::string text;
        for (int i = 0; i < 20000; ++i)
            text += static_cast<char>(byte(random));
        THandle<Cif> cif;
        ASSERT_NO_THROW(cif = read_cif(text));
        EXPECT_FALSE(cif->errors()->empty());
        expect_usable(*cif);
    }
}

// Random mixtures of CIF syntax: keywords, names, quotes, semicolons, comments.
TEST(MalformedInput, RandomSyntaxFragments) {
    const std::vector<std::string> fragments = {
        "data_b", "loop_", "_n", "_N", "v", "'q",   "\"q",   "'",  "\n;", ";",
        "#c",     "\n",    " ",  "\t", "?", "_eof", "data_", "\r", "x'y", "save_"};
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> pick(0, fragments.size() - 1);
    for (int run = 0; run < 300; ++run) {
        std::string text;
        for (int i = 0; i < 60; ++i)
            text += fragments[pick(random)] + (i % 3 ? " " : "");
        THandle<Cif> cif;
        ASSERT_NO_THROW(cif = read_cif(text)) << text;
        expect_usable(*cif);
    }
}

TEST(MalformedInput, SharedMalformedFiles) {
    const std::string folder = test_data::shared("malformed");
    if (folder.empty()) GTEST_SKIP() << "shared corpora not present";
    for (const std::string& path : test_data::files_in(folder, ".cif")) {
        SCOPED_TRACE(path);
        THandle<Cif> cif;
        ASSERT_NO_THROW(cif = read_cif(test_data::read_file(path)));
        expect_usable(*cif);
    }
}

}  // namespace
