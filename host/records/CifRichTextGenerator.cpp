#include "host/CifRichTextGenerator.h"

namespace {

char mark_of(TextRun::Position position) {
    return position == TextRun::Subscript ? '~' : '^';
}

}  // namespace

void CifRichTextGenerator::open_span(TextRun::Position position, std::string& out) const {
    out += mark_of(position);
}

void CifRichTextGenerator::close_span(TextRun::Position position, std::string& out) const {
    out += mark_of(position);
}

void CifRichTextGenerator::write_run(const TextRun& run, std::string& out) const {
    if (run.kind == TextRun::Greek) out += '\\';
    out += run.text;
}
