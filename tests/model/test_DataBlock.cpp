// Data blocks: names without letter case, loops, write order, copy, move, merge and
// categories; misuse throws and changes nothing; random operations keep the invariants.
#include <gtest/gtest.h>

#include <random>

#include "Support.h"
#include "cif/CifErrorException.h"
#include "cif/CifLoopRows.h"

namespace {

const std::string cell_and_atoms =
    "data_cell_length_a\n_name '_cell_length_a'\n_category cell\n"
    "data_cell_length_b\n_name '_cell_length_b'\n_category cell\n"
    "data_cell_volume\n_name '_cell_volume'\n_category cell\n"
    "data_atom_site_label\n_name '_atom_site_label'\n_category atom_site\n"
    "data_atom_site_fract_x\n_name '_atom_site_fract_x'\n_category atom_site\n";

// "_a _b=1 [_c _d]": the write order with values, then the loops' columns.
std::string describe(const CifDataBlock& block) {
    std::string out;
    for (auto it = block.begin_write_order(); it != block.end_write_order(); ++it) {
        out += (out.empty() ? "" : " ") + (*it)->name();
        if ((*it)->has_value()) out += "=" + (*it)->value();
    }
    for (auto loop = block.begin_loops(); loop != block.end_loops(); ++loop) {
        out += " [";
        for (const std::string& column : (*loop)->column_names())
            out += column + " ";
        out.back() = ']';
    }
    return out;
}

class DataBlock : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_TRUE(block_invariants_hold(block_));
        EXPECT_TRUE(block_invariants_hold(source_));
    }
    static void add_column(CifDataBlock& block, const std::string& name, const Names& values) {
        THandle<CifDataItem> item = block.obtain(name);
        item->set_looped();
        for (const std::string& v : values)
            item->add_value(v);
    }
    // Throws with the error it expects, and leaves the block as it was.
    template <class Call>
    void expect_refused(Call call, const CifError& expected) {
        const std::string before = describe(block_);
        try {
            call();
            ADD_FAILURE() << "accepted";
        } catch (const CifErrorException& e) {
            EXPECT_EQ(e.error(), expected);
        }
        EXPECT_EQ(describe(block_), before);
    }

    THandle<CifDictionary> dictionary_ = dictionary_from(cell_and_atoms);
    CifDataBlock block_{dictionary_, "data_test", 7};
    CifDataBlock source_{dictionary_, "data_source", 1};
};

TEST_F(DataBlock, CreateLoop) {
    for (const char* name : {"_first", "_b", "_middle"})
        block_.obtain(name);
    block_.create_loop({"_a", "_B", "_c"});
    EXPECT_EQ(describe(block_),
              "_first _a _b _c _middle [_a _B _c]");  // a column keeps its spelling
    // Over existing loops: the loops merge, and the columns not listed leave, sorted.
    block_.create_loop({"_z", "_y", "_x"});
    block_.create_loop({"_a", "_y"});
    EXPECT_EQ(describe(block_), "_first _a _y _b _c _middle _z _x [_a _y] [_B _c _x _z]");
    Names columns;
    block_.loop_columns("_Y", columns);
    EXPECT_EQ(columns, (Names{"_a", "_y"}));
    block_.remove(Names{"_a", "_y", "_absent"});
    EXPECT_EQ(describe(block_), "_first _b _c _middle _z _x [_B _c _x _z]");
}

TEST_F(DataBlock, WriteOrderModes) {
    const std::vector<std::pair<CifDataBlock::OrderingMode, std::string>> expected = {
        {CifDataBlock::MoveToStart, "_d _b _a _c"},
        {CifDataBlock::MoveToEnd, "_a _c _d _b"},
        {CifDataBlock::MoveToFirstListed, "_a _c _d _b"},
        {CifDataBlock::MoveToEarliest, "_a _d _b _c"}};
    for (const auto& [mode, order] : expected) {
        CifDataBlock block(dictionary_, "data_x", 1);
        for (const char* name : {"_a", "_b", "_c", "_d"})
            block.obtain(name);
        block.set_write_order(Names{"_D", "_absent", "_b"}, mode);
        EXPECT_EQ(describe(block), order) << mode;
    }
    block_.create_loop({"_a", "_b", "_c"});
    block_.set_write_order(Names{"_c", "_a"}, CifDataBlock::MoveToEnd);
    EXPECT_EQ(describe(block_), "_b _c _a [_c _a _b]");
    block_.set_write_order("_b", CifDataBlock::MoveToEnd);
    EXPECT_EQ(describe(block_), "_c _a _b [_b _c _a]");
}

