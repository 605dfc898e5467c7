// The host layer: handles, text utilities, regular expressions and the log.
#include <gtest/gtest.h>

#include <list>
#include <set>
#include <stdexcept>
#include <vector>

#include "host/Regex.h"
#include "host/THandle.h"
#include "host/TextUtilities.h"
#include "host/VexorLog.h"

namespace {

struct Base {
    explicit Base(int* deaths) : deaths_(deaths) {}
    virtual ~Base() { ++*deaths_; }
    int* deaths_;
};
struct Derived : Base {
    Derived(int* deaths, int* derived_deaths) : Base(deaths), derived_(derived_deaths) {}
    ~Derived() override { ++*derived_; }
    int* derived_;
};
struct Refuses : Base {
    explicit Refuses(int* deaths) : Base(deaths) { throw std::runtime_error("refused"); }
};

// A derived handle converts to a base handle sharing its count; the last handle, a base
// one, ends the derived object once, through its virtual destructor, whether the object
// stands alone, shares a heap block with its count, or sits in an arena block.
TEST(THandle, DerivedToBaseSharesOneCount) {
    enum Made { Separately, Jointly, InArena };
    for (Made made : {Separately, Jointly, InArena}) {
        int deaths = 0;
        int derived_deaths = 0;
        cif::detail::HandleArena* arena = cif::detail::HandleArena::create();
        {
            THandle<Base> base;
            {
                THandle<Derived> derived =
                    made == InArena   ? make_arena_handle<Derived>(arena, &deaths, &derived_deaths)
                    : made == Jointly ? make_handle<Derived>(&deaths, &derived_deaths)
                                      : THandle<Derived>(new Derived(&deaths, &derived_deaths));
                arena->let_go();  // the handle keeps the arena's block, and so the arena
                base = derived;
                base = *&base;
                EXPECT_EQ(derived.count(), 2);
                EXPECT_TRUE(base == derived.get());
            }
            EXPECT_EQ(base.count(), 1);
            EXPECT_EQ(derived_deaths, 0);
            THandle<Base> moved(std::move(base));
            EXPECT_TRUE(base.is_null());
        }
        EXPECT_EQ(derived_deaths, 1);
        EXPECT_EQ(deaths, 1);
    }
    THandle<Base> empty;
    EXPECT_THROW(empty->deaths_, NullHandleError);
    EXPECT_THROW(*empty, NullHandleError);
    int deaths = 0;
    EXPECT_THROW(make_handle<Refuses>(&deaths), std::runtime_error);
    EXPECT_EQ(deaths, 1);
    cif::detail::HandleArena* arena = cif::detail::HandleArena::create();
    EXPECT_THROW(make_arena_handle<Refuses>(arena, &deaths), std::runtime_error);
    EXPECT_EQ(deaths, 2);
    arena->let_go();  // nothing left in it: a sanitizer run sees it freed
}

// An arena gives blocks from slabs it can be found from, takes them back for reuse by size,
// and lives while a holder or a block does. Lists over it (a block's write order) keep
// their nodes there.
TEST(HandleArena, BlocksAreFoundReusedAndOutliveTheirHolder) {
    using cif::detail::HandleArena;
    HandleArena* arena = HandleArena::create();
    std::vector<void*> blocks;
    for (int i = 0; i < 3000; ++i)  // 72 bytes each: several slabs
        blocks.push_back(arena->allocate(72));
    for (void* block : blocks)
        EXPECT_EQ(&HandleArena::of(block), arena);
    std::set<void*> distinct(blocks.begin(), blocks.end());
    EXPECT_EQ(distinct.size(), blocks.size());
    arena->deallocate(blocks[10], 72);
    arena->deallocate(blocks[20], 72);
    const std::set<void*> reused{arena->allocate(70), arena->allocate(72)};  // one size class
    EXPECT_EQ(reused, (std::set<void*>{blocks[10], blocks[20]}));
    void* other_size = arena->allocate(24);
    EXPECT_EQ(distinct.count(other_size), 0u);
    arena->deallocate(other_size, 24);
    arena->let_go();  // the blocks still out keep it
    for (void* block : blocks)
        arena->deallocate(block, 72);

    HandleArena* for_list = HandleArena::create();
    std::list<int, cif::detail::ArenaAllocator<int>> numbers{
        cif::detail::ArenaAllocator<int>(for_list)};
    for_list->let_go();  // the list's allocator holds it now
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 1000; ++i)
            numbers.push_back(i);
        for (auto n = numbers.begin(); n != numbers.end();)
            n = *n % 2 ? numbers.erase(n) : std::next(n);
    }
    EXPECT_EQ(numbers.size(), 1500u);
    EXPECT_EQ(&HandleArena::of(&numbers.front()), numbers.get_allocator().arena());
    std::list<int, cif::detail::ArenaAllocator<int>> plain;  // no arena: the heap
    plain.assign(numbers.begin(), numbers.end());
    EXPECT_EQ(plain, numbers);
}

