// Internal, not part of the API: installed only because CifError holds its arguments in it.
// InlineText: a text kept inside the object up to 39 bytes and on the heap beyond, so that a
// diagnostic's argument (most often a data name) costs no allocation of its own.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace cif::detail {

class InlineText {
  public:
    static constexpr std::size_t inline_capacity = 39;

    InlineText() noexcept = default;
    explicit InlineText(std::string_view text) { assign(text); }
    InlineText(const InlineText& other) { assign(other.view()); }
    InlineText(InlineText&& other) noexcept { take(other); }
    InlineText& operator=(const InlineText& other) {
        if (this != &other) {
            InlineText copy(other);
            *this = std::move(copy);
        }
        return *this;
    }
    InlineText& operator=(InlineText&& other) noexcept {
        if (this != &other) {
            release();
            take(other);
        }
        return *this;
    }
    ~InlineText() { release(); }

    std::string_view view() const noexcept {
        return on_heap() ? std::string_view(heap(), heap_size()) : std::string_view(bytes_, size_);
    }

  private:
    // size_ up to inline_capacity: that many bytes inline; on_heap_marker: bytes_ holds the
    // heap pointer and the length.
    static constexpr unsigned char on_heap_marker = 0xFF;

    bool on_heap() const noexcept { return size_ == on_heap_marker; }
    char* heap() const noexcept {
        char* pointer;
        std::memcpy(&pointer, bytes_, sizeof pointer);
        return pointer;
    }
    std::size_t heap_size() const noexcept {
        std::size_t size;
        std::memcpy(&size, bytes_ + sizeof(char*), sizeof size);
        return size;
    }
    void assign(std::string_view text) {
        if (text.size() <= inline_capacity) {
            std::memcpy(bytes_, text.data(), text.size());
            size_ = static_cast<unsigned char>(text.size());
            return;
        }
        char* pointer = new char[text.size()];
        std::memcpy(pointer, text.data(), text.size());
        const std::size_t size = text.size();
        std::memcpy(bytes_, &pointer, sizeof pointer);
        std::memcpy(bytes_ + sizeof pointer, &size, sizeof size);
        size_ = on_heap_marker;
    }
    // The other's bytes, its heap block if any among them; it is left empty.
    void take(InlineText& other) noexcept {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        size_ = other.size_;
        other.size_ = 0;
    }
    void release() noexcept {
        if (on_heap()) delete[] heap();
        size_ = 0;
    }

    char bytes_[inline_capacity] = {};
    unsigned char size_ = 0;
};

}  // namespace cif::detail
