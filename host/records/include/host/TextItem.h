// TextItem: a text with typographic mark-up (sub- and superscripts, Greek letters, special
// characters), read by a style finder for its notation and written by a rich-text
// generator in another. Chemical names travel this way between CIF's notation and the
// in-house one.
#pragma once

#include <string>

#include "host/HostApi.h"
#include "host/InputTextStyleFinder.h"
#include "host/RichTextGenerator.h"
#include "host/THandle.h"

class HOST_API TextItem {
  public:
    TextItem(THandle<InputTextStyleFinder> finder, std::string text)
        : finder_(std::move(finder)), text_(std::move(text)) {}

    const std::string& text() const { return text_; }
    /// The text in the generator's notation.
    std::string mark_up_text(RichTextGenerator& generator) const {
        return generator.generate(finder_->find_runs(text_));
    }

  private:
    THandle<InputTextStyleFinder> finder_;
    std::string text_;
};
