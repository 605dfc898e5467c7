#include "cif/CifCommentable.h"

#include <gtest/gtest.h>

#include "cif/CifLoop.h"

TEST(CifCommentable, OneTextPerPositionAndEmptyRemoves) {
    CifCommentable element;
    EXPECT_EQ(element.comments(CifCommentable::Leading), "");
    EXPECT_FALSE(element.has_any_comments());  // asking created nothing
    element.set_comments("#one\n", CifCommentable::Leading);
    element.set_comments("#two\n", CifCommentable::Leading);
    element.set_comments(" #name", CifCommentable::AfterName);
    EXPECT_EQ(element.comments(CifCommentable::Leading), "#two\n");
    element.set_comments("", CifCommentable::Leading);
    EXPECT_FALSE(element.has_comments(CifCommentable::Leading));
    EXPECT_TRUE(element.has_comments(CifCommentable::AfterName));
    element.clear_comments();
    EXPECT_FALSE(element.has_any_comments());
}

TEST(CifCommentable, CopyReplacesEveryPosition) {
    CifCommentable source;
    source.set_comments("#t\n", CifCommentable::Trailing);
    CifCommentable target;
    target.set_comments("#l\n", CifCommentable::Leading);
    target.copy_comments(source);
    EXPECT_FALSE(target.has_comments(CifCommentable::Leading));
    EXPECT_EQ(target.comments(CifCommentable::Trailing), "#t\n");
    target.copy_comments(CifCommentable());
    EXPECT_FALSE(target.has_any_comments());
}

TEST(CifCommentable, LoopCopiesRowCommentsOnlyFromALoop) {
    CifLoop source;
    source.set_comments("#before\n", CifCommentable::AfterName);
    source.add_row_comment(2, "#row two\n");
    CifLoop loop;
    loop.add_row_comment(0, "#mine\n");
    CifCommentable item;
    item.set_comments("#item\n", CifCommentable::Leading);
    loop.copy_comments(item);
    EXPECT_EQ(loop.comments(CifCommentable::Leading), "#item\n");
    EXPECT_EQ(loop.row_comments(), std::vector<std::string>{"#mine\n"});
    CifCommentable& as_base = loop;
    as_base.copy_comments(source);  // dispatches to the loop's own copy
    EXPECT_FALSE(loop.has_comments(CifCommentable::Leading));
    EXPECT_EQ(loop.row_comments(), (std::vector<std::string>{"", "", "#row two\n"}));
}
