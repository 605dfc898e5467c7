// Internal, not part of the API: installed only because CifDataItem holds its values in one.
// PackedStrings: a sequence of texts kept in one character buffer, so that a loop column of a
// million short values costs a few bytes a value instead of a string object each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "cif/CifApi.h"

namespace cif::detail {

/// The characters of a short single text stay inside the object. Buffers are grown with
/// realloc, which moves large ones by remapping pages rather than copying them. Where each
/// text ends is kept as an Offset while the character buffer's capacity fits one, and as a
/// std::size_t beyond: a column of short values pays 4 bytes a value, not 8, and a column of
/// over 4 GiB still reads whole.
template <class Offset>
class CIF_API BasicPackedStrings {
  public:
    BasicPackedStrings() noexcept {}
    BasicPackedStrings(const BasicPackedStrings& other);
    BasicPackedStrings(BasicPackedStrings&& other) noexcept { swap(other); }
    BasicPackedStrings& operator=(BasicPackedStrings other) noexcept {
        swap(other);
        return *this;
    }
    ~BasicPackedStrings();
    void swap(BasicPackedStrings& other) noexcept;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    /// All texts together, in bytes.
    std::size_t characters() const { return length_; }
    /// Text i; valid until the sequence changes.
    std::string_view view(std::size_t i) const {
        return std::string_view(data() + begin(i), end(i) - begin(i));
    }

    void push_back(std::string_view text) {
        if (size_ == 0 || size_ > ends_capacity_ || length_ + text.size() > capacity_ ||
            is_inline() || wide()) {
            return push_back_growing(text);
        }
        static_cast<Offset*>(ends_)[size_ - 1] = static_cast<Offset>(length_);
        if (!text.empty()) std::memcpy(storage_.heap + length_, text.data(), text.size());
        length_ += text.size();
        ++size_;
    }
    /// Replaces text i; an index past the end first pads the sequence with empty texts.
    void set(std::size_t i, std::string_view text);
    void erase(std::size_t i);
    /// Keeps the first n texts, or pads with empty texts up to n.
    void resize(std::size_t n);
    /// Removes every text and keeps the buffers.
    void clear() {
        length_ = 0;
        size_ = 0;
    }
    /// Gives back the room the texts do not use.
    void shrink_to_fit();
    /// Makes room for `texts` texts of `characters` bytes in all.
    void reserve(std::size_t texts, std::size_t characters) {
        reserve_ends(texts > 0 ? texts - 1 : 0);
        reserve_characters(characters);
    }

    bool operator==(const BasicPackedStrings& other) const;

  private:
    static constexpr std::size_t inline_capacity = 16;
    static constexpr std::size_t narrow_limit = std::numeric_limits<Offset>::max();

    bool is_inline() const { return capacity_ == inline_capacity; }
    // Whether the offsets are std::size_t; it follows the capacity, so it needs no field.
    bool wide() const { return capacity_ > narrow_limit; }
    std::size_t offset_size() const { return wide() ? sizeof(std::size_t) : sizeof(Offset); }
    std::size_t offset(std::size_t k) const {
        return wide() ? static_cast<const std::size_t*>(ends_)[k]
                      : static_cast<const Offset*>(ends_)[k];
    }
    void set_offset(std::size_t k, std::size_t value);
    void convert_offsets(bool to_wide);
    char* data() { return is_inline() ? storage_.text : storage_.heap; }
    const char* data() const { return is_inline() ? storage_.text : storage_.heap; }
    std::size_t begin(std::size_t i) const { return i == 0 ? 0 : offset(i - 1); }
    std::size_t end(std::size_t i) const { return i + 1 == size_ ? length_ : offset(i); }
    void push_back_growing(std::string_view text);
    void reserve_characters(std::size_t needed);
    void reserve_ends(std::size_t needed);

    // A union copied whole: swap and move need not know which member is active.
    union Storage {
        char* heap;
        char text[inline_capacity];
    };
    Storage storage_{};
    std::size_t length_ = 0;
    std::size_t capacity_ = inline_capacity;
    // Where each text but the last ends; the last ends with the characters, so a single
    // text needs no offsets at all.
    void* ends_ = nullptr;
    std::size_t ends_capacity_ = 0;
    std::size_t size_ = 0;
};

// Instantiated in the library: four-byte offsets for the model, one-byte ones for its tests.
extern template class BasicPackedStrings<std::uint32_t>;
extern template class BasicPackedStrings<std::uint8_t>;
using PackedStrings = BasicPackedStrings<std::uint32_t>;

}  // namespace cif::detail
