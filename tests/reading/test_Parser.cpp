// The parser: a table of texts with the document they give and the diagnostics they raise,
// then where comments land, validation while reading, and the ignored quotes before the
// first block.
#include <gtest/gtest.h>

#include "Support.h"
#include "cif/CifParser.h"

namespace {

// Blocks with their items in write order: "data_x: _a=1 _b*=1,2" (* marks loop columns),
// then the loops' columns.
std::string contents(const Cif& cif) {
    std::string out;
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
        out += (out.empty() ? "" : " | ") + (*block)->name() + ":";
        for (auto it = (*block)->begin_write_order(); it != (*block)->end_write_order(); ++it) {
            out += " " + (*it)->name() + ((*it)->is_looped() ? "*=" : "=");
            for (const std::string& v : values(**it))
                out += v + ",";
            out.pop_back();
        }
        for (auto loop = (*block)->begin_loops(); loop != (*block)->end_loops(); ++loop) {
            out += " loop(";
            for (const std::string& column : (*loop)->column_names())
                out += column + " ";
            out.back() = ')';
        }
    }
    return out;
}

struct ParseCase {
    std::string text;
    std::string contents;
    Errors errors;
};

const std::string longest_name = "_" + std::string(74, 'n');
const std::string long_name = longest_name + "n";

using E = CifError;

// clang-format off
const std::vector<ParseCase> parse_cases = {
    {"# just a comment\n\n# another\n", "", {E(E::NoDataBlocks, -1)}},
    {"_a 1\ndata_b\n_c 2\n", "data_added_by_velliq: _a=1 | data_b: _c=2",
     {E(E::DataBeforeFirstBlock, 1)}},
    {"data_x\ndata_X\ndata_x\ndata_x\n", "data_x: | data_X: | data_x: | data_x:",
     {E(E::DuplicateBlockName, "data_x", 3), E(E::DuplicateBlockName, "data_x", 4),
     E(E::DuplicateBlockName, "data_x", 4)}},
    {"data_\n_a 1\nDATA_\n", "data_: _a=1 | DATA_:", {E(E::MissingBlockIdentifier, 1)}},
    {"data_x\n_a 1\n_b 2\n_A 3\ndata_y\n_a 4\n", "data_x: _a=1 _b=2 | data_y: _a=4",
     {E(E::DataItemAlreadySet, "_A", "2", 4)}},
    // Names without values; "_eof" and names beginning with it end a file.
    {"data_x\n_a\n_b 2\n_c\nloop_ _d 1\n_e\ndata_y\n_eofx", "data_x: _b=2 _d*=1 loop(_d) | data_y:",
     {E(E::DataNameFollowedByDataName, "_a", 2), E(E::DataNameWithoutValue, "_c", 4),
      E(E::DataNameWithoutValue, "_e", 6), E(E::NonStandardEndOfFileMarker, "_eofx", 8)}},
    {"data_x\n_eo\n_EOF", "data_x:", {E(E::DataNameFollowedByDataName, "_eo", 2),
     E(E::DataNameWithoutValue, "_EOF", 3)}},
    {"data_x\n" + longest_name + " 1\n" + long_name + " 2\n",
     "data_x: " + longest_name + "=1 " + long_name + "=2",
     {E(E::DataNameTooLong, long_name, 3)}},
    // Loops: short rows keep what was read; no rows at all is short too, whatever follows.
    {"data_x\nloop_ _a _b\n1 2\n3\n", "data_x: _a*=1,3 _b*=2 loop(_a _b)",
     {E(E::LoopValueCountMismatch, 2)}},
    {"data_x\nloop_ _a _b\n_c 1\n", "data_x: _a*=1 _b* _c* loop(_a _b _c)",
     {E(E::LoopValueCountMismatch, 2)}},
    {"data_x\nloop_ _a _b\ndata_y\n_c 1", "data_x: _a* _b* loop(_a _b) | data_y: _c=1",
     {E(E::LoopValueCountMismatch, 2)}},
    {"data_x\nloop_ _a _A _b\n1 2 3\n4 5 6\n7\n", "data_x: _a*=2,5,7 _b*=3,6 loop(_a _b)",
     {E(E::LoopValueCountMismatch, 2)}},
    {"data_x\nloop_ loop_ _a 1\nloop_\n_b 2\nloop_\ndata_y\n",
     "data_x: _a*=1 _b*=2 loop(_a) loop(_b) | data_y:",
     {E(E::RepeatedKeyword, "loop_", 2), E(E::EmptyLoop, 5)}},
    {"data_x\nloop_ _a 1 2\nloop_ _a _b\n3 4\n", "data_x: _a*=1,2 _b loop(_a)",
     {E(E::DataItemAlreadySet, "_a", "2", 3), E(E::DataItemAlreadySet, "_a", 1),
     E(E::IgnoredString, "3", 4),
      E(E::IgnoredString, "4", 4)}},
    // Values of every form in a loop, rows across lines.
    {"data_a\nloop_ _l _n\na plain # c\n'b c' \"q'd\"\nd\n;\ntext\n;\n? .\n",
     "data_a: _l*=a,b c,d,? _n*=plain,q'd,\ntext\n,. loop(_l _n)", {}},
    // Stray values: after a swallowing text field, and plain ones.
    {"data_x\n_a\n;\n_b 1\n;\n2\n_c x\nstray\n", "data_x: _a=\n_b 1\n _c=x",
     {E(E::IgnoredStringSemicolonMismatch, "2", 6), E(E::IgnoredString, "stray", 8)}},
    // Prose before the first block: its apostrophes are no quotes, its words one remark.
    {"'Bob's notes\nmore prose\ndata_x\n_a 'open\n", "data_x: _a=open",
     {E(E::IgnoredStringsBeforeFirstBlock, 1), E(E::UnterminatedQuote, "'", 4)}}
};
// clang-format on

