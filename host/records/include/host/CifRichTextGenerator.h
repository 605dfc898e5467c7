// CifRichTextGenerator: writes marked-up text in the notation of CIF 1.1 text (see
// CifChemicalNameStyleFinder): spans between ~ or ^, Greek letters and other special
// characters as backslash codes.
#pragma once

#include "host/HostApi.h"
#include "host/RichTextGenerator.h"

class HOST_API CifRichTextGenerator : public RichTextGenerator {
  protected:
    void open_span(TextRun::Position position, std::string& out) const override;
    void close_span(TextRun::Position position, std::string& out) const override;
    void write_run(const TextRun& run, std::string& out) const override;
};
