// Internal, not part of the API: installed only because CifError holds its arguments in it.
// InlineTexts: two texts kept inside the object while together they fit 54 bytes, and in one
// heap block beyond, so that a diagnostic's arguments (most often one data name) cost no
// allocation of their own and a record stays 64 bytes.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace cif::detail {

class InlineTexts {
  public:
    static constexpr std::size_t inline_capacity = 54;

    InlineTexts() noexcept = default;
    InlineTexts(std::string_view first, std::string_view second) { assign(first, second); }
    InlineTexts(const InlineTexts& other) { assign(other.first(), other.second()); }
    InlineTexts(InlineTexts&& other) noexcept { take(other); }
    InlineTexts& operator=(const InlineTexts& other) {
        if (this != &other) {
            InlineTexts copy(other);
            *this = std::move(copy);
        }
        return *this;
    }
    InlineTexts& operator=(InlineTexts&& other) noexcept {
        if (this != &other) {
            release();
            take(other);
        }
        return *this;
    }
    ~InlineTexts() { release(); }

    std::string_view first() const noexcept {
        if (on_heap()) return std::string_view(heap(), heap_size(0));
        return std::string_view(bytes_, first_size_);
    }
    std::string_view second() const noexcept {
        if (on_heap()) return std::string_view(heap() + heap_size(0), heap_size(1));
        return std::string_view(bytes_ + first_size_, second_size_);
    }

  private:
    // first_size_ up to inline_capacity: both texts inline, one after the other;
    // on_heap_marker: bytes_ holds the heap block's address and the two lengths.
    static constexpr unsigned char on_heap_marker = 0xFF;

    bool on_heap() const noexcept { return first_size_ == on_heap_marker; }
    char* heap() const noexcept {
        char* pointer;
        std::memcpy(&pointer, bytes_, sizeof pointer);
        return pointer;
    }
    std::size_t heap_size(int which) const noexcept {
        std::size_t size;
        std::memcpy(&size, bytes_ + sizeof(char*) + which * sizeof size, sizeof size);
        return size;
    }
    void assign(std::string_view first, std::string_view second) {
        if (first.size() + second.size() <= inline_capacity) {
            copy_texts(bytes_, first, second);
            first_size_ = static_cast<unsigned char>(first.size());
            second_size_ = static_cast<unsigned char>(second.size());
            return;
        }
        char* pointer = new char[first.size() + second.size()];
        copy_texts(pointer, first, second);
        const std::size_t sizes[2] = {first.size(), second.size()};
        std::memcpy(bytes_, &pointer, sizeof pointer);
        std::memcpy(bytes_ + sizeof pointer, sizes, sizeof sizes);
        first_size_ = on_heap_marker;
    }
    static void copy_texts(char* to, std::string_view first, std::string_view second) noexcept {
        if (!first.empty()) std::memcpy(to, first.data(), first.size());
        if (!second.empty()) std::memcpy(to + first.size(), second.data(), second.size());
    }
    // The other's bytes, its heap block if any among them; it is left empty.
    void take(InlineTexts& other) noexcept {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        first_size_ = other.first_size_;
        second_size_ = other.second_size_;
        other.first_size_ = other.second_size_ = 0;
    }
    void release() noexcept {
        if (on_heap()) delete[] heap();
        first_size_ = second_size_ = 0;
    }

    char bytes_[inline_capacity] = {};
    unsigned char first_size_ = 0;
    unsigned char second_size_ = 0;
};

}  // namespace cif::detail
