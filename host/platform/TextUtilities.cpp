#include "host/TextUtilities.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

bool is_white(char c) {
    return std::strchr(" \t\n\v\f\r", c) != nullptr && c != '\0';
}

bool only_white(const char* p, const char* end) {
    return std::all_of(p, end, is_white);
}

// Reads the number at the start of the text with std::from_chars, which does not depend on
// the global locale; white space and one '+' may precede it.
template <class Number>
Number convert_number(const std::string& text, bool* ok) {
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p != end && is_white(*p))
        ++p;
    if (p != end && *p == '+' && p + 1 != end && *(p + 1) != '-' && *(p + 1) != '+') ++p;
    Number value{};
    std::from_chars_result result = std::from_chars(p, end, value);
    bool parsed = result.ec == std::errc();
    if (ok != nullptr) *ok = parsed && only_white(result.ptr, end);
    return parsed ? value : Number{};
}

}  // namespace

std::string strip(const std::string& text, const std::string& characters) {
    std::size_t first = text.find_first_not_of(characters);
    if (first == std::string::npos) return std::string();
    std::size_t last = text.find_last_not_of(characters);
    return text.substr(first, last - first + 1);
}

std::string left_cut(const std::string& text, char character) {
    std::size_t at = text.find(character);
    return at == std::string::npos ? text : text.substr(at + 1);
}

std::string substitute(const std::string& text, const std::string& characters, char replacement) {
    std::string result = text;
    for (char& c : result) {
        if (characters.find(c) != std::string::npos) c = replacement;
    }
    return result;
}

std::string truncate(const std::string& text, std::size_t length) {
    return text.substr(0, length);
}

int string_to_int(const std::string& text, bool* ok) {
    return convert_number<int>(text, ok);
}

int string_to_int(const std::string& text, bool& ok) {
    return string_to_int(text, &ok);
}

double string_to_double(const std::string& text, bool* ok) {
    return convert_number<double>(text, ok);
}

double string_to_double(const std::string& text, bool& ok) {
    return string_to_double(text, &ok);
}

bool contains_case_insensitive(const std::string& text, const std::string& keyword) {
    return std::search(text.begin(), text.end(), keyword.begin(), keyword.end(),
                       CaseInsensitiveCharacterEquality()) != text.end();
}
