// PackedStrings: a sequence of texts kept in one character buffer, so that a loop column
// of a million short values costs a few bytes a value instead of a string object each.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cif/CifApi.h"

class CIF_API PackedStrings {
  public:
    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    /// Text i; valid until the sequence changes.
    std::string_view view(std::size_t i) const {
        std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(characters_.data() + begin, ends_[i] - begin);
    }

    void push_back(std::string_view text);
    /// Replaces text i; an index past the end first pads the sequence with empty texts.
    void set(std::size_t i, std::string_view text);
    void erase(std::size_t i);
    /// Keeps the first n texts, or pads with empty texts up to n.
    void resize(std::size_t n);
    void clear();

    bool operator==(const PackedStrings& other) const;

  private:
    std::string characters_;
    std::vector<std::size_t> ends_;  // end of each text in characters_
};
