// Internal, not part of the API: installed only because CifDataItem holds its values in one.
// PackedStrings: a sequence of texts kept in one character buffer, so that a loop column of a
// million short values costs a few bytes a value instead of a string object each.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace cif::detail {

/// The characters of a short single text stay inside the object. Buffers are grown with
/// realloc, which moves large ones by remapping pages rather than copying them.
class PackedStrings {
  public:
    PackedStrings() noexcept {}
    PackedStrings(const PackedStrings& other);
    PackedStrings(PackedStrings&& other) noexcept { swap(other); }
    PackedStrings& operator=(PackedStrings other) noexcept {
        swap(other);
        return *this;
    }
    ~PackedStrings();
    void swap(PackedStrings& other) noexcept;

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
            is_inline()) {
            return push_back_growing(text);
        }
        ends_[size_ - 1] = length_;
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

    bool operator==(const PackedStrings& other) const;

  private:
    static constexpr std::size_t inline_capacity = 16;

    bool is_inline() const { return capacity_ == inline_capacity; }
    char* data() { return is_inline() ? storage_.text : storage_.heap; }
    const char* data() const { return is_inline() ? storage_.text : storage_.heap; }
    std::size_t begin(std::size_t i) const { return i == 0 ? 0 : ends_[i - 1]; }
    std::size_t end(std::size_t i) const { return i + 1 == size_ ? length_ : ends_[i]; }
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
    std::size_t* ends_ = nullptr;
    std::size_t ends_capacity_ = 0;
    std::size_t size_ = 0;
};

}  // namespace cif::detail