TEST_F(DataBlock, MisuseThrowsAndChangesNothing) {
    block_.obtain("_a");
    block_.obtain("_b");
    block_.create_loop({"_c", "_d"});
    expect_refused(
        [&] { block_.set_write_order(Names{"_b"}, CifDataBlock::OrderingMode(7)); },
        CifError(CifError::InternalReadError,
                 "Invalid move of cif data item: CifDataBlock::set_write_order mode was 7", -1));
    expect_refused(
        [&] { block_.set_write_order("_a", CifDataBlock::MoveToFirstListed); },
        CifError(CifError::InternalReadError,
                 "Invalid move of cif data item: CifDataBlock::set_write_order mode was 2", -1));
    const CifError null_loop(CifError::InternalReadError, "CifDataBlock::adding null loop", -1);
    expect_refused([&] { block_.add_loop(THandle<CifLoop>()); }, null_loop);
    expect_refused([&] { block_.add_loop(make_handle<CifLoop>()); }, null_loop);
    THandle<CifLoop> missing = make_handle<CifLoop>();
    missing->add_column("_a");
    missing->add_column("_zz");
    expect_refused([&] { block_.add_loop(missing); },
                   CifError(CifError::InternalReadError,
                            "Creating invalid loop, item _zz does not exist", -1));
    THandle<CifLoop> taken = make_handle<CifLoop>();
    taken->add_column("_b");
    taken->add_column("_D");
    expect_refused([&] { block_.add_loop(taken); },
                   CifError(CifError::DataItemAlreadySet, "_c", 7));
    THandle<CifLoop> good = make_handle<CifLoop>();
    good->add_column("_b");
    good->add_column("_a");
    block_.add_loop(good);
    EXPECT_EQ(describe(block_), "_a _b _c _d [_c _d] [_b _a]");
}

TEST_F(DataBlock, CopyAndMove) {
    source_.set_value("_a", "new");
    source_.obtain("_empty");
    block_.set_value("_a", "?");
    EXPECT_FALSE(block_.copy("_a", source_, CifDataBlock::KeepExisting));  // "?" is a value
    EXPECT_FALSE(block_.copy("_empty", source_, CifDataBlock::Overwrite));
    block_.obtain("_b");
    source_.set_value("_b", "2");
    EXPECT_TRUE(block_.copy("_b", source_, CifDataBlock::KeepExisting));  // no value to keep
    source_.find("_a")->set_comments("#about a\n", CifCommentable::Leading);
    EXPECT_TRUE(block_.copy("_A", source_, CifDataBlock::Overwrite));
    EXPECT_EQ(block_.find("_a")->comments(CifCommentable::Leading), "#about a\n");
    // A single value copied over a loop column takes the item out of its loop.
    add_column(block_, "_l", {"1", "2"});
    add_column(block_, "_m", {"3", "4"});
    block_.create_loop({"_l", "_m"});
    source_.set_value("_l", "single");
    block_.move("_l", source_, CifDataBlock::Overwrite);
    EXPECT_EQ(describe(block_), "_a=new _b=2 _m=3 _l=single [_m]");
    EXPECT_EQ(describe(source_), "_a=new _empty _b=2");
    // A loop is copied whole, or not at all when a name has a value to keep.
    add_column(source_, "_p", {"1"});
    add_column(source_, "_q", {"2"});
    source_.create_loop({"_p", "_q"});
    block_.set_value("_q", "mine");
    block_.copy_loop({"_p", "_q"}, source_, CifDataBlock::KeepExisting);
    EXPECT_EQ(describe(block_), "_a=new _b=2 _m=3 _l=single _q=mine [_m]");
    block_.copy_loop({"_p", "_q"}, source_, CifDataBlock::Overwrite);
    EXPECT_EQ(describe(block_), "_a=new _b=2 _m=3 _l=single _p=1 _q=2 [_m] [_p _q]");
}

