#include "cif/CifDataBlock.h"

#include <gtest/gtest.h>

#include "BlockInvariants.h"
#include "TestDictionary.h"
#include "cif/CifConcreteDictionary.h"
#include "cif/CifErrorException.h"

namespace {

using Names = std::vector<std::string>;

class DataBlock : public ::testing::Test {
  protected:
    DataBlock() : dictionary_(new TestDictionary), block_(dictionary_, "data_test", 7) {
        for (const char* name : {"_cell_length_a", "_cell_length_b", "_cell_volume"}) {
            dictionary_->define(name).category = "cell";
        }
        for (const char* name : {"_atom_site_label", "_atom_site_fract_x"}) {
            dictionary_->define(name).category = "atom_site";
        }
    }

    void TearDown() override { EXPECT_TRUE(block_invariants_hold(block_)); }

    Names write_order(const CifDataBlock& block) const {
        Names names;
        for (auto it = block.begin_write_order(); it != block.end_write_order(); ++it) {
            names.push_back((*it)->name());
        }
        return names;
    }

    std::vector<Names> loops(const CifDataBlock& block) const {
        std::vector<Names> result;
        for (auto loop = block.begin_loops(); loop != block.end_loops(); ++loop) {
            result.emplace_back();
            (*loop)->columns(result.back());
        }
        return result;
    }

    void add_column(CifDataBlock& block, const std::string& name, const Names& values) {
        THandle<CifDataItem> item = block.obtain(name);
        item->set_looped();
        for (const std::string& v : values)
            item->add_value(v);
    }

