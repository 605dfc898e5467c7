// Random sequences of block operations, checking the block invariants after every step,
// and that every refused operation leaves both blocks as they were.
#include <gtest/gtest.h>

#include <random>

#include "BlockInvariants.h"
#include "cif/CifConcreteDictionary.h"
#include "cif/CifErrorException.h"

namespace {

using Names = std::vector<std::string>;

class RandomOperations {
    std::mt19937 random_;
    THandle<CifDictionary> dictionary_;

  public:
    explicit RandomOperations(unsigned seed)
        : random_(seed),
          dictionary_(new CifConcreteDictionary),
          a_(dictionary_, "data_a", 1),
          b_(dictionary_, "data_b", 2) {}

    // Runs one random operation on a random block and returns its description.
    std::string step() {
        CifDataBlock& target = pick(2) == 0 ? a_ : b_;
        CifDataBlock& other = &target == &a_ ? b_ : a_;
        const std::string name = any_name();
        const auto mode = static_cast<CifDataBlock::OverwriteMode>(pick(2));
        switch (pick(13)) {
            case 0:
                target.obtain(name);
                return "obtain " + name;
            case 1:
                target.set_value(name, any_value());
                return "set_value " + name;
            case 2: {
                THandle<CifDataItem> item = target.find(name);
                if (item && item->is_looped()) item->add_value(any_value());
                return "add_value " + name;
            }
            case 3:
                target.remove(name);
                return "remove " + name;
            case 4: {
                Names names = some_names();
                target.create_loop(names);
                return "create_loop " + joined(names);
            }
            case 5: {
                Names names = some_names();
                int ordering = pick(5);  // 4 is not a mode
                target.set_write_order(names, static_cast<CifDataBlock::OrderingMode>(ordering));
                return "set_write_order " + joined(names) + " mode " + std::to_string(ordering);
            }
            case 6:
                target.copy(name, other, mode);
                return "copy " + name;
            case 7:
                target.move(name, other, mode);
                return "move " + name;
            case 8:
                target.merge(other, mode);
                return "merge";
            case 9: {
                Names names = some_names();
                target.copy_loop(names, other, mode);
                return "copy_loop " + joined(names);
            }
            case 10: {
                Names names = some_names();
                THandle<CifLoop> loop(new CifLoop);
                for (const std::string& n : names)
                    loop->add_column(n);
                target.add_loop(loop);
                return "add_loop " + joined(names);
            }
            case 11:
                target.copy(other);
                return "copy whole block";
            default: {
                THandle<CifDataItem> item = target.find(name);
                if (item) item->set_value(pick(3), any_value());
                return "set_value row of " + name;
            }
        }
    }

    CifDataBlock a_;
    CifDataBlock b_;

  private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    std::string any_name() {
        static const Names pool = {"_a", "_A", "_b", "_c", "_C", "_d", "_e", "_f"};
        return pool[pick(static_cast<int>(pool.size()))];
    }
    std::string any_value() {
        static const Names pool = {"1", "?", ".", "x y", "2.5(3)"};
        return pool[pick(static_cast<int>(pool.size()))];
    }
    Names some_names() {
        Names names(static_cast<std::size_t>(pick(4)));
        for (std::string& n : names)
            n = any_name();
        return names;
    }
    static std::string joined(const Names& names) {
        std::string text;
        for (const std::string& n : names)
            text += n + " ";
        return text;
    }
};

TEST(DataBlockProperties, InvariantsHoldAfterEveryOperation) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        RandomOperations run(seed);
        std::string history;
        for (int i = 0; i < 150; ++i) {
            const std::string before = describe(run.a_) + " | " + describe(run.b_);
            std::string operation;
            try {
                operation = run.step();
            } catch (const CifErrorException& e) {
                operation = std::string("refused: ") + e.what();
                ASSERT_EQ(describe(run.a_) + " | " + describe(run.b_), before)
                    << "a refused operation changed a block, seed " << seed << '\n'
                    << history;
            }
            history += operation + "\n";
            ASSERT_TRUE(block_invariants_hold(run.a_)) << "seed " << seed << '\n' << history;
            ASSERT_TRUE(block_invariants_hold(run.b_)) << "seed " << seed << '\n' << history;
        }
    }
}

}  // namespace
