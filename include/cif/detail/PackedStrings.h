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

/// A single text of up to 32 bytes stays inside the object (most items hold one short value);
/// otherwise the characters and, after them, where each text ends share one heap block,
/// grown with realloc, which moves large ones by remapping pages rather than copying them.
/// The ends are kept in the narrowest of Small, Medium and std::size_t that the character
/// capacity fits: a column of short values pays 2 or 4 bytes a value, not 8, and a column
/// of over 4 GiB still reads whole.
template <class Small, class Medium>
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
        if (!has_room_for(text.size())) return push_back_growing(text);
        set_offset(size_ - 1, length_);
        if (!text.empty()) std::memcpy(storage_.outside.heap + length_, text.data(), text.size());
        length_ += text.size();
        ++size_;
    }
    /// push_back for a text followed in memory by at least 16 readable bytes: a short one is
    /// copied as 16 bytes at once, the bytes past it landing in room not yet used.
    void push_back_padded(std::string_view text) {
        if (text.size() > 16 || !has_room_for(16)) return push_back(text);
        set_offset(size_ - 1, length_);
        std::memcpy(storage_.outside.heap + length_, text.data(), 16);
        length_ += text.size();
        ++size_;
    }
    /// Replaces text i; an index past the end first pads the sequence with empty texts.
    void set(std::size_t i, std::string_view text);
    void erase(std::size_t i);
    /// Keeps the first n texts, or pads with empty texts up to n.
    void resize(std::size_t n);
    /// Removes every text and keeps the buffer.
    void clear() {
        length_ = 0;
        size_ = 0;
    }
    /// Gives back the room the texts do not use.
    void shrink_to_fit();
    /// Makes room for `texts` texts of `characters` bytes in all.
    void reserve(std::size_t texts, std::size_t characters);

    bool operator==(const BasicPackedStrings& other) const;

  private:
    static constexpr std::size_t inline_capacity = 32;

    // capacity_ is 0 for a text inside the object, at least 1 for a heap block.
    bool is_inline() const { return capacity_ == 0; }
    std::size_t ends_capacity() const { return is_inline() ? 0 : storage_.outside.ends_capacity; }
    // Room in the heap block for one more text of `bytes` after at least one.
    bool has_room_for(std::size_t bytes) const {
        return !is_inline() && size_ != 0 && size_ <= storage_.outside.ends_capacity &&
               length_ + bytes <= capacity_;
    }
    // The ends' width follows the capacity, so it needs no field of its own.
    enum Width { small, medium, large };
    static Width width_for(std::size_t capacity) {
        if (capacity <= std::numeric_limits<Small>::max()) return small;
        return capacity <= std::numeric_limits<Medium>::max() ? medium : large;
    }
    Width width() const { return width_for(capacity_); }
    static std::size_t offset_size(Width width) {
        return width == small    ? sizeof(Small)
               : width == medium ? sizeof(Medium)
                                 : sizeof(std::size_t);
    }
    static std::size_t load(const void* ends, Width width, std::size_t k) {
        if (width == small) return static_cast<const Small*>(ends)[k];
        if (width == medium) return static_cast<const Medium*>(ends)[k];
        return static_cast<const std::size_t*>(ends)[k];
    }
    static void store(void* ends, Width width, std::size_t k, std::size_t value) {
        if (width == small) {
            static_cast<Small*>(ends)[k] = static_cast<Small>(value);
        } else if (width == medium) {
            static_cast<Medium*>(ends)[k] = static_cast<Medium>(value);
        } else {
            static_cast<std::size_t*>(ends)[k] = value;
        }
    }
    std::size_t offset(std::size_t k) const { return load(storage_.outside.ends, width(), k); }
    void set_offset(std::size_t k, std::size_t value) {
        store(storage_.outside.ends, width(), k, value);
    }
    char* data() { return is_inline() ? storage_.text : storage_.outside.heap; }
    const char* data() const { return is_inline() ? storage_.text : storage_.outside.heap; }
    std::size_t begin(std::size_t i) const { return i == 0 ? 0 : offset(i - 1); }
    std::size_t end(std::size_t i) const { return i + 1 == size_ ? length_ : offset(i); }
    void push_back_growing(std::string_view text);
    void reserve_room(std::size_t characters, std::size_t ends);
    void relayout(std::size_t capacity, std::size_t ends_capacity);
    void move_inside();

    // A union copied whole: swap and move need not know which member is active.
    union Storage {
        char text[inline_capacity];
        struct Outside {
            char* heap;
            // In the heap block past the characters: where each text but the last ends; the
            // last ends with the characters, so a single text needs none.
            void* ends;
            std::size_t ends_capacity;
        } outside;
    };
    Storage storage_{};
    std::size_t length_ = 0;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

// Instantiated in the library: two- and four-byte offsets for the model, one- and two-byte
// ones for its tests.
extern template class BasicPackedStrings<std::uint16_t, std::uint32_t>;
extern template class BasicPackedStrings<std::uint8_t, std::uint16_t>;
using PackedStrings = BasicPackedStrings<std::uint16_t, std::uint32_t>;

}  // namespace cif::detail
