#include "cif/CifLoop.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

Names columns_of(const CifLoop& loop) {
    Names names;
    loop.columns(names);
    return names;
}

CifLoop loop_of(const Names& names) {
    CifLoop loop;
    for (const std::string& name : names)
        loop.add_column(name);
    return loop;
}

TEST(MoveElement, RotatesTheRangeBetween) {
    Names v = {"a", "b", "c", "d", "e"};
    move_element(v, 1, 3);
    EXPECT_EQ(v, (Names{"a", "c", "d", "b", "e"}));
    move_element(v, 4, 0);
    EXPECT_EQ(v, (Names{"e", "a", "c", "d", "b"}));
    move_element(v, 2, 2);
    EXPECT_EQ(v, (Names{"e", "a", "c", "d", "b"}));
    move_element(v, 0, 4);
    EXPECT_EQ(v, (Names{"a", "c", "d", "b", "e"}));
}

TEST(CifLoop, ColumnsAreUniqueIgnoringCaseAndKeepTheirFirstSpelling) {
    CifLoop loop;
    loop.add_column("_ATOM_SITE_LABEL");
    loop.add_column("_atom_site_label");
    loop.add_column("_atom_site_fract_x");
    EXPECT_EQ(columns_of(loop), (Names{"_ATOM_SITE_LABEL", "_atom_site_fract_x"}));
    EXPECT_TRUE(loop.contains_column("_Atom_Site_Label"));
    loop.remove_column("_atom_site_LABEL");
    loop.remove_column("_absent");
    EXPECT_EQ(columns_of(loop), Names{"_atom_site_fract_x"});
    EXPECT_EQ(loop.size(), 1u);
    loop.remove_column("_atom_site_fract_x");
    EXPECT_TRUE(loop.empty());
}

TEST(CifLoop, SetColumnOrderPutsListedColumnsFirst) {
    CifLoop loop = loop_of({"_a", "_b", "_c", "_d"});
    loop.set_column_order({"_x", "_y"});
    EXPECT_EQ(columns_of(loop), (Names{"_a", "_b", "_c", "_d"}));
    loop.set_column_order({"_D", "_c"});
    EXPECT_EQ(columns_of(loop), (Names{"_d", "_c", "_a", "_b"}));
    loop.set_column_order({"_b", "_missing", "_a"});
    EXPECT_EQ(columns_of(loop), (Names{"_b", "_a", "_d", "_c"}));
    // A name listed twice is moved again to the current position.
    loop.set_column_order({"_c", "_d", "_c"});
    EXPECT_EQ(columns_of(loop), (Names{"_d", "_b", "_c", "_a"}));
}

TEST(CifLoop, MoveColumnTakesItFromTheOtherLoop) {
    CifLoop from = loop_of({"_a", "_b"});
    CifLoop to = loop_of({"_c"});
    to.move_column("_absent", from);
    EXPECT_EQ(columns_of(from), (Names{"_a", "_b"}));
    EXPECT_EQ(columns_of(to), Names{"_c"});
    to.move_column("_B", from);
    EXPECT_EQ(columns_of(from), Names{"_a"});
    EXPECT_EQ(columns_of(to), (Names{"_c", "_B"}));
    CifLoop other = loop_of({"_c"});
    to.move_column("_c", other);  // no uniqueness check here
    EXPECT_EQ(columns_of(to), (Names{"_c", "_B", "_c"}));
}

TEST(CifLoop, RowCommentsGrowToTheRow) {
    CifLoop loop;
    loop.add_row_comment(5, "#five\n");
    ASSERT_EQ(loop.row_comments().size(), 6u);
    EXPECT_EQ(loop.row_comments()[4], "");
    loop.add_row_comment(1, "#one\n");
    loop.add_row_comment(1, "#uno\n");
    EXPECT_EQ(loop.row_comments()[1], "#uno\n");
    EXPECT_EQ(loop.row_comments().size(), 6u);
}

}  // namespace