TEST(TextUtilities, Conversions) {
    EXPECT_EQ(strip("  \tx y \t", " \t"), "x y");
    EXPECT_EQ(left_cut("data_ORB_12", '_'), "ORB_12");
    EXPECT_EQ(left_cut("plain", '_'), "plain");
    EXPECT_EQ(substitute("a b\tc", " \t", '_'), "a_b_c");
    EXPECT_EQ(truncate(std::string("abcdef"), 3), "abc");
    const std::vector<std::tuple<const char*, int, bool>> ints = {
        {" 42 ", 42, true}, {"+7", 7, true},   {"-3", -3, true},         {"1999a", 1999, false},
        {"?", 0, false},    {"+-3", 0, false}, {"99999999999", 0, false}};
    for (const auto& [text, value, whole] : ints) {
        bool ok = !whole;
        EXPECT_EQ(string_to_int(text, ok), value) << text;
        EXPECT_EQ(ok, whole) << text;
    }
    bool ok = true;
    EXPECT_DOUBLE_EQ(string_to_double("5.4321(12)", ok), 5.4321);
    EXPECT_FALSE(ok);
    EXPECT_DOUBLE_EQ(string_to_double("+.5"), 0.5);
}

TEST(TextUtilities, CaseInsensitiveComparisons) {
    EXPECT_TRUE(contains_case_insensitive("Journal of Crystal Growth", "CRYSTAL"));
    EXPECT_FALSE(contains_case_insensitive("Journal", "crystals"));
    EXPECT_TRUE(CaseInsensitiveStringEquality()("_Cell_Length_A", "_cell_length_a"));
    EXPECT_FALSE(CaseInsensitiveStringEquality()("_cell", "_cells"));
    std::set<std::string, CaseInsensitiveStringLess> set = {"_b", "_A", "_a_x", "_B2", "_a"};
    EXPECT_EQ(std::vector<std::string>(set.begin(), set.end()),
              (std::vector<std::string>{"_A", "_a_x", "_b", "_B2"}));
    EXPECT_TRUE(CaseInsensitiveStringLess()("_CELL", "_cell_"));
}

TEST(Regex, SearchAndReplace) {
    Regex pattern("\\\\?[~^] # optional backslash then a markup character", Regex::Extended);
    RegexResults found = pattern.search("ab\\~c");
    EXPECT_EQ(found.match(0), "\\~");
    EXPECT_EQ(found.position(), 2u);
    EXPECT_FALSE(Regex("p 21/c", Regex::Caseless).search("P 21/C").empty_match());
    EXPECT_THROW(Regex("(unclosed"), RegexError);
    EXPECT_EQ(regex_replace(Regex("\\s"), "a b c", "_", ReplaceFirstOnly), "a_b c");
    EXPECT_EQ(regex_replace(Regex("(\\d+)"), "x12y3", "[$1]"), "x[12]y[3]");
}

TEST(VexorLog, LinesOfEachKindAndDebugLevels) {
    std::ostringstream out;
    VexorLog::set_stream(&out);
    VexorLog::start_info_line() << "one";
    VexorLog::end_info_line();
    VexorLog::start_warning_line() << "two";
    VexorLog::end_warning_line();
    VexorLog::start_error_line() << "three";
    VexorLog::end_error_line();
    VexorLog::level_ = 2;
    VexorLog::minimum_level_ = 1;
    for (int level : {3, 0, 2}) {
        VexorLog::start_debug_line(level) << "level " << level;
        VexorLog::end_debug_line();
    }
    VexorLog::set_stream(nullptr);
    VexorLog::level_ = 0;
    VexorLog::minimum_level_ = 0;
    EXPECT_EQ(out.str(), "Info: one\nWarning: two\nError: three\nDebug 2: level 2\n");
}

}  // namespace
