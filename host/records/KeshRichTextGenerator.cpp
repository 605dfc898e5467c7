#include "host/KeshRichTextGenerator.h"

namespace {

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

const char* tag_of(TextRun::Position position) {
    return position == TextRun::Subscript ? "sub" : "sup";
}

}  // namespace

void KeshRichTextGenerator::open_span(TextRun::Position position, std::string& out) const {
    out += std::string("<") + tag_of(position) + ">";
}

void KeshRichTextGenerator::close_span(TextRun::Position position, std::string& out) const {
    out += std::string("</") + tag_of(position) + ">";
}

void KeshRichTextGenerator::write_run(const TextRun& run, std::string& out) const {
    switch (run.kind) {
        case TextRun::Text:
            out += escaped(run.text);
            break;
        case TextRun::Greek:
            out += "<g>" + escaped(run.text) + "</g>";
            break;
        case TextRun::Code:
            out += "<c>" + escaped(run.text) + "</c>";
            break;
    }
}
