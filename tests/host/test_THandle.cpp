#include "host/THandle.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

struct Base {
    explicit Base(int* deaths) : deaths_(deaths) {}
    virtual ~Base() { ++*deaths_; }
    int* deaths_;
};

struct Derived : Base {
    explicit Derived(int* deaths, int* derived_deaths) : Base(deaths), derived_(derived_deaths) {}
    ~Derived() override { ++*derived_; }
    int* derived_;
};

TEST(THandle, CopiesShareOneCountAndTheLastOneDeletes) {
    int deaths = 0;
    {
        THandle<Base> a(new Base(&deaths));
        EXPECT_EQ(a.count(), 1);
        {
            THandle<Base> b = a;
            THandle<Base> c;
            c = b;
            EXPECT_EQ(a.count(), 3);
            EXPECT_EQ(c.get(), a.get());
        }
        EXPECT_EQ(a.count(), 1);
        EXPECT_EQ(deaths, 0);
    }
    EXPECT_EQ(deaths, 1);
}

// A derived handle, made by `make`, converts to a base handle that shares its count; the
// last handle, a base one, ends the derived object through its virtual destructor once.
template <class Make>
void check_derived_dies_once_through_base(Make make) {
    int deaths = 0;
    int derived_deaths = 0;
    {
        THandle<Base> base;
        {
            THandle<Derived> derived = make(&deaths, &derived_deaths);
            EXPECT_EQ(derived.count(), 1);
            base = derived;
            EXPECT_EQ(derived.count(), 2);
            EXPECT_TRUE(base == derived);
        }
        EXPECT_EQ(base.count(), 1);
        EXPECT_EQ(derived_deaths, 0);
    }
    EXPECT_EQ(derived_deaths, 1);
    EXPECT_EQ(deaths, 1);
}

TEST(THandle, DerivedConvertsToBaseSharingTheCountAndDiesThroughTheVirtualDestructor) {
    check_derived_dies_once_through_base([](int* deaths, int* derived_deaths) {
        return THandle<Derived>(new Derived(deaths, derived_deaths));
    });
}

TEST(THandle, MadeInOneAllocationItBehavesAsAHandleFromAPointer) {
    check_derived_dies_once_through_base([](int* deaths, int* derived_deaths) {
        return make_handle<Derived>(deaths, derived_deaths);
    });
}

TEST(THandle, SelfAssignmentAndMoveKeepTheCountRight) {
    int deaths = 0;
    THandle<Base> a(new Base(&deaths));
    THandle<Base>& same = a;
    a = same;
    EXPECT_EQ(a.count(), 1);
    THandle<Base> b(std::move(a));
    EXPECT_TRUE(a.is_null());
    EXPECT_EQ(b.count(), 1);
    b = THandle<Base>();
    EXPECT_EQ(deaths, 1);
}

TEST(THandle, EqualityWithARawPointerComparesTheHeldPointer) {
    int deaths = 0;
    Base* raw = new Base(&deaths);
    THandle<Base> h(raw);
    EXPECT_TRUE(h == raw);
    EXPECT_FALSE(h != raw);
    EXPECT_TRUE(THandle<Base>() == nullptr);
    EXPECT_FALSE(h == nullptr);
}

TEST(THandle, DereferencingAnEmptyHandleThrowsInsteadOfReturning) {
    THandle<Base> empty;
    EXPECT_THROW(empty->deaths_, NullHandleError);
    EXPECT_THROW(*empty, NullHandleError);
    EXPECT_THROW(THandleCommon::null_handle_error(), NullHandleError);
}

struct Refuses : Base {
    explicit Refuses(int* deaths) : Base(deaths) { throw std::runtime_error("refused"); }
};

TEST(THandle, AConstructorThatThrowsLeavesNoHandleAndNoMemoryBehind) {
    int deaths = 0;
    EXPECT_THROW(make_handle<Refuses>(&deaths), std::runtime_error);
    EXPECT_EQ(deaths, 1);  // the base part was built, so it was ended
}

}  // namespace
