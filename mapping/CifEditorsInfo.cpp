#include "cif/CifEditorsInfo.h"

#include <cstdio>
#include <stdexcept>

#include "host/Regex.h"
#include "host/TextUtilities.h"

namespace {

const std::string creation_date_name = "_audit_creation_date";

// A year of four or two digits, a month and a day of one or two, each pair separated by a
// hyphen or white space, anywhere in the text.
const Regex date_pattern(R"(
    ( (\d\d)?\d\d )   # year: 1, the inner part 2
    [-\s]
    ( \d\d? )         # month: 3
    [-\s]
    ( \d\d? )         # day: 4
)",
                         8);

// Files of the 1990s wrote two-digit years; CIF began in 1991, so 50 to 99 are 1950 to 1999
// and 00 to 49 are 2000 to 2049.
int full_year(const std::string& digits) {
    const int year = string_to_int(digits);
    if (digits.size() > 2) return year;
    return year >= 50 ? 1900 + year : 2000 + year;
}

Date parse_date(const std::string& text) {
    const RegexResults found = date_pattern.search(text);
    if (found.empty_match()) return Date();
    try {
        return Date(full_year(found.match(1)), string_to_int(found.match(3)),
                    string_to_int(found.match(4)));
    } catch (const std::exception&) {
        return Date();
    }
}

std::string format_date(const Date& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year(), date.month(), date.day());
    return text;
}

}  // namespace

THandle<EditorsInfo> CifEditorsInfo::read(THandle<CifDataBlock> block) {
    return make_handle<EditorsInfo>(parse_date(block->value(creation_date_name)), Date());
}

void CifEditorsInfo::write(THandle<CifDataBlock> block, const EditorsInfo& info) {
    if (info.created() != Date()) block->set_value(creation_date_name, format_date(info.created()));
}
