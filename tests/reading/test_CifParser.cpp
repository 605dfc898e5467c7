#include <gtest/gtest.h>

#include "ParseSupport.h"
#include "cif/CifParser.h"
#include "model/BlockInvariants.h"
#include "model/TestDictionary.h"

namespace {

using Errors = std::vector<CifError>;
using Names = std::vector<std::string>;

Names values(const CifDataItem& item) {
    Names out;
    for (unsigned int i = 0; i < item.size(); ++i)
        out.emplace_back(item.value_view(i));
    return out;
}

TEST(CifParser, CommentsOnlyGiveNoBlocks) {
    THandle<Cif> cif = read_cif("# just a comment\n\n# another\n");
    EXPECT_EQ(cif->blocks(), 0u);
    EXPECT_EQ(problems(*cif), Errors{CifError(CifError::NoDataBlocks, -1)});
}

TEST(CifParser, ABadStreamIsNotRead) {
    Cif cif(THandle<CifDictionary>(new CifConcreteDictionary));
    std::istringstream in("data_x _a 1");
    in.setstate(std::ios::failbit);
    cif.read(in, CifParserSettings());
    EXPECT_EQ(problems(cif), Errors{CifError(CifError::FileNotRead, -1)});
    EXPECT_EQ(cif.blocks(), 0u);
}

TEST(CifParser, DataBeforeTheFirstHeaderGoesIntoAnImplicitBlock) {
    THandle<Cif> cif = read_cif("_a 1\ndata_b\n_c 2\n");
    ASSERT_EQ(cif->blocks(), 2u);
    EXPECT_EQ(cif->block(0)->name(), "data_added_by_velliq");
    EXPECT_EQ(cif->block(0)->value("_a"), "1");
    EXPECT_EQ(problems(*cif), Errors{CifError(CifError::DataBeforeFirstBlock, 1)});
}

TEST(CifParser, DuplicateBlockNamesAreReportedPerEarlierNamesake) {
    THandle<Cif> cif = read_cif("data_x\ndata_X\ndata_x\ndata_x\n");
    EXPECT_EQ(cif->blocks(), 4u);
    EXPECT_EQ(problems(*cif), (Errors{CifError(CifError::DuplicateBlockName, "data_x", 3),
                                      CifError(CifError::DuplicateBlockName, "data_x", 4),
                                      CifError(CifError::DuplicateBlockName, "data_x", 4)}));
}

TEST(CifParser, BlockIdentifiers) {
    THandle<Cif> cif = read_cif("data_\n_a 1\nDATA_\n_a 1\n");
    EXPECT_EQ(cif->block(1)->name(), "DATA_");
    EXPECT_EQ(problems(*cif), Errors{CifError(CifError::MissingBlockIdentifier, 1)});
}

TEST(CifParser, SecondValueOfAnItemIsDroppedWithItsFirstLine) {
    THandle<Cif> cif = read_cif("data_x\n_a 1\n_b 2\n_A 3\ndata_y\n_a 4\n");
    EXPECT_EQ(cif->block(0)->value("_a"), "1");
    EXPECT_EQ(cif->block(1)->value("_a"), "4");
    EXPECT_EQ(problems(*cif), Errors{CifError(CifError::DataItemAlreadySet, "_A", "2", 4)});
}

TEST(CifParser, NamesWithoutValues) {
    THandle<Cif> cif = read_cif("data_x\n_a\n_b 2\n_c\nloop_ _d 1\n_e\ndata_y\n_eof");
    EXPECT_EQ(cif->block(0)->value("_b"), "2");
    EXPECT_EQ(problems(*cif), (Errors{CifError(CifError::DataNameFollowedByDataName, "_a", 2),
                                      CifError(CifError::DataNameWithoutValue, "_c", 4),
                                      CifError(CifError::DataNameWithoutValue, "_e", 6),
                                      CifError(CifError::NonStandardEndOfFileMarker, "_eof", 8)}));
    EXPECT_EQ(CifError(CifError::NonStandardEndOfFileMarker, "_eof", 8).type(), CifError::Warning);
}

TEST(CifParser, LoopWithTooFewValuesKeepsWhatWasRead) {
    THandle<Cif> cif = read_cif("data_x\nloop_ _a _b\n1 2\n3\n");
    THandle<CifDataBlock> block = cif->block(0);
    EXPECT_EQ(values(*block->find("_a")), (Names{"1", "3"}));
    EXPECT_EQ(values(*block->find("_b")), Names{"2"});
    EXPECT_EQ(problems(*cif), Errors{CifError(CifError::LoopValueCountMismatch, 2)});
    EXPECT_TRUE(block_invariants_hold(*block));
    // A loop with no row at all is short as well.
    EXPECT_EQ(problems(*read_cif("data_x\nloop_ _a _b\n_c 1\n")),
              Errors{CifError(CifError::LoopValueCountMismatch, 2)});
}

// A name given twice in a header is one item: each row's later value replaces the earlier.
TEST(CifParser, ANameRepeatedInALoopHeaderTakesTheLaterValueOfEachRow) {
    THandle<Cif> cif = read_cif("data_x\nloop_ _a _A _b\n1 2 3\n4 5 6\n7\n");
    THandle<CifDataBlock> block = cif->block(0);
    EXPECT_EQ(values(*block->find("_a")), (Names{"2", "5", "7"}));
    EXPECT_EQ(values(*block->find("_b")), (Names{"3", "6"}));
    EXPECT_EQ(problems(*cif), Errors{CifError(CifError::LoopValueCountMismatch, 2)});
    EXPECT_TRUE(block_invariants_hold(*block));
}

TEST(CifParser, LoopKeywordProblems) {
    THandle<Cif> cif = read_cif("data_x\nloop_ loop_ _a 1\nloop_\n_b 2\nloop_\ndata_y\n");
    EXPECT_EQ(values(*cif->block(0)->find("_a")), Names{"1"});
    EXPECT_EQ(cif->block(0)->value("_b"), "2");
    EXPECT_TRUE(cif->block(0)->is_looped("_b"));
    EXPECT_EQ(problems(*cif), (Errors{CifError(CifError::RepeatedKeyword, "loop_", 2),
                                      CifError(CifError::EmptyLoop, 5)}));
}

TEST(CifParser, ALoopColumnAlreadyInALoopAbandonsTheLoop) {
    THandle<Cif> cif = read_cif("data_x\nloop_ _a 1 2\nloop_ _a _b\n3 4\n");
    THandle<CifDataBlock> block = cif->block(0);
    EXPECT_EQ(values(*block->find("_a")), (Names{"1", "2"}));
    EXPECT_EQ(problems(*cif), (Errors{CifError(CifError::DataItemAlreadySet, "_a", "2", 3),
                                      CifError(CifError::DataItemAlreadySet, "_a", 1),
                                      CifError(CifError::IgnoredString, "3", 4),
                                      CifError(CifError::IgnoredString, "4", 4)}));
    EXPECT_TRUE(block_invariants_hold(*block));
}

TEST(CifParser, DataNameLengthLimit) {
    const std::string ok = "_" + std::string(74, 'n');
    const std::string long_name = "_" + std::string(75, 'n');
    THandle<Cif> cif = read_cif("data_x\n" + ok + " 1\n" + long_name + " 2\n");
    EXPECT_EQ(cif->block(0)->value(long_name), "2");
    EXPECT_EQ(problems(*cif), Errors{CifError(CifError::DataNameTooLong, long_name, 3)});
}

TEST(CifParser, UnterminatedQuotesAreReportedOnlyInsideBlocks) {
    THandle<Cif> cif = read_cif("Title: Bob's structure\nnotes\ndata_x\n_a 'open\n");
    EXPECT_EQ(problems(*cif), (Errors{CifError(CifError::IgnoredStringsBeforeFirstBlock, 1),
                                      CifError(CifError::UnterminatedQuote, "'", 4)}));
    EXPECT_FALSE(cif->errors()->error_ignored(CifError::UnterminatedQuote));

    THandle<Cif> no_block = read_cif("'prose\n");
    EXPECT_FALSE(no_block->errors()->error_ignored(CifError::UnterminatedQuote));
}

TEST(CifParser, StrayValuesAfterASwallowingTextField) {
    THandle<Cif> cif = read_cif("data_x\n_a\n;\n_b 1\n;\n2\n_c x\nstray\n");
    EXPECT_EQ(problems(*cif), (Errors{CifError(CifError::IgnoredStringSemicolonMismatch, "2", 6),
                                      CifError(CifError::IgnoredString, "stray", 8)}));
}

TEST(CifParser, CommentsLandWhereTheyBelong) {
    const std::string text =
        "# before block\n"
        "data_x # on header\n"
        "# before a\n"
        "_a # between\n"
        "1 # after value\n"
        "_b 2\n"
        "# next line\n"
        "_c 3\n"
        "# before loop\n"
        "loop_ # on loop\n"
        "# before column\n"
        "_d # on column\n"
        "_e\n"
        "# before rows\n"
        "1 2 # in rows\n"
        "3 4\n"
        "# at the end\n";
    THandle<Cif> cif = read_cif(text);
    THandle<CifDataBlock> block = cif->block(0);
    EXPECT_EQ(block->comments(CifCommentable::Leading), "# before block\n");
    EXPECT_EQ(block->comments(CifCommentable::AfterName), " # on header");
    THandle<CifDataItem> a = block->find("_a");
    EXPECT_EQ(a->comments(CifCommentable::Leading), "# before a\n");
    EXPECT_EQ(a->comments(CifCommentable::AfterName), "# between\n");
    EXPECT_EQ(a->comments(CifCommentable::AfterValue), "# after value\n");
    EXPECT_FALSE(block->find("_b")->has_any_comments());
    EXPECT_EQ(block->find("_c")->comments(CifCommentable::Leading), "# next line\n");
    THandle<CifLoop> loop = *block->begin_loops();
    EXPECT_EQ(loop->comments(CifCommentable::AfterName), "# before loop\n");
    EXPECT_EQ(loop->comments(CifCommentable::AfterValue), "# on loop\n");
    EXPECT_EQ(block->find("_d")->comments(CifCommentable::Leading), "# before column\n");
    EXPECT_EQ(block->find("_d")->comments(CifCommentable::AfterName), "# on column\n");
    EXPECT_EQ(loop->row_comments(), Names{"# before rows\n# in rows\n"});
    EXPECT_EQ(block->find("_d")->comments(CifCommentable::Trailing), "# at the end\n");
    EXPECT_TRUE(problems(*cif).empty());
}

TEST(CifParser, ValidationFailuresNameTheItemAndTheLine) {
    THandle<TestDictionary> dictionary(new TestDictionary);
    CifDictionaryItem& length = dictionary->define("_cell_length_a");
    length.type = CifDictionary::TYPE_NUMB;
    length.condition = CifDictionary::COND_ESD;
    length.enumeration_range = "0.0:";
    dictionary->define("_atom_site_label").type = CifDictionary::TYPE_CHAR;
    dictionary->define("_flag").type = CifDictionary::TYPE_CHAR;
    dictionary->define("_flag").enumeration = {{"yes", ""}, {"no", ""}};
    THandle<Cif> cif = read_cif(
        "data_x\n_cell_length_a -2.5\n_flag maybe\n_unknown H~2O\n"
        "loop_ _atom_site_label _flag\nC1 yes\nC~2 no\n",
        dictionary);
    EXPECT_EQ(cif->errors()->size(), 6u);
    EXPECT_EQ(std::vector<CifError>(cif->errors()->begin(), cif->errors()->end()),
              (Errors{CifError(CifError::ValueBelowLimit, "_cell_length_a", 2),
                      CifError(CifError::ValueNotInEnumeration, "_flag", 3),
                      CifError(CifError::MismatchedSubscriptMarkup, "_unknown", 4),
                      CifError(CifError::NonStandardDataItem, "_unknown", 4),
                      CifError(CifError::DataItemAlreadySet, "_flag", "3", 5),
                      CifError(CifError::MismatchedSubscriptMarkup, "_atom_site_label", 7)}));
}

// Loop values come bare, quoted, as text fields, between comments, and rows that span
// lines: each lands in its column, and a failed check names the line the value stood on.
TEST(CifParser, LoopValuesOfEveryFormKeepTheirTextAndLines) {
    THandle<TestDictionary> dictionary(new TestDictionary);
    CifDictionaryItem& x = dictionary->define("_x");
    x.type = CifDictionary::TYPE_NUMB;
    x.enumeration_range = "0:1";
    THandle<Cif> cif = read_cif(
        "data_a\nloop_ _label _x _note\n"
        "a 0.5 plain # after a row\n"
        "'b c' 2 \"q'd\"\n"
        "d\n"
        "'1.5' x_y\n"
        ";\ntext 7\n;\n"
        "? .\n"
        "e zz .\n",
        dictionary);
    THandle<CifDataBlock> block = cif->block(0);
    EXPECT_EQ(values(*block->find("_label")), (Names{"a", "b c", "d", "\ntext 7\n", "e"}));
    EXPECT_EQ(values(*block->find("_x")), (Names{"0.5", "2", "1.5", "?", "zz"}));
    EXPECT_EQ(values(*block->find("_note")), (Names{"plain", "q'd", "x_y", ".", "."}));
    EXPECT_EQ(problems(*cif), (Errors{CifError(CifError::ValueAboveLimit, "_x", 4),
                                      CifError(CifError::ValueAboveLimit, "_x", 6),
                                      CifError(CifError::ValueNotNumber, "_x", 11)}));
    EXPECT_EQ((*block->begin_loops())->row_comments(), Names{"# after a row\n"});
}

// A loop long enough for its columns to move into the items, then a short one that reuses
// the reader's columns: both keep all their values.
TEST(CifParser, LongAndShortLoopsOneAfterTheOther) {
    std::string text = "data_a\nloop_ _n _square\n";
    for (int i = 0; i < 3000; ++i)
        text += std::to_string(i) + " " + std::to_string(i * i) + "\n";
    text += "loop_ _p _q\n1 2\n3 4\n";
    THandle<Cif> cif = read_cif(text);
    THandle<CifDataBlock> block = cif->block(0);
    ASSERT_EQ(block->find("_square")->size(), 3000u);
    EXPECT_EQ(block->find("_square")->value(2999), std::to_string(2999 * 2999));
    EXPECT_EQ(block->find("_n")->value(1234), "1234");
    EXPECT_EQ(values(*block->find("_q")), (Names{"2", "4"}));
    EXPECT_TRUE(problems(*cif).empty());
}

TEST(CifParser, ValidationErrorTableCoversEveryOutcome) {
    EXPECT_EQ(CifParser::validation_error("_x", CifDataItem::BadRange, 3),
              CifError(CifError::BadEnumerationRange, "_x", 3));
    EXPECT_EQ(CifParser::validation_error("_x", CifDataItem::Valid, 3).id(),
              CifError::ItemValidatedOK);
    EXPECT_EQ(CifParser::validation_error("_x", static_cast<CifDataItem::Validated>(9), 3).id(),
              CifError::MismatchedSuperscriptMarkup);
}

}  // namespace
