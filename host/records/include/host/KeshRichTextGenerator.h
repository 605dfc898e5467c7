// KeshRichTextGenerator: writes marked-up text in the in-house tagged notation (see
// KeshChemicalNameStyleFinder).
#pragma once

#include "host/HostApi.h"
#include "host/RichTextGenerator.h"

class HOST_API KeshRichTextGenerator : public RichTextGenerator {
  protected:
    void open_span(TextRun::Position position, std::string& out) const override;
    void close_span(TextRun::Position position, std::string& out) const override;
    void write_run(const TextRun& run, std::string& out) const override;
};
