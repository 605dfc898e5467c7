#include "cif/detail/PackedStrings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

// realloc that throws like operator new; a null block is allocated afresh.
void* reallocate(void* block, std::size_t bytes) {
    void* grown = std::realloc(block, bytes);
    if (grown == nullptr) throw std::bad_alloc();
    return grown;
}

}  // namespace

namespace cif::detail {

// Delegating makes the object whole before the buffers are taken: a throw while reserving
// room destroys what was reserved.
template <class Small, class Medium>
BasicPackedStrings<Small, Medium>::BasicPackedStrings(const BasicPackedStrings& other)
    : BasicPackedStrings() {
    reserve_characters(other.length_);
    if (other.length_ > 0) std::memcpy(data(), other.data(), other.length_);
    length_ = other.length_;
    if (other.size_ > 1) {
        reserve_ends(other.size_ - 1);
        if (width() == other.width()) {
            std::memcpy(ends_, other.ends_, (other.size_ - 1) * offset_size(width()));
        } else {
            for (std::size_t k = 0; k + 1 < other.size_; ++k)
                set_offset(k, other.offset(k));
        }
    }
    size_ = other.size_;
}

template <class Small, class Medium>
BasicPackedStrings<Small, Medium>::~BasicPackedStrings() {
    if (!is_inline()) std::free(storage_.heap);
    std::free(ends_);
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::swap(BasicPackedStrings& other) noexcept {
    // An inline text does not point into its object, so it moves with the union.
    std::swap(storage_, other.storage_);
    std::swap(length_, other.length_);
    std::swap(capacity_, other.capacity_);
    std::swap(ends_, other.ends_);
    std::swap(ends_capacity_, other.ends_capacity_);
    std::swap(size_, other.size_);
}

// Rewrites the offsets in another width, as the capacity crosses a limit.
template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::convert_offsets(Width from, Width to) {
    if (ends_capacity_ == 0) return;
    void* converted = reallocate(nullptr, ends_capacity_ * offset_size(to));
    for (std::size_t k = 0; k + 1 < size_; ++k)
        store(converted, to, k, load(ends_, from, k));
    std::free(ends_);
    ends_ = converted;
}

// Room for `needed` characters; a buffer that must grow at least doubles.
template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::reserve_characters(std::size_t needed) {
    if (needed <= capacity_) return;
    const std::size_t capacity = std::max(needed, 2 * capacity_);
    if (is_inline()) {
        char* heap = static_cast<char*>(reallocate(nullptr, capacity));
        std::memcpy(heap, storage_.text, length_);
        storage_.heap = heap;
    } else {
        storage_.heap = static_cast<char*>(reallocate(storage_.heap, capacity));
    }
    if (width_for(capacity) != width()) convert_offsets(width(), width_for(capacity));
    capacity_ = capacity;
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::reserve_ends(std::size_t needed) {
    if (needed <= ends_capacity_) return;
    const std::size_t capacity = std::max({needed, 2 * ends_capacity_, std::size_t(16)});
    ends_ = reallocate(ends_, capacity * offset_size(width()));
    ends_capacity_ = capacity;
}

// push_back where room must be made first, or the first text may stay in the object.
template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::push_back_growing(std::string_view text) {
    reserve_characters(length_ + text.size());
    if (size_ > 0) {
        reserve_ends(size_);
        set_offset(size_ - 1, length_);
    }
    if (!text.empty()) std::memcpy(data() + length_, text.data(), text.size());
    length_ += text.size();
    ++size_;
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::set(std::size_t i, std::string_view text) {
    if (i >= size_) {
        resize(i);
        push_back(text);
        return;
    }
    const std::size_t first = begin(i);
    const std::size_t old_end = end(i);
    const std::size_t new_end = first + text.size();
    reserve_characters(length_ - old_end + new_end);
    char* characters = data();
    std::memmove(characters + new_end, characters + old_end, length_ - old_end);
    if (!text.empty()) std::memcpy(characters + first, text.data(), text.size());
    length_ = length_ - old_end + new_end;
    for (std::size_t k = i; k + 1 < size_; ++k)
        set_offset(k, offset(k) - old_end + new_end);
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::erase(std::size_t i) {
    const std::size_t first = begin(i);
    const std::size_t last = end(i);
    char* characters = data();
    std::memmove(characters + first, characters + last, length_ - last);
    length_ -= last - first;
    // The offset that ended text i goes; when i is the last, the one that ended text i - 1
    // does, since that text now ends with the buffer.
    if (size_ > 1) {
        const std::size_t gone = i + 1 < size_ ? i : i - 1;
        for (std::size_t k = gone; k + 2 < size_; ++k)
            set_offset(k, offset(k + 1) - (last - first));
    }
    --size_;
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::resize(std::size_t n) {
    if (n < size_) {
        length_ = begin(n);
        size_ = n;
        return;
    }
    reserve_ends(n);
    while (size_ < n)
        push_back(std::string_view());
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::shrink_to_fit() {
    const Width before = width();
    if (!is_inline() && length_ <= inline_capacity) {
        char* heap = storage_.heap;
        std::memcpy(storage_.text, heap, length_);
        std::free(heap);
        capacity_ = inline_capacity;
    } else if (!is_inline() && length_ < capacity_) {
        storage_.heap = static_cast<char*>(reallocate(storage_.heap, length_));
        capacity_ = length_;
    }
    if (width() != before) convert_offsets(before, width());
    const std::size_t offsets = size_ > 1 ? size_ - 1 : 0;
    if (offsets == 0) {
        std::free(ends_);
        ends_ = nullptr;
        ends_capacity_ = 0;
    } else if (offsets < ends_capacity_) {
        ends_ = reallocate(ends_, offsets * offset_size(width()));
        ends_capacity_ = offsets;
    }
}

template <class Small, class Medium>
bool BasicPackedStrings<Small, Medium>::operator==(const BasicPackedStrings& other) const {
    if (size_ != other.size_ || length_ != other.length_) return false;
    if (length_ > 0 && std::memcmp(data(), other.data(), length_) != 0) return false;
    for (std::size_t k = 0; k + 1 < size_; ++k) {
        if (offset(k) != other.offset(k)) return false;
    }
    return true;
}

template class BasicPackedStrings<std::uint16_t, std::uint32_t>;
// Offsets of one byte widen past 255 characters, of two past 65,535: the tests reach every
// width with them.
template class BasicPackedStrings<std::uint8_t, std::uint16_t>;

}  // namespace cif::detail
