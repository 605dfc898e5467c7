#include "cif/StringFunctionsLibCif.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "model/CifCharacters.h"

namespace {

using cif::detail::is_digit;
using cif::detail::is_white;

const char* skip_digits(const char* p) {
    while (is_digit(*p))
        ++p;
    return p;
}

bool only_white(const char* p) {
    while (is_white(*p))
        ++p;
    return *p == '\0';
}

// Mantissa: digits with at most one point anywhere among them, at least one digit.
const char* read_mantissa(const char* p) {
    const char* start = p;
    p = skip_digits(p);
    bool has_digits = p != start;
    if (*p == '.') {
        const char* fraction = ++p;
        p = skip_digits(p);
        has_digits = has_digits || p != fraction;
    }
    return has_digits ? p : nullptr;
}

// Exponent letter, optional sign, at least one digit; returns p unchanged when no letter.
const char* read_exponent(const char* p) {
    if ((*p | 0x20) != 'e' && (*p | 0x20) != 'd') return p;
    ++p;
    if (*p == '+' || *p == '-') ++p;
    const char* digits = p;
    p = skip_digits(p);
    return p == digits ? nullptr : p;
}

// "(digits)"; returns p unchanged when there is no parenthesis.
const char* read_uncertainty(const char* p) {
    if (*p != '(') return p;
    const char* digits = ++p;
    p = skip_digits(p);
    if (p == digits || *p != ')') return nullptr;
    return p + 1;
}

CifDataItem::Validated markup_error_for_char(char c) {
    if (c == '~') return CifDataItem::BadSubscriptMarkup;
    if (c == '^') return CifDataItem::BadSuperscriptMarkup;
    return CifDataItem::Valid;
}

// The marks '~' and '^' that a backslash does not escape must pair up in order: each one
// opened is closed by the next, of the same kind.
CifDataItem::Validated check_markup_pairs(const std::string& text) {
    char open = '\0';
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '~' || text[i + 1] == '^')) {
            ++i;  // escaped
        } else if (c == '~' || c == '^') {
            if (open == '\0') {
                open = c;
            } else if (open == c) {
                open = '\0';
            } else {
                return markup_error_for_char(open);
            }
        }
    }
    return open == '\0' ? CifDataItem::Valid : markup_error_for_char(open);
}

}  // namespace

bool is_first_non_white_char(const char* text, char c) {
    for (; *text != '\0'; ++text) {
        if (*text == c) return true;
        if (!is_white(*text)) return false;
    }
    return false;
}

bool is_blank_line(const char* text) {
    return only_white(text);
}

bool is_cif_number(const char* text) {
    if (text == nullptr) return false;
    const char* p = text;
    if (*p == '+' || *p == '-') ++p;
    p = read_mantissa(p);
    if (p == nullptr) return false;
    if (only_white(p)) return true;
    p = read_exponent(p);
    if (p == nullptr) return false;
    p = read_uncertainty(p);
    return p != nullptr && only_white(p);
}

bool is_bad_nonprinting_char(unsigned char c) {
    return (c < 32 || c == 127) && c != '\t' && c != '\n' && c != '\r';
}

bool is_bad_printing_char(unsigned char c) {
    return c >= 128;
}

CifDataItem::Validated check_super_subscript_markup(const std::string& text) {
    // Most values carry no markup at all; they need no search.
    return cif::detail::has_markup_character(text) ? check_markup_pairs(text) : CifDataItem::Valid;
}

namespace {

// As is_blank_line decides for a line's text: white space up to its end or a NUL.
bool blank(std::string_view line) {
    for (char c : line) {
        if (c == '\0') return true;
        if (!is_white(c)) return false;
    }
    return true;
}

std::size_t leading_white(std::string_view line) {
    std::size_t white = 0;
    while (white < line.size() && is_white(line[white]))
        ++white;
    return white;
}

}  // namespace

// Views into the text, no copies: dictionaries pass every attribute value through here.
std::string left_justify_text_block(const std::string& text) {
    if (text.find('\n') == std::string::npos) {
        return blank(text) ? std::string() : text.substr(leading_white(text));
    }
    std::vector<std::string_view> lines;
    for (std::string_view rest(text); !rest.empty();) {
        const std::size_t end = rest.find('\n');
        lines.push_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    const auto first = std::find_if_not(lines.begin(), lines.end(), blank);
    const auto last = std::find_if_not(lines.rbegin(), std::make_reverse_iterator(first), blank);
    std::size_t indentation = 2147483647;
    for (auto line = first; line != last.base(); ++line)
        indentation = std::min(indentation, leading_white(*line));
    std::string result;
    result.reserve(text.size());
    for (auto line = first; line != last.base(); ++line) {
        if (line != first) result += '\n';
        if (line->size() > indentation) result.append(line->substr(indentation));
    }
    return result;
}
