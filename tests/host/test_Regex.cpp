#include "host/Regex.h"

#include <gtest/gtest.h>

TEST(Regex, ExtendedModeIgnoresBlanksAndComments) {
    Regex pattern("\\\\?[~^] # optional backslash then a markup character", Regex::Extended);
    RegexResults found = pattern.search("ab\\~c");
    ASSERT_FALSE(found.empty_match());
    EXPECT_EQ(found.match(0), "\\~");
    EXPECT_EQ(found.position(), 2u);
    EXPECT_EQ(found.end(), 4u);
    EXPECT_EQ(static_cast<std::string>(found), "\\~");
}

TEST(Regex, PlainModeTakesBlanksLiterally) {
    Regex pattern("a b", Regex::Plain);
    EXPECT_FALSE(pattern.search("a b").empty_match());
    EXPECT_TRUE(pattern.search("ab").empty_match());
}

TEST(Regex, SearchFromPositionFindsTheLeftmostMatchAtOrAfterIt) {
    Regex digits("([0-9]+)-([0-9]+)?");
    RegexResults found = digits.search_from_position("12-34 56-", 3);
    ASSERT_FALSE(found.empty_match());
    EXPECT_EQ(found.match(1), "56");
    EXPECT_EQ(found.match(2), "");
    EXPECT_EQ(found.position(2), std::string::npos);
    EXPECT_EQ(found.match(7), "");
    EXPECT_TRUE(digits.search_from_position("12-34", 99).empty_match());
}

TEST(Regex, CaselessOption) {
    EXPECT_FALSE(Regex("p 21/c", Regex::Caseless).search("P 21/C").empty_match());
}

TEST(Regex, BadPatternOrOptionThrows) {
    EXPECT_THROW(Regex("(unclosed"), RegexError);
    EXPECT_THROW(Regex("a", 4), RegexError);
}

TEST(Regex, ReplaceEveryMatchOrTheFirst) {
    Regex white("\\s");
    EXPECT_EQ(regex_replace(white, " a\tb \n", "", ReplaceAll), "ab");
    EXPECT_EQ(regex_replace(white, "a b c", "_", ReplaceFirstOnly), "a_b c");
    EXPECT_EQ(regex_replace(Regex("(\\d+)"), "x12y3", "[$1]"), "x[12]y[3]");
    // The output outgrows the first buffer guess.
    std::string expected;
    for (int i = 0; i < 5000; ++i)
        expected += "ab";
    EXPECT_EQ(regex_replace(white, std::string(5000, ' '), "ab"), expected);
}