TEST(Parser, Cases) {
    for (const ParseCase& c : parse_cases) {
        SCOPED_TRACE(c.text);
        THandle<Cif> cif = read_cif(c.text);
        EXPECT_EQ(contents(*cif), c.contents);
        EXPECT_EQ(problems(*cif), c.errors);
    }
}

TEST(Parser, CommentsLandWhereTheyBelong) {
    THandle<Cif> cif = read_cif(
        "# before block\ndata_x # on header\n# before a\n_a # between\n1 # after value\n_b 2\n"
        "# next line\n_c 3\n# before loop\nloop_ # on loop\n# before column\n_d # on column\n_e\n"
        "# before rows\n1 2 # in rows\n3 4\n# at the end\n");
    EXPECT_EQ(dump_document(*cif),
              "block data_x\n  [leading] # before block\n|\n  [after name]  # on header|\n"
              " item _a\n  = 1|\n  [leading] # before a\n|\n  [after name] # between\n|\n"
              "  [after value] # after value\n|\n item _b\n  = 2|\n"
              " item _c\n  = 3|\n  [leading] # next line\n|\n"
              " item _d (looped)\n  = 1|\n  = 3|\n  [leading] # before column\n|\n"
              "  [after name] # on column\n|\n  [trailing] # at the end\n|\n"
              " item _e (looped)\n  = 2|\n  = 4|\n"
              " loop _d _e\n  [after name] # before loop\n|\n  [after value] # on loop\n|\n"
              "  [rows] # before rows\n# in rows\n|\n");
    EXPECT_EQ(problems(*cif), Errors());
}

TEST(Parser, ValidatesEveryValueAndNamesItsItemAndLine) {
    THandle<Cif> cif = read_cif(
        "data_x\n_cell_length_a -2.5\n_exptl_absorpt_correction_type maybe\n_unknown H~2O\n"
        "loop_ _atom_site_label _atom_site_fract_x _atom_site_calc_flag\n"
        "C1 0.5 d\nC~2 0.5(1) x\nC3 abc calc\n",
        core_dictionary());
    EXPECT_EQ(
        all_of(*cif->errors()),
        (Errors{CifError(CifError::ValueBelowLimit, "_cell_length_a", 2),
                CifError(CifError::ValueNotInEnumeration, "_exptl_absorpt_correction_type", 3),
                CifError(CifError::MismatchedSubscriptMarkup, "_unknown", 4),
                CifError(CifError::NonStandardDataItem, "_unknown", 4),
                CifError(CifError::MismatchedSubscriptMarkup, "_atom_site_label", 7),
                CifError(CifError::ValueNotInEnumeration, "_atom_site_calc_flag", 7),
                CifError(CifError::ValueNotNumber, "_atom_site_fract_x", 8)}));
    EXPECT_EQ(CifParser::validation_error("_x", static_cast<CifDataItem::Validated>(10), 3).id(),
              CifError::ItemValidatedOK);
}

