#include "host/CifChemicalNameStyleFinder.h"

#include <cstring>

#include "host/records/TextRunBuilder.h"

namespace {

bool is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The Latin letters CIF uses for Greek ones; j and v stand for none.
bool is_greek(char c) {
    return is_letter(c) && (c | 0x20) != 'j' && (c | 0x20) != 'v';
}

// Accents and special letters are a mark and the letter it goes with ("\'e", "\%a").
const char* const two_character_codes = "'`^\"~;>=.(),%?/&";

// The backslash code starting at i, and where it ends.
std::size_t code_end(const std::string& text, std::size_t i) {
    std::size_t end = i + 1;
    if (end == text.size()) return end;
    const char c = text[end];
    if (c == '\\') {  // a word: \\db, \\times
        ++end;
        while (end < text.size() && is_letter(text[end]))
            ++end;
        return end;
    }
    if (is_letter(c)) return end + 1;
    if (std::strchr(two_character_codes, c) != nullptr) return std::min(end + 2, text.size());
    return end;
}

// Whether a span opened by the mark at i closes later, around at least one character.
bool closes(const std::string& text, std::size_t i) {
    const char mark = text[i];
    if (i + 1 < text.size() && text[i + 1] == mark) return false;
    for (std::size_t j = i + 1; j < text.size(); ++j) {
        if (text[j] == '\\') {
            j = code_end(text, j) - 1;
        } else if (text[j] == mark) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<TextRun> CifChemicalNameStyleFinder::find_runs(const std::string& text) const {
    cif::detail::TextRunBuilder runs;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\\') {
            const std::size_t end = code_end(text, i);
            if (end == i + 2 && is_greek(text[i + 1])) {
                runs.add(TextRun::Greek, text.substr(i + 1, 1));
            } else {
                runs.add(TextRun::Code, text.substr(i, end - i));
            }
            i = end;
            continue;
        }
        const TextRun::Position span = c == '~'   ? TextRun::Subscript
                                       : c == '^' ? TextRun::Superscript
                                                  : TextRun::Normal;
        if (span != TextRun::Normal && runs.position() == span) {
            runs.move_to(TextRun::Normal);
        } else if (span != TextRun::Normal && runs.position() == TextRun::Normal &&
                   closes(text, i)) {
            runs.move_to(span);
        } else {
            runs.add_text(std::string(1, c));
        }
        ++i;
    }
    return runs.take();
}
