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
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    /// Text i; valid until the sequence changes.
    std::string_view view(std::size_t i) const {
        return std::string_view(characters_.data() + begin(i), end(i) - begin(i));
    }

    void push_back(std::string_view text);
    /// Makes this a copy of the other sequence holding exactly the room it needs: a reader
    /// fills one reused sequence and hands each item a tight copy of it.
    void assign_tight(const PackedStrings& other);
    /// Replaces text i; an index past the end first pads the sequence with empty texts.
    void set(std::size_t i, std::string_view text);
    void erase(std::size_t i);
    /// Keeps the first n texts, or pads with empty texts up to n.
    void resize(std::size_t n);
    void clear();

    bool operator==(const PackedStrings& other) const;

  private:
    std::size_t begin(std::size_t i) const { return i == 0 ? 0 : ends_[i - 1]; }
    std::size_t end(std::size_t i) const { return i + 1 == size_ ? characters_.size() : ends_[i]; }

    std::string characters_;
    // Where each text but the last ends in characters_; the last ends with the buffer, so a
    // single value needs no second allocation.
    std::vector<std::size_t> ends_;
    std::size_t size_ = 0;
};