// Markup is looked for eight bytes at a time: a mark at every place around those steps, in
// loop values that start a line or follow another, the next value's marks not counted,
// quoted values too.
TEST(Parser, LoopValuesMarkupAtEveryPlace) {
    std::string rows;
    Errors expected;
    int line = 3;
    for (std::size_t at : {0u, 1u, 14u, 15u, 16u, 17u, 30u, 31u, 32u, 33u, 46u, 47u}) {
        std::string unbalanced(50, 'x');
        unbalanced[at] = '~';
        std::string balanced = unbalanced;
        balanced[at + 2] = '~';
        rows += "p " + balanced + " 'q~'\np " + unbalanced + " y^\n";
        expected.push_back(CifError(CifError::MismatchedSubscriptMarkup, "_c", line));
        expected.push_back(CifError(CifError::MismatchedSubscriptMarkup, "_b", line + 1));
        expected.push_back(CifError(CifError::MismatchedSuperscriptMarkup, "_c", line + 1));
        line += 2;
    }
    THandle<Cif> cif = read_cif("data_x\nloop_ _a _b _c\n" + rows);
    EXPECT_EQ(problems(*cif), expected);
}

// Short bare values are copied and scanned a word at a time, reading past their end in the
// line (the first of a line comes through a token): every length up to 20 keeps its text,
// and a mark at any place is found, whatever stands after the value.
TEST(Parser, ShortLoopValuesOfEveryLength) {
    std::string rows;
    Names stored;
    Errors expected;
    int line = 3;
    for (std::size_t length = 1; length <= 20; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            std::string marked(length, static_cast<char>('a' + length));
            marked[at] = '^';
            rows += "~~ " + marked + " ~x~\n";
            stored.push_back(marked);
            expected.push_back(CifError(CifError::MismatchedSuperscriptMarkup, "_b", line++));
        }
    }
    THandle<Cif> cif = read_cif("data_x\nloop_ _a _b _c\n" + rows);
    EXPECT_EQ(values(*cif->block(0)->find("_b")), stored);
    EXPECT_EQ(problems(*cif), expected);
}

// A long loop hands its columns to the items; the next, short loop reuses the reader's.
TEST(Parser, LongAndShortLoopsOneAfterTheOther) {
    std::string text = "data_a\nloop_ _n _square\n";
    for (int i = 0; i < 3000; ++i)
        text += std::to_string(i) + " " + std::to_string(i * i) + "\n";
    THandle<Cif> cif = read_cif(text + "loop_ _p _q\n1 2\n3 4\n");
    THandle<CifDataBlock> block = cif->block(0);
    ASSERT_EQ(block->find("_square")->size(), 3000u);
    EXPECT_EQ(block->find("_square")->value(2999), std::to_string(2999 * 2999));
    EXPECT_EQ(values(*block->find("_q")), (Names{"2", "4"}));
    EXPECT_EQ(problems(*cif), Errors());
}

// Quotes go unreported only before the first block, and the caller's choice survives the
// read whichever way it ends: with blocks, without, or by an exception from the stream.
TEST(Parser, TheCallersIgnoredIdentifiersSurviveEveryRead) {
    for (bool ignored_before : {false, true}) {
        Cif cif(make_handle<CifConcreteDictionary>());
        if (ignored_before) cif.errors()->ignore_error(CifError::UnterminatedQuote);
        for (const char* text : {"'prose\n", "data_x\n"}) {
            std::istringstream in(text);
            cif.read(in, CifParserSettings());
            EXPECT_EQ(cif.errors()->error_ignored(CifError::UnterminatedQuote), ignored_before);
        }
        FailingSource buffer;
        std::istream failing(&buffer);
        failing.exceptions(std::ios::badbit);
        EXPECT_THROW(cif.read(failing, CifParserSettings()), std::runtime_error);
        EXPECT_EQ(cif.errors()->error_ignored(CifError::UnterminatedQuote), ignored_before);
    }
}

}  // namespace
