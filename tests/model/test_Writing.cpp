#include <gtest/gtest.h>

#include <sstream>

#include "cif/CifConcreteDictionary.h"
#include "cif/CifDataBlock.h"
#include "cif/StringFunctionsLibCif.h"
#include "reading/ParseSupport.h"

namespace {

class Writing : public ::testing::Test {
  protected:
    Writing() : block_(THandle<CifDictionary>(new CifConcreteDictionary), "data_w", 1) {}

    std::string item_line(const std::string& name, const std::string& value) {
        CifDataBlock block(THandle<CifDictionary>(new CifConcreteDictionary), "data_w", 1);
        block.set_value(name, value);
        std::string text = written(block);
        return text.substr(text.find('\n') + 1);
    }

    void column(const std::string& name, const std::vector<std::string>& values) {
        THandle<CifDataItem> item = block_.obtain(name);
        item->set_looped();
        for (const std::string& v : values)
            item->add_value(v);
    }

    CifDataBlock block_;
};

TEST_F(Writing, NameIsPaddedSoTheValueStartsAtColumn34) {
    EXPECT_EQ(item_line("_cell_length_a", "10.5"),
              "_cell_length_a" + std::string(18, ' ') + " 10.5\n");
    const std::string long_name = "_" + std::string(40, 'x');
    EXPECT_EQ(item_line(long_name, "1"), long_name + " 1\n");
}

TEST_F(Writing, ValueForms) {
    const std::string pad(32 - 2, ' ');
    EXPECT_EQ(item_line("_a", "two words"), "_a" + pad + " 'two words'\n");
    EXPECT_EQ(item_line("_a", "O'Neil"), "_a" + pad + " O'Neil\n");
    EXPECT_EQ(item_line("_a", "O'Neil 2"), "_a" + pad + " \"O'Neil 2\"\n");
    EXPECT_EQ(item_line("_a", "_x"), "_a" + pad + " '_x'\n");
    EXPECT_EQ(item_line("_a", "[1]"), "_a" + pad + " '[1]'\n");
    EXPECT_EQ(item_line("_a", "tab\tinside"), "_a" + pad + " tab\tinside\n");
    EXPECT_EQ(item_line("_a", "line\ntwo"), "_a" + pad + " \n;line\ntwo\n;\n");
    EXPECT_EQ(item_line("_a", "\nA\nB\n"), "_a" + pad + " \n;\nA\nB\n;\n");
}

TEST_F(Writing, LongValuesMoveToTheirOwnLine) {
    const std::string value(60, 'v');
    EXPECT_EQ(item_line("_a", value), "_a" + std::string(31, ' ') + "\n" + value + "\n");
    const std::string quoted(50, 'q');
    EXPECT_EQ(item_line("_a", quoted + " x"),
              "_a" + std::string(31, ' ') + "\n'" + quoted + " x'\n");
}

TEST_F(Writing, ValueAndItsCommentMoveTogether) {
    THandle<CifDataItem> item = block_.obtain("_a");
    item->set_value("value");
    item->set_comments("# a comment that is long enough to wrap!!\n", CifCommentable::AfterValue);
    std::string text = written(block_);
    EXPECT_EQ(text, "data_w\n_a" + std::string(31, ' ') +
                        "\nvalue # a comment that is long enough to wrap!!\n");
}

TEST_F(Writing, EmptyValueWritesOnlyItsComments) {
    THandle<CifDataItem> item = block_.obtain("_a");
    item->set_value(0, "");
    item->set_comments("#lead\n", CifCommentable::Leading);
    item->set_comments("#trail\n", CifCommentable::Trailing);
    block_.obtain("_no_value")->set_comments("#never\n", CifCommentable::Leading);
    EXPECT_EQ(written(block_), "data_w\n#lead\n#trail\n");
}

TEST_F(Writing, ShortColumnsUnderEachPolicy) {
    column("_a", {"1", "2"});
    column("_b", {"3"});
    column("_c", {"4", "5", "6"});
    block_.create_loop({"_a", "_b", "_c"});
    EXPECT_EQ(written(block_), "data_w\nloop_\n_a\n_b\n_c\n1 3 4\n2 '' 5\n");
    CifWriteSettings omit;
    omit.short_column_policy = CifWriteSettings::Omit;
    EXPECT_EQ(written(block_, omit), "data_w\nloop_\n_a\n_b\n_c\n1 3 4\n2 5\n");
}

TEST_F(Writing, LoopRowsWrapAtTheLineLength) {
    const std::string v(30, 'x');
    column("_a", {v});
    column("_b", {v});
    column("_c", {v});
    block_.create_loop({"_a", "_b", "_c"});
    EXPECT_EQ(written(block_), "data_w\nloop_\n_a\n_b\n_c\n" + v + " " + v + "\n" + v + "\n");
}

TEST_F(Writing, LoopCellFormsAndTextFields) {
    column("_a", {"two words", "x\ny", "z", std::string(100, 'L')});
    column("_b", {"", "after", "_q", "w"});
    block_.create_loop({"_a", "_b"});
    EXPECT_EQ(written(block_),
              "data_w\nloop_\n_a\n_b\n"
              "'two words' ''\n"
              ";x\ny\n;\nafter\n"
              "z '_q'\n" +
                  std::string(100, 'L') + "\nw\n");
}

TEST_F(Writing, LoopCommentsAndItsPlaceInTheWriteOrder) {
    block_.set_value("_first", "1");
    column("_a", {"1"});
    block_.set_value("_between", "2");
    column("_b", {"2"});
    block_.create_loop({"_a", "_b"});
    block_.set_write_order(std::vector<std::string>{"_between"}, CifDataBlock::MoveToEnd);
    THandle<CifLoop> loop = *block_.begin_loops();
    loop->set_comments("#before\n", CifCommentable::AfterName);
    loop->set_comments("#on loop\n", CifCommentable::AfterValue);
    loop->add_row_comment(0, "#rows\n");
    loop->add_row_comment(1, "#never written\n");
    block_.find("_a")->set_comments("#on a\n", CifCommentable::AfterName);
    block_.find("_b")->set_comments("#after all rows\n", CifCommentable::Trailing);
    block_.set_comments("#top\n", CifCommentable::Leading);
    block_.set_comments(" #header", CifCommentable::AfterName);
    const std::string pad(32 - 6, ' ');
    EXPECT_EQ(written(block_), "#top\ndata_w #header\n_first" + pad +
                                   " 1\n#before\nloop_ #on loop\n"
                                   "_a #on a\n_b\n#rows\n1 2\n#after all rows\n_between" +
                                   std::string(32 - 8, ' ') + " 2\n");
}

TEST(WritingHelpers, PrintItemNameAndValue) {
    THandle<CifDataItem> item(
        new CifDataItem(THandle<CifDictionary>(new CifConcreteDictionary), "_a"));
    item->set_looped();
    item->add_value("v0");
    std::ostringstream out;
    print_item_name(out, item);
    print_item_value(out, item, 0);
    print_item_value(out, item, 1);
    print_item_name(out, THandle<CifDataItem>());
    print_item_value(out, THandle<CifDataItem>(), 0);
    EXPECT_EQ(out.str(), "_a\nv0\nNANANA");
}

TEST(WritingHelpers, LeftJustifyTextBlock) {
    EXPECT_EQ(left_justify_text_block("   \n    first\n      second\n \n"), "first\n  second");
    EXPECT_EQ(left_justify_text_block("  a\n\n  b"), "  a\n\n  b");  // an empty line inside
    EXPECT_EQ(left_justify_text_block(""), "");
    EXPECT_EQ(left_justify_text_block("\n \n"), "");
    EXPECT_EQ(left_justify_text_block("\tx\n\t\ty"), "x\n\ty");
}

TEST(WritingDocument, EmptyDocumentWritesNothing) {
    Cif cif(THandle<CifDictionary>(new CifConcreteDictionary));
    EXPECT_EQ(written(cif), "");
}

TEST(WritingDocument, ReadWriteKeepsCommentsAndOrder) {
    const std::string pad(31, ' ');  // a two-character name is padded to 32, then a blank
    const std::string text =
        "#top\n"
        "data_x #header\n"
        "_a" +
        pad +
        "1 #on a\n"
        "#before loop\n"
        "loop_\n"
        "_b\n"
        "_c #on c\n"
        "#rows\n"
        "1 'x y'\n"
        "2 ;z\n"
        "data_y\n"
        "_t" +
        pad +
        "\n"
        ";\n"
        "text\n"
        ";\n"
        "#end";
    THandle<Cif> cif = read_cif(text);
    EXPECT_TRUE(problems(*cif).empty());
    EXPECT_EQ(written(*cif), text);
}

}  // namespace
