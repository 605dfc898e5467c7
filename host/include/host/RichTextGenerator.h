// RichTextGenerator: writes runs of marked-up text in a notation.
#pragma once

#include <string>
#include <vector>

#include "host/HostApi.h"
#include "host/TextRun.h"

class HOST_API RichTextGenerator {
  public:
    virtual ~RichTextGenerator();
    /// The text of the runs; also kept as text().
    virtual std::string generate(const std::vector<TextRun>& runs) = 0;
    const std::string& text() const { return text_; }

  protected:
    std::string text_;
};
