// RichTextGenerator: writes runs of marked-up text in a notation.
#pragma once

#include <string>
#include <vector>

#include "host/HostApi.h"
#include "host/TextRun.h"

/// A notation says how a span opens and closes and how a run is written; the walk over the
/// runs, which opens and closes spans where the runs' places change, is shared.
class HOST_API RichTextGenerator {
  public:
    virtual ~RichTextGenerator();
    /// The text of the runs; also kept as text().
    std::string generate(const std::vector<TextRun>& runs);
    const std::string& text() const { return text_; }

  protected:
    virtual void open_span(TextRun::Position position, std::string& out) const = 0;
    virtual void close_span(TextRun::Position position, std::string& out) const = 0;
    virtual void write_run(const TextRun& run, std::string& out) const = 0;

  private:
    std::string text_;
};
