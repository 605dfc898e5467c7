// Date: a calendar date (year, month, day), validated, or the empty date.
#pragma once

#include "host/HostApi.h"

class HOST_API Date {
  public:
    /// The empty date: no year, month or day.
    Date() = default;
    /// Throws std::invalid_argument unless the month is 1 to 12 and the day exists in that
    /// month of that year (29 February only in leap years). Any year is accepted.
    Date(int year, int month, int day);

    bool empty() const { return month_ == 0; }
    int year() const { return year_; }
    int month() const { return month_; }
    int day() const { return day_; }

    bool operator==(const Date& other) const {
        return year_ == other.year_ && month_ == other.month_ && day_ == other.day_;
    }
    bool operator!=(const Date& other) const { return !(*this == other); }

  private:
    int year_ = 0;
    int month_ = 0;
    int day_ = 0;
};