TEST_F(DataBlock, MergeKeepsLoopsWholeAndFollowsTheSourceOrder) {
    source_.set_value("_cell_length_a", "5.1");
    add_column(source_, "_atom_site_label", {"C1", "C2"});
    add_column(source_, "_atom_site_fract_x", {"0.1", "0.2"});
    source_.create_loop({"_atom_site_label", "_atom_site_fract_x"});
    (*source_.begin_loops())->add_row_comment(0, "#rows\n");
    source_.set_value("_cell_volume", "100");
    block_.set_value("_cell_volume", "99");
    block_.merge(source_, CifDataBlock::KeepExisting);
    EXPECT_EQ(describe(block_),
              "_cell_volume=99 _cell_length_a=5.1 _atom_site_label=C1 _atom_site_fract_x=0.1 "
              "[_atom_site_label _atom_site_fract_x]");
    EXPECT_EQ((*block_.begin_loops())->row_comments(), Names{"#rows\n"});
    block_.merge(source_, CifDataBlock::Overwrite);
    EXPECT_EQ(block_.value("_cell_volume"), "100");
}

TEST_F(DataBlock, Categories) {
    block_.set_value("_cell_length_b", "1");
    block_.set_value("_Cell_Length_A", "1");
    block_.set_value("_other", "1");
    EXPECT_TRUE(block_.has_item_with_category("_cell_[]"));
    EXPECT_FALSE(block_.has_item_with_category("atom_site"));
    Names found = {"stale"};
    block_.find_category_items("cell", found);
    EXPECT_EQ(found, (Names{"_Cell_Length_A", "_cell_length_b"}));
    source_.set_value("_cell_volume", "7");
    block_.move_category("cell", source_, CifDataBlock::KeepExisting);
    EXPECT_EQ(describe(source_), "");
    block_.remove_category("cell");
    EXPECT_EQ(describe(block_), "_other=1");
}

TEST_F(DataBlock, WholeCopyTakesEverythingButTheDictionary) {
    CifDataBlock source(make_handle<CifConcreteDictionary>(), "data_src", 42);
    source.set_comments("#block\n", CifCommentable::Leading);
    source.set_value("_a", "1");
    add_column(source, "_l", {"x", "y"});
    source.create_loop({"_l"});
    block_.set_value("_gone", "1");
    block_.copy(source);
    block_.copy(block_);
    EXPECT_EQ(written(block_), written(source));
    EXPECT_TRUE(block_.dictionary() == dictionary_.get());
}

// Random operations on two blocks: the invariants hold after every step, and every refused
// operation leaves both blocks as they were. Names in both letter cases, enough of them for
// the name index to grow and to move entries back when one is removed.
TEST(DataBlockProperties, InvariantsHoldThroughRandomOperations) {
    Names names;
    for (int i = 0; i < 40; ++i)
        names.push_back((i % 3 ? "_n" : "_N") + std::to_string(i % 20));
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
        auto some = [&] {
            Names out;
            for (std::size_t n = 1 + pick(3); n > 0; --n)
                out.push_back(names[pick(names.size())]);
            return out;
        };
        THandle<CifDictionary> dictionary = make_handle<CifConcreteDictionary>();
        CifDataBlock a(dictionary, "data_a", 1);
        CifDataBlock b(dictionary, "data_b", 2);
        for (int step = 0; step < 300; ++step) {
            CifDataBlock& target = pick(2) ? a : b;
            CifDataBlock& other = &target == &a ? b : a;
            const std::string name = names[pick(names.size())];
            const auto mode = CifDataBlock::OverwriteMode(pick(2));
            const auto ordering = CifDataBlock::OrderingMode(pick(5));  // 4 is no mode
            const std::string before = describe(a) + "|" + describe(b);
            try {
                // clang-format off
                switch (pick(10)) {
                    case 0: target.set_value(name, std::to_string(step)); break;
                    case 1: if (target.is_looped(name)) target.find(name)->add_value("v"); break;
                    case 2: target.remove(name); break;
                    case 3: target.create_loop(some()); break;
                    case 4: target.set_write_order(some(), ordering); break;
                    case 5: target.copy(name, other, mode); break;
                    case 6: target.move(name, other, mode); break;
                    case 7: target.copy_loop(some(), other, mode); break;
                    case 8: target.merge(other, mode); break;
                    default: target.copy(other);
                }
                // clang-format on
            } catch (const CifErrorException&) {
                ASSERT_EQ(describe(a) + "|" + describe(b), before) << "seed " << seed;
            }
            ASSERT_TRUE(block_invariants_hold(a)) << "seed " << seed << " step " << step;
            ASSERT_TRUE(block_invariants_hold(b)) << "seed " << seed << " step " << step;
        }
    }
}

}  // namespace

