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

std::string KeshRichTextGenerator::generate(const std::vector<TextRun>& runs) {
    std::string out;
    TextRun::Position open = TextRun::Normal;
    for (const TextRun& run : runs) {
        if (open != TextRun::Normal && (run.position != open || run.opens_span)) {
            out += std::string("</") + tag_of(open) + ">";
            open = TextRun::Normal;
        }
        if (run.position != TextRun::Normal && open == TextRun::Normal) {
            open = run.position;
            out += std::string("<") + tag_of(open) + ">";
        }
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
    if (open != TextRun::Normal) out += std::string("</") + tag_of(open) + ">";
    text_ = out;
    return out;
}
