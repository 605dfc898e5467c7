#include "host/Copyright.h"

#include <sstream>

namespace {

void append_lines(const std::string& text, std::vector<std::string>& lines) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
}

}  // namespace

void Copyright::commented_text(const std::string& format_name, std::vector<std::string>& lines,
                               const std::string& header, const std::string& footer,
                               const std::string& prefix, const std::string& suffix, int width) {
    append_lines(header, lines);
    const std::string notice =
        "This " + format_name +
        " file was written by the cif library, a C++ library for Crystallographic "
        "Information Files. The library's writers claim no rights in the data: they "
        "belong to those who determined the structures.";
    const std::size_t room = width > static_cast<int>(prefix.size() + suffix.size() + 10)
                                 ? static_cast<std::size_t>(width) - prefix.size() - suffix.size()
                                 : 10;
    std::istringstream words(notice);
    std::string line;
    for (std::string word; words >> word;) {
        if (!line.empty() && line.size() + 1 + word.size() > room) {
            lines.push_back(prefix + line + suffix);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) lines.push_back(prefix + line + suffix);
    append_lines(footer, lines);
}
