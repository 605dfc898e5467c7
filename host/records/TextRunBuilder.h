// Internal: collects runs as a style finder meets them, joining characters that follow one
// another in the same place into one run.
#pragma once

#include <string>
#include <vector>

#include "host/TextRun.h"

namespace cif::detail {

class TextRunBuilder {
  public:
    /// Where the next runs stand; a span position opens a new span.
    void move_to(TextRun::Position position) {
        position_ = position;
        opens_span_ = position != TextRun::Normal;
    }
    TextRun::Position position() const { return position_; }

    void add_text(const std::string& text) {
        if (!runs_.empty() && !opens_span_ && runs_.back().kind == TextRun::Text &&
            runs_.back().position == position_) {
            runs_.back().text += text;
            return;
        }
        add(TextRun::Text, text);
    }
    void add(TextRun::Kind kind, const std::string& text) {
        runs_.push_back(TextRun{position_, kind, text, opens_span_});
        opens_span_ = false;
    }
    std::vector<TextRun> take() { return std::move(runs_); }

  private:
    std::vector<TextRun> runs_;
    TextRun::Position position_ = TextRun::Normal;
    bool opens_span_ = false;
};

}  // namespace cif::detail
