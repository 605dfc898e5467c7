#include "host/CifRichTextGenerator.h"

namespace {

char mark_of(TextRun::Position position) {
    return position == TextRun::Subscript ? '~' : '^';
}

}  // namespace

std::string CifRichTextGenerator::generate(const std::vector<TextRun>& runs) {
    std::string out;
    TextRun::Position open = TextRun::Normal;
    for (const TextRun& run : runs) {
        if (open != TextRun::Normal && (run.position != open || run.opens_span)) {
            out += mark_of(open);
            open = TextRun::Normal;
        }
        if (run.position != TextRun::Normal && open == TextRun::Normal) {
            open = run.position;
            out += mark_of(open);
        }
        if (run.kind == TextRun::Greek) out += '\\';
        out += run.text;
    }
    if (open != TextRun::Normal) out += mark_of(open);
    text_ = out;
    return out;
}
