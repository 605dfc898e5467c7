// The token stream: a table of texts with their tokens and diagnostics, then the same text
// through every kind of input stream.
#include <gtest/gtest.h>

#include "Support.h"

namespace {

struct TokenCase {
    std::string text;
    std::string tokens;
    Errors errors = {};
    int max_line_length = 80;
};

std::string big(char c, int n) {
    return std::string(static_cast<std::size_t>(n), c);
}

using E = CifError;

// clang-format off
const std::vector<TokenCase> token_cases = {
    {"DATA_x Loop_ loop_x data_ _Name v #c 'q' x#y",
     "4:DATA_x@1 8:Loop_@1 8:loop_x@1 4:data_@1 2:_Name@1 1:v@1 64:c 'q' x#y@1 0:@1"},
    {"a#b c'd\" dat lo", "1:a#b@1 1:c'd\"@1 1:dat@1 1:lo@1 0:@1"},
    // Line ends of every kind; a final line end is followed by one blank line.
    {"a\nb\rc\r\nd\n\re", "1:a@1 1:b@2 1:c@3 1:d@4 1:e@6 0:@6"},
    {"x\r", "1:x@1 0:@2"}, {"", "0:@1"}, {"# note \t\n   #x", "64: note \t@1 64:x@2 0:@2"},
    // A quote closes only before white space or the line end; backslashes are kept.
    {"'O'Neil' \"a\"b\" 'it\\' s' '' 'x'\t\"y\"", "1:O'Neil@1 1:a\"b@1 1:it\\' s@1 1:@1 1:x@1 1:y@1 0:@1"},
    {"_a\n'open ended\n\"abc\"def", "2:_a@1 1:open ended@2 1:abc\"def@3 0:@3",
     {E(E::UnterminatedQuote, "'", 2), E(E::UnterminatedQuote, "\"", 3)}},
    // Text fields: the rest of the opening line, whole lines, the rest of the closing line.
    {"_t\n;\nA\nB\n;\n_u 1", "2:_t@1 1:\nA\nB\n@2-5 2:_u@6 1:1@6 0:@6"},
    {";first\n second\n;abc 'q'", "1:first\n second\n@1-3 1:abc@3 1:q@3 0:@3",
     {E(E::ClosingSemicolonNotFollowedByWhiteSpace, 3)}},
    {"_a x;y\n_b ;z\n;\n  ;not a close\n;",
     "2:_a@1 1:x;y@1 2:_b@2 1:;z@2 1:\n  ;not a close\n@3-5 0:@5"},
    {"_a\n  ;open\nA\n  ; tail", "2:_a@1 1:open\nA\n@2-4 1:tail@4 0:@4",
     {E(E::OpeningSemicolonNotFirst, 2), E(E::ClosingSemicolonNotFirst, 4)}},
    {"_a\n;never\nclosed\n", "2:_a@1 1:never\nclosed\n\n@2 0:@4", {E(E::UnterminatedTextField, 4)}},
    {";", "1:\n@1 0:@1", {E(E::UnterminatedTextField, 1)}},
    // Line lengths: the warning limit, then the cut at 2048 bytes.
    {big('a', 80), "1:" + big('a', 80) + "@1 0:@1"},
    {big('a', 81), "1:" + big('a', 81) + "@1 0:@1", {E(E::LineTooLong, "80", 1)}},
    {"x\n" + big('b', 3000) + "\ny", "1:x@1 1:" + big('b', 2048) + "@2 1:y@3 0:@3",
     {E(E::LineTooLong, "80", 2), E(E::LineTooLong, "2048", 2)}},
    {big('c', 2500), "1:" + big('c', 2048) + "@1 0:@1", {E(E::LineTooLong, "2048", 1)}, 3000},
    {big('c', 2048), "1:" + big('c', 2048) + "@1 0:@1", {}, 3000},
    {big('d', 2049) + " tail\r\nnext", "1:" + big('d', 2048) + "@1 1:next@2 0:@2",
     {E(E::LineTooLong, "2048", 1)}, 5000},
    // The byte past the cut is checked like any other; the lines after it keep their numbers.
    {big('e', 2047) + "\x01\x02\nnext", "1:" + big('e', 2047) + "@1 1:next@2 0:@2",
     {E(E::InvalidNonPrintableCharacter, "\\01", 1), E(E::InvalidNonPrintableCharacter, "\\02", 1),
      E(E::LineTooLong, "2048", 1)}, 5000},
    {big('e', 2047) + "\xe9\xe9\nnext", "1:" + big('e', 2047) + "\xe9@1 1:next@2 0:@2",
     {E(E::InvalidPrintableCharacter, "\\0351", 1), E(E::InvalidPrintableCharacter, "\\0351", 1),
      E(E::LineTooLong, "2048", 1)}, 5000},
    // Characters: controls become blanks, high bytes stay; tab separates, form feed too.
    {std::string("ab\x01" "cd\tx\x1b", 8), "1:ab@1 1:cd@1 1:x@1 0:@1",
     {E(E::InvalidNonPrintableCharacter, "\\01", 1), E(E::InvalidNonPrintableCharacter, "\\033",
     1)}},
    {std::string("_a\0b", 4), "2:_a@1 1:b@1 0:@1", {E(E::InvalidNonPrintableCharacter, "\\00", 1)}},
    {"caf\xc3\xa9 \xc8", "1:caf\xc3\xa9@1 1:\xc8@1 0:@1",
     {E(E::InvalidPrintableCharacter, "\\0303", 1), E(E::InvalidPrintableCharacter, "\\0251", 1),
      E(E::InvalidPrintableCharacter, "\\0310", 1)}}
};
// clang-format on

TEST(TokenStream, Cases) {
    for (const TokenCase& c : token_cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        std::istringstream input(c.text);
        THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
        CifParserSettings settings;
        settings.max_line_length = c.max_line_length;
        EXPECT_EQ(token_summary(input, errors, settings), c.tokens);
        EXPECT_EQ(all_of(*errors), c.errors);
    }
}

TEST(TokenStream, EndOfInputForeverAndNothingFromABadStream) {
    std::istringstream input("x");
    THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
    CifTokenStream stream(&input, errors, CifParserSettings());
    std::string types;
    for (int i = 0; i < 4; ++i)
        types += std::to_string(stream.get_token().type);
    EXPECT_EQ(types, "1000");
    std::istringstream failed("data_x");
    failed.setstate(std::ios::failbit);
    EXPECT_EQ(token_summary(failed, errors), "0:@0");
}

// A line longer than the block the reader takes from the stream at a time, read from a
// string stream and from a source without a get area.
TEST(TokenStream, SameTokensFromEveryKindOfStream) {
    const std::string text =
        "data_x\r\n_a 'q t'\r\n;\r\nfield\r\n;\r\n" + big('w', 70000) + "\r1 #c\n";
    std::istringstream whole(text);
    THandle<CifErrorContainer> expected = make_handle<CifErrorContainer>();
    const std::string tokens = token_summary(whole, expected);
    CharacterSource source(text);
    std::istream input(&source);
    THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
    EXPECT_EQ(token_summary(input, errors), tokens);
    EXPECT_EQ(all_of(*errors), all_of(*expected));
    EXPECT_NE(tokens.find(" 1:1@7 64:c@7 "), std::string::npos);
}

TEST(TokenStream, AFailingSourceEndsTheInputOrThrowsAsTheStreamAsks) {
    FailingSource buffer;
    std::istream quiet(&buffer);
    THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
    EXPECT_EQ(token_summary(quiet, errors), "0:@1");
    EXPECT_TRUE(quiet.bad());
    std::istream loud(&buffer);
    loud.exceptions(std::ios::badbit);
    EXPECT_THROW(token_summary(loud, errors), std::runtime_error);
    std::istringstream eof_exceptions("_a 1");
    eof_exceptions.exceptions(std::ios::eofbit | std::ios::failbit);
    EXPECT_EQ(token_summary(eof_exceptions, errors), "2:_a@1 1:1@1 0:@1");
}

}  // namespace
