// Character classes of CIF text in the "C" locale, whatever locale the host has set.
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

}  // namespace cif_characters
