// Range: an interval of numbers compared with a tolerance, each limit inclusive, exclusive or
// absent.
#pragma once

#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

#include "host/HostApi.h"

/// True when a < b - tolerance: a is less than b by more than the tolerance.
inline bool less_than(double a, double b, double tolerance) {
    return a < b - tolerance;
}

/// A tolerance and the comparison that applies it.
struct DoubleComparator {
    double tolerance = 0.0;
    bool (*compare)(double, double, double) = &less_than;

    bool operator()(double a, double b) const { return compare(a, b, tolerance); }
};

/// One end of a range.
struct RangeLimit {
    enum LimitCondition { NoLimit = 0, Inclusive = 1, Exclusive = 2 };

    double value = 0.0;
    LimitCondition condition = NoLimit;

    /// Throws std::invalid_argument for anything but the three conditions.
    static void validate_condition(int condition) {
        if (condition < NoLimit || condition > Exclusive) {
            throw std::invalid_argument("Invalid range limit condition " +
                                        std::to_string(condition));
        }
    }
};

template <class T, class Comparator>
class Range {
    static_assert(std::is_same<T, double>::value, "range limits hold doubles");

  public:
    /// A range without limits.
    explicit Range(Comparator comparator) : comparator_(comparator) {}

    /// Both limits inclusive; swapped when hi is less than lo.
    static Range inclusive(T lo, T hi, Comparator comparator) {
        RangeLimit::validate_condition(RangeLimit::Inclusive);
        Range range(comparator);
        if (range.less(hi, lo)) std::swap(lo, hi);
        range.minimum_ = RangeLimit{lo, RangeLimit::Inclusive};
        range.maximum_ = RangeLimit{hi, RangeLimit::Inclusive};
        return range;
    }

    const RangeLimit& minimum() const { return minimum_; }
    const RangeLimit& maximum() const { return maximum_; }

    bool less(T a, T b) const { return comparator_(a, b); }
    bool equal(T a, T b) const { return !less(a, b) && !less(b, a); }

    bool above_minimum(T x) const {
        return minimum_.condition == RangeLimit::Inclusive ? !less(x, minimum_.value)
                                                           : less(minimum_.value, x);
    }
    bool below_maximum(T x) const {
        return maximum_.condition == RangeLimit::Inclusive ? !less(maximum_.value, x)
                                                           : less(x, maximum_.value);
    }
    bool is_null() const {
        return minimum_.condition == RangeLimit::Exclusive &&
               maximum_.condition == RangeLimit::Exclusive && equal(minimum_.value, maximum_.value);
    }
    bool contains(T x) const {
        const bool lower = minimum_.condition != RangeLimit::NoLimit;
        const bool upper = maximum_.condition != RangeLimit::NoLimit;
        if (lower && upper) return !is_null() && above_minimum(x) && below_maximum(x);
        if (lower) return above_minimum(x);
        if (upper) return below_maximum(x);
        return true;
    }
    bool overlaps(const Range& other) const {
        if (is_null() || other.is_null()) return false;
        if (minimum_.condition == RangeLimit::NoLimit &&
            maximum_.condition == RangeLimit::NoLimit) {
            return true;
        }
        const T lo = minimum_.value;
        const T hi = maximum_.value;
        const bool touching =
            other.contains(lo) || other.contains(hi) || contains(other.minimum_.value) ||
            contains(other.maximum_.value) ||
            (other.minimum_.condition != RangeLimit::NoLimit && equal(other.minimum_.value, lo)) ||
            (other.maximum_.condition != RangeLimit::NoLimit && equal(other.maximum_.value, hi));
        if (!touching) return false;
        const bool open_below = minimum_.condition == RangeLimit::Exclusive ||
                                other.maximum_.condition == RangeLimit::Exclusive;
        const bool open_above = maximum_.condition == RangeLimit::Exclusive ||
                                other.minimum_.condition == RangeLimit::Exclusive;
        return !(open_below && equal(lo, other.maximum_.value)) &&
               !(open_above && equal(hi, other.minimum_.value));
    }

  private:
    RangeLimit minimum_;
    RangeLimit maximum_;
    Comparator comparator_;
};
