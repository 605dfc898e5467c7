// Text utilities of the host platform: trimming, cutting, number conversion and
// case-insensitive comparison of ASCII text.
#pragma once

#include <string>
#include <string_view>

#include "host/HostApi.h"

/// The text without the listed characters at its two ends (inner ones are kept).
HOST_API std::string strip(const std::string& text, const std::string& characters = " \t\r\n");

/// The text after the first occurrence of the character; the whole text when it has none.
/// So left_cut("data_ORB12", '_') is "ORB12".
HOST_API std::string left_cut(const std::string& text, char character);

/// The text with every character that is one of the listed characters replaced.
HOST_API std::string substitute(const std::string& text, const std::string& characters,
                                char replacement);

/// The first `length` characters of the text (all of it when shorter). Pass a std::string:
/// with a string literal, POSIX truncate() of <unistd.h> would be the better match.
HOST_API std::string truncate(const std::string& text, std::size_t length);

/// Decimal integer at the start of the text (leading white space skipped); 0 when there is
/// none. `ok`, when given, tells whether the whole text, less surrounding white space, was
/// one integer in range.
HOST_API int string_to_int(const std::string& text, bool* ok = nullptr);
HOST_API int string_to_int(const std::string& text, bool& ok);

/// Floating-point number at the start of the text (decimal or exponent form, any locale); 0.0
/// when there is none. `ok` as for string_to_int, so "1.25(3)" gives 1.25 and ok false.
HOST_API double string_to_double(const std::string& text, bool* ok = nullptr);
HOST_API double string_to_double(const std::string& text, bool& ok);

/// True when the keyword occurs in the text, ignoring ASCII letter case.
HOST_API bool contains_case_insensitive(const std::string& text, const std::string& keyword);

// The comparisons below are inline: ordered containers of data names call them at every
// step of a lookup.
namespace cif::detail {
inline unsigned char ascii_lower(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + 32) : u;
}
}  // namespace cif::detail

struct CaseInsensitiveCharacterEquality {
    bool operator()(char a, char b) const {
        return cif::detail::ascii_lower(a) == cif::detail::ascii_lower(b);
    }
};

/// Strict weak ordering of texts by their ASCII-lower-cased bytes. Views are compared, so
/// containers keyed by views of names use it as well as those keyed by strings.
struct CaseInsensitiveStringLess {
    bool operator()(std::string_view a, std::string_view b) const {
        std::size_t n = a.size() < b.size() ? a.size() : b.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (a[i] == b[i]) continue;
            unsigned char x = cif::detail::ascii_lower(a[i]);
            unsigned char y = cif::detail::ascii_lower(b[i]);
            if (x != y) return x < y;
        }
        return a.size() < b.size();
    }
};

/// Equality ignoring ASCII letter case; bind the searched text to use it as a predicate.
struct CaseInsensitiveStringEquality {
    CaseInsensitiveStringEquality() = default;
    explicit CaseInsensitiveStringEquality(std::string bound) : bound_(std::move(bound)) {}
    bool operator()(std::string_view a, std::string_view b) const {
        if (a.size() != b.size()) return false;
        if (a == b) return true;  // names are nearly always spelled alike
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (cif::detail::ascii_lower(a[i]) != cif::detail::ascii_lower(b[i])) {
                return false;
            }
        }
        return true;
    }
    bool operator()(std::string_view a) const { return (*this)(a, bound_); }

  private:
    std::string bound_;
};
