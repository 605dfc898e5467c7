#include "host/Date.h"

#include <stdexcept>
#include <string>

namespace {

bool is_leap_year(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap_year(year) ? 29 : days[month - 1];
}

}  // namespace

Date::Date(int year, int month, int day) : year_(year), month_(month), day_(day) {
    if (month < 1 || month > 12 || day < 1 || day > days_in_month(year, month)) {
        throw std::invalid_argument("Invalid date " + std::to_string(year) + "-" +
                                    std::to_string(month) + "-" + std::to_string(day));
    }
}
