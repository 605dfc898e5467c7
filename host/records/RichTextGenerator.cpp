#include "host/RichTextGenerator.h"

RichTextGenerator::~RichTextGenerator() = default;

std::string RichTextGenerator::generate(const std::vector<TextRun>& runs) {
    std::string out;
    TextRun::Position open = TextRun::Normal;
    for (const TextRun& run : runs) {
        if (open != TextRun::Normal && (run.position != open || run.opens_span)) {
            close_span(open, out);
            open = TextRun::Normal;
        }
        if (run.position != TextRun::Normal && open == TextRun::Normal) {
            open = run.position;
            open_span(open, out);
        }
        write_run(run, out);
    }
    if (open != TextRun::Normal) close_span(open, out);
    text_ = out;
    return out;
}