    THandle<TestDictionary> dictionary_;
    CifDataBlock block_;
};

TEST_F(DataBlock, NamesAreFoundInAnyLetterCase) {
    THandle<CifDataItem> a = block_.obtain("_a");
    EXPECT_TRUE(block_.obtain("_A") == a);
    EXPECT_EQ(write_order(block_), Names{"_a"});
    EXPECT_TRUE(block_.find("_A") == a.get());
    EXPECT_TRUE(block_.find("_b").is_null());
    block_.set_value("_A", "1.5");
    EXPECT_EQ(block_.value("_a"), "1.5");
    EXPECT_TRUE(block_.has_value("_a"));
    EXPECT_FALSE(block_.has_value("_b"));
    EXPECT_EQ(block_.value("_b"), "");
    EXPECT_FALSE(block_.is_looped("_a"));

    std::vector<THandle<CifDataItem>> found = {THandle<CifDataItem>()};
    block_.find(Names{"_x", "_A", "_y"}, found);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_TRUE(found[0].is_null() && found[1] == a && found[2].is_null());
    EXPECT_EQ(block_.name(), "data_test");
    EXPECT_EQ(block_.line(), 7);
}

TEST_F(DataBlock, CreateLoopOfNewNamesGathersThemAtTheEarliest) {
    block_.obtain("_first");
    block_.obtain("_b");
    block_.obtain("_middle");
    block_.create_loop({"_a", "_b", "_c"});
    EXPECT_EQ(loops(block_), (std::vector<Names>{{"_a", "_b", "_c"}}));
    EXPECT_EQ(write_order(block_), (Names{"_first", "_a", "_b", "_c", "_middle"}));
    EXPECT_TRUE(block_.is_looped("_c"));
}

TEST_F(DataBlock, CreateLoopOverExistingLoopsSplitsOffUnlistedColumns) {
    block_.create_loop({"_a", "_x"});
    block_.create_loop({"_b"});
    block_.create_loop({"_a", "_b"});
    std::vector<Names> result = loops(block_);
    std::sort(result.begin(), result.end());
    EXPECT_EQ(result, (std::vector<Names>{{"_a", "_b"}, {"_x"}}));
    Names columns;
    block_.loop_columns("_B", columns);
    EXPECT_EQ(columns, (Names{"_a", "_b"}));
    block_.loop_columns("_nothing", columns);
    EXPECT_TRUE(columns.empty());
}

TEST_F(DataBlock, RemovingTheLastColumnRemovesTheLoop) {
    block_.create_loop({"_a"});
    block_.obtain("_b");
    block_.remove("_absent");
    EXPECT_EQ(loops(block_).size(), 1u);
    block_.remove("_A");
    EXPECT_TRUE(loops(block_).empty());
    EXPECT_EQ(write_order(block_), Names{"_b"});
    block_.remove(Names{"_b", "_b"});
    EXPECT_EQ(block_.item_count(), 0u);
}

TEST_F(DataBlock, WriteOrderModes) {
    const std::vector<std::pair<CifDataBlock::OrderingMode, Names>> expected = {
        {CifDataBlock::MoveToStart, {"_d", "_b", "_a", "_c"}},
        {CifDataBlock::MoveToEnd, {"_a", "_c", "_d", "_b"}},
        {CifDataBlock::MoveToFirstListed, {"_a", "_c", "_d", "_b"}},
        {CifDataBlock::MoveToEarliest, {"_a", "_d", "_b", "_c"}},
    };
    for (const auto& [mode, order] : expected) {
        CifDataBlock block(dictionary_, "data_x", 1);
        for (const char* name : {"_a", "_b", "_c", "_d"})
            block.obtain(name);
        block.set_write_order(Names{"_D", "_absent", "_b"}, mode);
        EXPECT_EQ(write_order(block), order) << mode;
        EXPECT_TRUE(block_invariants_hold(block));
    }
}

TEST_F(DataBlock, WriteOrderReordersLoopColumnsToo) {
    block_.create_loop({"_a", "_b", "_c"});
    block_.set_write_order(Names{"_c", "_a"}, CifDataBlock::MoveToEnd);
    EXPECT_EQ(loops(block_), (std::vector<Names>{{"_c", "_a", "_b"}}));
    EXPECT_EQ(write_order(block_), (Names{"_b", "_c", "_a"}));
}

TEST_F(DataBlock, BadOrderingModesThrowAndChangeNothing) {
    block_.obtain("_a");
    block_.obtain("_b");
    const std::string before = describe(block_);
    try {
        block_.set_write_order(Names{"_b"}, static_cast<CifDataBlock::OrderingMode>(7));
        FAIL() << "no exception";
    } catch (const CifErrorException& e) {
        EXPECT_EQ(e.error().id(), CifError::InternalReadError);
        EXPECT_EQ(e.error().first_argument(),
                  "Invalid move of cif data item: CifDataBlock::set_write_order mode was 7");
        EXPECT_EQ(e.error().line(), -1);
    }
    EXPECT_EQ(describe(block_), before);
    // Nothing to move: no complaint, whatever the mode.
    block_.set_write_order(Names{"_absent"}, static_cast<CifDataBlock::OrderingMode>(7));
    // The one-name form takes the end or the start only, even for an absent name.
    EXPECT_THROW(block_.set_write_order("_absent", CifDataBlock::MoveToFirstListed),
                 CifErrorException);
    block_.set_write_order("_a", CifDataBlock::MoveToEnd);
    EXPECT_EQ(write_order(block_), (Names{"_b", "_a"}));
}

TEST_F(DataBlock, AddLoopRefusesBadLoopsWithoutChangingTheBlock) {
    block_.obtain("_a");
    block_.obtain("_b");
    block_.create_loop({"_c", "_d"});
    const std::string before = describe(block_);
    auto refusal = [this](THandle<CifLoop> loop) {
        try {
            block_.add_loop(loop);
        } catch (const CifErrorException& e) {
            return e.error();
        }
        return CifError(CifError::GeneralError, "accepted", -1);
    };
    EXPECT_EQ(refusal(THandle<CifLoop>()),
              CifError(CifError::InternalReadError, "CifDataBlock::adding null loop", -1));
    EXPECT_EQ(refusal(THandle<CifLoop>(new CifLoop)),
              CifError(CifError::InternalReadError, "CifDataBlock::adding null loop", -1));
    THandle<CifLoop> missing(new CifLoop);
    missing->add_column("_a");
    missing->add_column("_zz");
    EXPECT_EQ(refusal(missing), CifError(CifError::InternalReadError,
                                         "Creating invalid loop, item _zz does not exist", -1));
    THandle<CifLoop> taken(new CifLoop);
    taken->add_column("_b");
    taken->add_column("_D");
    EXPECT_EQ(refusal(taken), CifError(CifError::DataItemAlreadySet, "_c", 7));
    EXPECT_EQ(describe(block_), before);  // _a and _b are still not looped

    THandle<CifLoop> good(new CifLoop);
    good->add_column("_b");
    good->add_column("_a");
    block_.add_loop(good);
    EXPECT_TRUE(block_.is_looped("_a"));
    EXPECT_EQ(write_order(block_), (Names{"_a", "_b", "_c", "_d"}));  // order untouched
}

TEST_F(DataBlock, FindLoopsContainingGivesOneEntryPerName) {
    block_.create_loop({"_a", "_b"});
    block_.create_loop({"_c"});
    std::list<THandle<CifLoop>> found;
    block_.find_loops_containing({"_c", "_x", "_B"}, found);
    ASSERT_EQ(found.size(), 3u);
    auto it = found.begin();
    EXPECT_TRUE((*it)->contains_column("_c"));
    EXPECT_TRUE((++it)->is_null());
    EXPECT_TRUE((*++it)->contains_column("_a"));
}

TEST_F(DataBlock, CopyKeepsExistingValuesWhenAsked) {
    CifDataBlock source(dictionary_, "data_source", 1);
    source.set_value("_a", "new");
    source.obtain("_empty");
    block_.set_value("_a", "?");
    EXPECT_FALSE(block_.copy("_a", source, CifDataBlock::KeepExisting));  // "?" is a value
    EXPECT_EQ(block_.value("_a"), "?");
    EXPECT_FALSE(block_.copy("_empty", source, CifDataBlock::Overwrite));
    EXPECT_FALSE(block_.copy("_nowhere", source, CifDataBlock::Overwrite));
    EXPECT_TRUE(block_.find("_empty").is_null());
    source.find("_a")->set_comments("#about a\n", CifCommentable::Leading);
    EXPECT_TRUE(block_.copy("_A", source, CifDataBlock::Overwrite));
    EXPECT_EQ(block_.value("_a"), "new");
    EXPECT_EQ(block_.find("_a")->comments(CifCommentable::Leading), "#about a\n");
}

TEST_F(DataBlock, CopyingASingleValueOverALoopColumnTakesItOutOfTheLoop) {
    add_column(block_, "_a", {"1", "2"});
    add_column(block_, "_b", {"3", "4"});
    block_.create_loop({"_a", "_b"});
    block_.obtain("_z");
    CifDataBlock source(dictionary_, "data_source", 1);
    source.set_value("_a", "single");
    EXPECT_TRUE(block_.copy("_a", source, CifDataBlock::Overwrite));
    EXPECT_EQ(write_order(block_), (Names{"_b", "_z", "_a"}));
    EXPECT_EQ(loops(block_), (std::vector<Names>{{"_b"}}));
    EXPECT_FALSE(block_.is_looped("_a"));
    EXPECT_EQ(block_.value("_a"), "single");
}

TEST_F(DataBlock, CopyingALoopColumnMakesALoopOfItsOwn) {
    CifDataBlock source(dictionary_, "data_source", 1);
    add_column(source, "_atom_site_label", {"C1", "C2"});
    add_column(source, "_atom_site_fract_x", {"0.1", "0.2"});
    source.create_loop({"_atom_site_label", "_atom_site_fract_x"});
    block_.copy_category("atom_site", source, CifDataBlock::Overwrite);
    EXPECT_EQ(loops(block_), (std::vector<Names>{{"_atom_site_fract_x"}, {"_atom_site_label"}}));
    EXPECT_EQ(block_.find("_atom_site_label")->value(1), "C2");
}

TEST_F(DataBlock, MergeKeepsLoopsWholeAndFollowsTheSourceOrder) {
    CifDataBlock source(dictionary_, "data_source", 1);
    source.set_value("_cell_length_a", "5.1");
    add_column(source, "_atom_site_label", {"C1", "C2"});
    add_column(source, "_atom_site_fract_x", {"0.1", "0.2"});
    source.create_loop({"_atom_site_label", "_atom_site_fract_x"});
    THandle<CifLoop> loop = *source.begin_loops();
    loop->add_row_comment(0, "#rows\n");
    loop->set_comments("#loop\n", CifCommentable::AfterName);
    source.set_value("_cell_volume", "100");
    block_.set_value("_cell_volume", "99");

    block_.merge(source, CifDataBlock::KeepExisting);
    EXPECT_EQ(write_order(block_),
              (Names{"_cell_volume", "_cell_length_a", "_atom_site_label", "_atom_site_fract_x"}));
    EXPECT_EQ(block_.value("_cell_volume"), "99");
    ASSERT_EQ(loops(block_), (std::vector<Names>{{"_atom_site_label", "_atom_site_fract_x"}}));
    EXPECT_EQ((*block_.begin_loops())->row_comments(), Names{"#rows\n"});
    EXPECT_EQ((*block_.begin_loops())->comments(CifCommentable::AfterName), "#loop\n");

    block_.merge(source, CifDataBlock::Overwrite);
    EXPECT_EQ(block_.value("_cell_volume"), "100");
    EXPECT_TRUE(block_invariants_hold(source));
}

TEST_F(DataBlock, CopyLoopWithKeepExistingCopiesNothingWhenAnyNameHasAValue) {
    CifDataBlock source(dictionary_, "data_source", 1);
    add_column(source, "_a", {"1"});
    add_column(source, "_b", {"2"});
    source.create_loop({"_a", "_b"});
    block_.set_value("_b", "mine");
    block_.copy_loop({"_a", "_b"}, source, CifDataBlock::KeepExisting);
    EXPECT_EQ(write_order(block_), Names{"_b"});
    block_.copy_loop({"_a", "_b"}, source, CifDataBlock::Overwrite);
    EXPECT_EQ(loops(block_), (std::vector<Names>{{"_a", "_b"}}));
    EXPECT_EQ(block_.find("_b")->value(0), "2");
}

TEST_F(DataBlock, MoveRemovesFromTheSourceOnlyWhenCopied) {
    CifDataBlock source(dictionary_, "data_source", 1);
    source.set_value("_cell_length_a", "5");
    source.set_value("_cell_length_b", "6");
    source.obtain("_cell_volume");
    block_.set_value("_cell_length_b", "kept");
    block_.move_category("cell", source, CifDataBlock::KeepExisting);
    EXPECT_EQ(write_order(source), (Names{"_cell_length_b", "_cell_volume"}));
    EXPECT_EQ(write_order(block_), (Names{"_cell_length_b", "_cell_length_a"}));
}

TEST_F(DataBlock, CategoryQueries) {
    block_.set_value("_cell_length_b", "1");
    block_.set_value("_Cell_Length_A", "1");
    block_.set_value("_other", "1");
    EXPECT_TRUE(block_.has_item_with_category("_cell_[]"));
    EXPECT_FALSE(block_.has_item_with_category("atom_site"));
    Names found = {"stale"};
    block_.find_category_items("cell", found);
    EXPECT_EQ(found, (Names{"_Cell_Length_A", "_cell_length_b"}));
    block_.remove_category("cell");
    EXPECT_EQ(write_order(block_), Names{"_other"});

    CifDataBlock orphan(THandle<CifDictionary>(), "data_orphan", 1);
    orphan.obtain("_x");
    EXPECT_THROW(orphan.has_item_with_category("cell"), NullHandleError);
}

TEST_F(DataBlock, WholeCopyTakesContentNameAndLineButKeepsTheDictionary) {
    THandle<CifDictionary> other(new CifConcreteDictionary);
    CifDataBlock source(other, "data_src", 42);
    source.set_comments("#block\n", CifCommentable::Leading);
    source.set_value("_a", "1");
    add_column(source, "_l", {"x", "y"});
    source.create_loop({"_l"});
    block_.set_value("_gone", "1");
    block_.copy(source);
    EXPECT_EQ(describe(block_), describe(source));
    EXPECT_EQ(block_.comments(CifCommentable::Leading), "#block\n");
    EXPECT_TRUE(block_.dictionary() == dictionary_.get());
    block_.copy(block_);
    EXPECT_EQ(describe(block_), describe(source));
}

}  // namespace
