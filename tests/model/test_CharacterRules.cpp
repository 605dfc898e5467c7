// Characters, numbers and markup as the reader and the validators judge them.
#include <gtest/gtest.h>

#include <random>

#include "cif/StringFunctionsLibCif.h"
#include "host/Regex.h"

namespace {

TEST(CharacterRules, WhiteSpaceAndBadCharacters) {
    EXPECT_TRUE(is_first_non_white_char("   ;x", ';'));
    EXPECT_FALSE(is_first_non_white_char("   ;x", 'x'));
    EXPECT_FALSE(is_first_non_white_char(" \t ", ';'));
    EXPECT_TRUE(is_blank_line(" \t\r\n\v\f"));
    EXPECT_FALSE(is_blank_line("\t#"));
    // Exactly tab, line feed, carriage return and 32..126 pass both tests.
    std::string admitted;
    for (int c = 0; c < 256; ++c) {
        if (!is_bad_nonprinting_char(c) && !is_bad_printing_char(c)) admitted += char(c);
    }
    EXPECT_EQ(admitted.substr(0, 4), "\t\n\r ");
    EXPECT_EQ(admitted.size(), 3u + 95u);
    EXPECT_EQ(admitted.back(), '~');
}

// clang-format off
TEST(CharacterRules, CifNumbers) {
    for (const char* text : {"1.5e-3(2)", "-.5", "+7", "2D4", "12.(3)", "1.0 ", "5", "5.", ".5", "1E+10",
                             "0.123(45)\t", "7d-1", "-0"})
        EXPECT_TRUE(is_cif_number(text)) << '"' << text << '"';
    for (const char* text : {"", " 1.0", "1.5 (2)", "1e", "1+5", "1.5()", "1.5(2", ".", "-", "(2)", "1.2.3",
                             "1e(2)", "1.5(2)x", "++1", "1.5e-", "1.5(-2)", "?", "1,5", "0x10", "inf", "1e2.5"})
        EXPECT_FALSE(is_cif_number(text)) << '"' << text << '"';
}
// clang-format on

TEST(CharacterRules, MarkupReportsTheFirstUnclosedMark) {
    using V = CifDataItem::Validated;
    // clang-format off
    const std::vector<std::pair<const char*, V>> cases = {
        {"H~2~O", V::Valid}, {"C~6~H~12~O~6~ m^-3^", V::Valid}, {"\\^x\\~", V::Valid},
        {"H~2O", V::BadSubscriptMarkup}, {"x^2~", V::BadSuperscriptMarkup}, {"~a^b^~", V::BadSubscriptMarkup},
        {"H~2~O^", V::BadSuperscriptMarkup}, {"H~2\\~", V::BadSubscriptMarkup}};
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(check_super_subscript_markup(c.first), c.second) << c.first;
}

// The marks as a regular expression finds them (an optional backslash, then '~' or '^'; a
// match of one character is a mark), paired in order: the rule the scan must follow.
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

TEST(CharacterRules, MarkupAgreesWithARegularExpressionOnGeneratedTexts) {
    std::mt19937 random(20261206);
    const std::string alphabet = "ab~^\\\\ ";
    for (int i = 0; i < 50000; ++i) {
        std::string text;
        for (int n = static_cast<int>(random() % 12); n > 0; --n)
            text += alphabet[random() % alphabet.size()];
        ASSERT_EQ(check_super_subscript_markup(text), markup_by_regex(text)) << text;
    }
}

}  // namespace
