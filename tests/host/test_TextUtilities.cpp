#include "host/TextUtilities.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

TEST(TextUtilities, StripRemovesListedCharactersAtBothEndsOnly) {
    EXPECT_EQ(strip("  \tx y \t", " \t"), "x y");
    EXPECT_EQ(strip(" \t ", " \t"), "");
    EXPECT_EQ(strip("", " "), "");
    EXPECT_EQ(strip("\n P 21/c \r\n"), "P 21/c");
}

TEST(TextUtilities, LeftCutKeepsWhatFollowsTheFirstOccurrence) {
    EXPECT_EQ(left_cut("data_ORB_12", '_'), "ORB_12");
    EXPECT_EQ(left_cut("plain", '_'), "plain");
    EXPECT_EQ(left_cut("ends_", '_'), "");
}

TEST(TextUtilities, SubstituteAndTruncate) {
    EXPECT_EQ(substitute("a b\tc", " \t", '_'), "a_b_c");
    EXPECT_EQ(truncate(std::string("abcdef"), 3), "abc");
    EXPECT_EQ(truncate(std::string("ab"), 3), "ab");
}

TEST(TextUtilities, StringToIntReportsWhetherTheWholeTextWasANumber) {
    bool ok = false;
    EXPECT_EQ(string_to_int(" 42 ", ok), 42);
    EXPECT_TRUE(ok);
    EXPECT_EQ(string_to_int("+7", ok), 7);
    EXPECT_TRUE(ok);
    EXPECT_EQ(string_to_int("-3", ok), -3);
    EXPECT_TRUE(ok);
    EXPECT_EQ(string_to_int("1999a", ok), 1999);
    EXPECT_FALSE(ok);
    EXPECT_EQ(string_to_int("?", ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(string_to_int("+-3", ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(string_to_int("99999999999", ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(string_to_int("12", nullptr), 12);
}

TEST(TextUtilities, StringToDoubleReadsTheLeadingNumber) {
    bool ok = false;
    EXPECT_DOUBLE_EQ(string_to_double("1.25e-2", ok), 0.0125);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(string_to_double("5.4321(12)", ok), 5.4321);
    EXPECT_FALSE(ok);
    EXPECT_DOUBLE_EQ(string_to_double(".", ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_DOUBLE_EQ(string_to_double("+.5"), 0.5);
}

TEST(TextUtilities, CaseInsensitiveComparisons) {
    EXPECT_TRUE(contains_case_insensitive("Journal of Crystal Growth", "CRYSTAL"));
    EXPECT_FALSE(contains_case_insensitive("Journal", "crystals"));
    EXPECT_TRUE(contains_case_insensitive("anything", ""));
    EXPECT_TRUE(CaseInsensitiveCharacterEquality()('q', 'Q'));
    EXPECT_TRUE(CaseInsensitiveStringEquality()("_Cell_Length_A", "_cell_length_a"));
    EXPECT_FALSE(CaseInsensitiveStringEquality()("_cell", "_cells"));

    std::vector<std::string> names = {"_b", "_A", "_a_x", "_B2"};
    auto found = std::find_if(names.begin(), names.end(), CaseInsensitiveStringEquality("_b2"));
    EXPECT_EQ(found - names.begin(), 3);

    std::set<std::string, CaseInsensitiveStringLess> set(names.begin(), names.end());
    set.insert("_a");
    EXPECT_EQ(set.size(), 4u);
    EXPECT_EQ(*set.begin(), "_A");
    // '_' sorts after letters once they are lower-cased, exactly as in byte order.
    EXPECT_TRUE(CaseInsensitiveStringLess()("_CELL", "_cell_"));
    EXPECT_FALSE(CaseInsensitiveStringLess()("_cell_", "_CELL"));
}
