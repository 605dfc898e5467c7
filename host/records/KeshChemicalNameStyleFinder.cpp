#include "host/KeshChemicalNameStyleFinder.h"

#include "host/records/TextRunBuilder.h"

namespace {

bool starts_with(const std::string& text, std::size_t i, const char* prefix) {
    return text.compare(i, std::char_traits<char>::length(prefix), prefix) == 0;
}

// The character an entity stands for, and its length; 0 for text that is no entity.
char entity_at(const std::string& text, std::size_t i, std::size_t& length) {
    static const struct {
        const char* name;
        char character;
    } entities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}};
    for (const auto& entity : entities) {
        if (starts_with(text, i, entity.name)) {
            length = std::char_traits<char>::length(entity.name);
            return entity.character;
        }
    }
    return 0;
}

std::string unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        if (const char c = entity_at(text, i, length)) {
            out += c;
            i += length;
        } else {
            out += text[i++];
        }
    }
    return out;
}

// A <g>...</g> or <c>...</c> element at i: its content, and where it ends; false when there
// is none.
bool element_at(const std::string& text, std::size_t i, char tag, std::string& content,
                std::size_t& end) {
    const std::string open = std::string("<") + tag + ">";
    const std::string close = std::string("</") + tag + ">";
    if (!starts_with(text, i, open.c_str())) return false;
    const std::size_t closing = text.find(close, i + open.size());
    if (closing == std::string::npos) return false;
    content = unescaped(text.substr(i + open.size(), closing - i - open.size()));
    end = closing + close.size();
    return true;
}

}  // namespace

std::vector<TextRun> KeshChemicalNameStyleFinder::find_runs(const std::string& text) const {
    cif::detail::TextRunBuilder runs;
    for (std::size_t i = 0; i < text.size();) {
        std::string content;
        std::size_t end = 0;
        std::size_t length = 0;
        if (element_at(text, i, 'g', content, end)) {
            runs.add(TextRun::Greek, content);
            i = end;
        } else if (element_at(text, i, 'c', content, end)) {
            runs.add(TextRun::Code, content);
            i = end;
        } else if (runs.position() == TextRun::Normal && starts_with(text, i, "<sub>")) {
            runs.move_to(TextRun::Subscript);
            i += 5;
        } else if (runs.position() == TextRun::Normal && starts_with(text, i, "<sup>")) {
            runs.move_to(TextRun::Superscript);
            i += 5;
        } else if ((runs.position() == TextRun::Subscript && starts_with(text, i, "</sub>")) ||
                   (runs.position() == TextRun::Superscript && starts_with(text, i, "</sup>"))) {
            runs.move_to(TextRun::Normal);
            i += 6;
        } else if (const char c = entity_at(text, i, length)) {
            runs.add_text(std::string(1, c));
            i += length;
        } else {
            runs.add_text(std::string(1, text[i++]));
        }
    }
    return runs.take();
}
