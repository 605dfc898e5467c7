#include "cif/StringFunctionsLibCif.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "host/Regex.h"

TEST(CharacterRules, FirstNonWhiteCharacter) {
    EXPECT_TRUE(is_first_non_white_char("   ;x", ';'));
    EXPECT_FALSE(is_first_non_white_char("   ;x", 'x'));
    EXPECT_FALSE(is_first_non_white_char("", ';'));
    EXPECT_FALSE(is_first_non_white_char(" \t ", ';'));
    EXPECT_TRUE(is_first_non_white_char(";", ';'));
    // The comparison comes first, so a white-space character matches the first blank.
    EXPECT_TRUE(is_first_non_white_char("  x", ' '));
}

TEST(CharacterRules, BlankLines) {
    EXPECT_TRUE(is_blank_line(""));
    EXPECT_TRUE(is_blank_line(" \t\r\n\v\f"));
    EXPECT_FALSE(is_blank_line(" a"));
    EXPECT_FALSE(is_blank_line("\t#"));
}

TEST(CharacterRules, BadCharacters) {
    for (int c : {9, 10, 13, 32, 65, 126})
        EXPECT_FALSE(is_bad_nonprinting_char(c)) << c;
    for (int c : {0, 1, 8, 11, 12, 27, 31, 127})
        EXPECT_TRUE(is_bad_nonprinting_char(c)) << c;
    EXPECT_FALSE(is_bad_printing_char(126));
    EXPECT_FALSE(is_bad_printing_char(127));
    EXPECT_TRUE(is_bad_printing_char(128));
    EXPECT_TRUE(is_bad_printing_char(255));
    // Exactly tab, line feed, carriage return and 32..126 pass both tests.
    int admitted = 0;
    for (int c = 0; c < 256; ++c)
        admitted += !is_bad_nonprinting_char(c) && !is_bad_printing_char(c);
    EXPECT_EQ(admitted, 3 + 95);
}

TEST(CifNumbers, AcceptedForms) {
    for (const char* text : {"1.5e-3(2)", "-.5", "+7", "2D4", "12.(3)", "1.0 ", "5", "5.", ".5",
                             "5.25", "1E+10", "0.123(45)\t", "7d-1", "-0"}) {
        EXPECT_TRUE(is_cif_number(text)) << '"' << text << '"';
    }
}

TEST(CifNumbers, RejectedForms) {
    for (const char* text : {"",      " 1.0",    "1.5 (2)", "1e",    "1+5",   "1.5()",   "1.5(2",
                             ".",     "-",       "(2)",     "1.2.3", "1e(2)", "1.5(2)x", "++1",
                             "1.5e-", "1.5(-2)", "?",       "1,5",   "0x10",  "inf",     "1e2.5"}) {
        EXPECT_FALSE(is_cif_number(text)) << '"' << text << '"';
    }
    EXPECT_FALSE(is_cif_number(nullptr));
}

TEST(Markup, BalancedSpansAreValid) {
    EXPECT_EQ(check_super_subscript_markup("H~2~O"), CifDataItem::Valid);
    EXPECT_EQ(check_super_subscript_markup("m^3^"), CifDataItem::Valid);
    EXPECT_EQ(check_super_subscript_markup("a\\~b"), CifDataItem::Valid);
    EXPECT_EQ(check_super_subscript_markup("plain text"), CifDataItem::Valid);
    EXPECT_EQ(check_super_subscript_markup(""), CifDataItem::Valid);
    EXPECT_EQ(check_super_subscript_markup("C~6~H~12~O~6~ m^-3^"), CifDataItem::Valid);
    EXPECT_EQ(check_super_subscript_markup("\\^x\\~"), CifDataItem::Valid);
}

TEST(Markup, UnbalancedSpansAreReportedOnTheOpeningCharacter) {
    EXPECT_EQ(check_super_subscript_markup("H~2O"), CifDataItem::BadSubscriptMarkup);
    EXPECT_EQ(check_super_subscript_markup("x^2~"), CifDataItem::BadSuperscriptMarkup);
    EXPECT_EQ(check_super_subscript_markup("~a^b^~"), CifDataItem::BadSubscriptMarkup);
    EXPECT_EQ(check_super_subscript_markup("m^3"), CifDataItem::BadSuperscriptMarkup);
    EXPECT_EQ(check_super_subscript_markup("H~2~O^"), CifDataItem::BadSuperscriptMarkup);
    // The escaped tilde does not close the span opened before it.
    EXPECT_EQ(check_super_subscript_markup("H~2\\~"), CifDataItem::BadSubscriptMarkup);
}

namespace {

// The marks as a regular expression finds them (an optional backslash, then '~' or '^';
// a match of one character is a mark), paired in order: the rule the scan must follow.
CifDataItem::Validated markup_by_regex(const std::string& text) {
    static const Regex mark("\\\\?[~^]", Regex::Extended);
    std::vector<char> marks;
    for (std::size_t position = 0; position < text.size();) {
        RegexResults found = mark.search_from_position(text, position);
        if (found.empty_match()) break;
        if (found.end() - found.position() == 1) marks.push_back(text[found.position()]);
        position = found.end();
    }
    for (std::size_t i = 0; i < marks.size(); i += 2) {
        if (i + 1 == marks.size() || marks[i] != marks[i + 1]) {
            return marks[i] == '~' ? CifDataItem::BadSubscriptMarkup
                                   : CifDataItem::BadSuperscriptMarkup;
        }
    }
    return CifDataItem::Valid;
}

}  // namespace

TEST(Markup, AgreesWithARegularExpressionReadingOnGeneratedTexts) {
    std::mt19937 random(20261206);
    const std::string alphabet = "ab~^\\\\ ";
    std::set<int> verdicts;
    for (int i = 0; i < 50000; ++i) {
        std::string text;
        for (int n = static_cast<int>(random() % 12); n > 0; --n)
            text += alphabet[random() % alphabet.size()];
        const CifDataItem::Validated verdict = check_super_subscript_markup(text);
        ASSERT_EQ(verdict, markup_by_regex(text)) << "'" << text << "'";
        verdicts.insert(verdict);
    }
    EXPECT_EQ(verdicts.size(), 3u);
}
