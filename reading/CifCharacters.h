// Character classes of CIF text in the "C" locale, whatever locale the host has set, and
// the case-insensitive comparison of data names.
#pragma once

#include <string_view>

namespace cif_characters {

/// Blank, tab, line feed, vertical tab, form feed, carriage return.
inline bool is_white(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

/// Printable characters other than the blank.
inline bool is_graphic(char c) {
    return c > ' ' && c < 127;
}

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

inline char ascii_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

/// Equality of two texts ignoring ASCII letter case, without copying either.
inline bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;  // names are nearly always spelled alike
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    }
    return true;
}

}  // namespace cif_characters