// A block read from text keeps its items and write order in the read's arena: a place in the
// write order stays valid while other items are removed and made again, their freed places
// reused, and items kept after the block is gone still read.
TEST(DataBlockArena, WriteOrderPlacesSurviveRemovalAndReadding) {
    THandle<Cif> cif = read_cif("data_a\n_kept 1\n_b 2\n_c 3\nloop_ _d _e\n4 5\n");
    THandle<CifDataBlock> block = cif->block(0);
    const CifDataBlock::WriteOrder::const_iterator kept = block->begin_write_order();
    ASSERT_EQ((*kept)->name(), "_kept");
    std::vector<THandle<CifDataItem>> removed;
    for (int round = 0; round < 50; ++round) {
        removed.push_back(block->find("_b"));
        block->remove(std::vector<std::string>{"_b", "_d"});
        block->set_value("_b", std::to_string(round));
        block->create_loop({"_d", "_x" + std::to_string(round)});
        EXPECT_EQ((*kept)->value(), "1");
        EXPECT_EQ((*std::next(kept))->name(), "_c");
        EXPECT_TRUE(block_invariants_hold(*block));
    }
    EXPECT_EQ(block->value("_b"), "49");
    EXPECT_EQ(block->item_count(), 55u);  // _kept _b _c _e _d and 50 _x
    THandle<CifDataItem> last_b = block->find("_b");
    block = THandle<CifDataBlock>();
    cif = THandle<Cif>();
    EXPECT_EQ(removed[7]->value(), "6");
    EXPECT_EQ(last_b->value(), "49");
}

TEST(LoopRows, RowsOfAReadLoopAndOfOneCutShort) {
    const THandle<Cif> cif =
        read_cif("data_r\nloop_\n_atom_site_label\n_atom_site_fract_x\nC1 0.1\nO2 0.2\nN3\n");
    const CifDataBlock& block = **cif->block_begin();
    const CifLoopRows rows(block, **block.begin_loops());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_FALSE(rows.empty());
    EXPECT_EQ(rows.columns().size(), 2u);
    Names labels;
    for (const CifLoopRows::Row row : rows) {
        EXPECT_EQ(row.size(), 2u);
        labels.emplace_back(row[0]);
        EXPECT_EQ(row.value("_ATOM_SITE_LABEL"), row[0]);
    }
    EXPECT_EQ(labels, (Names{"C1", "O2", "N3"}));
    EXPECT_EQ(rows[1].value("_atom_site_fract_x"), "0.2");
    EXPECT_EQ(rows[1].index(), 1u);
    EXPECT_EQ(rows[2][1].data(), nullptr);  // the column is one value short
    EXPECT_EQ(rows[0].value("_no_such_column").data(), nullptr);
    EXPECT_EQ(std::distance(rows.begin(), rows.end()), 3);
    // A column the block lacks is empty, and the rows follow the values, not the columns.
    CifLoop loop;
    loop.add_column("_atom_site_fract_x");
    loop.add_column("_missing");
    block.find("_atom_site_fract_x")->add_value("0.3");
    const CifLoopRows grown(block, loop);
    EXPECT_EQ(grown.size(), 3u);
    EXPECT_EQ(grown[2][0], "0.3");
    EXPECT_EQ(grown[0][1].data(), nullptr);
    EXPECT_TRUE(CifLoopRows(block, CifLoop()).empty());
}
