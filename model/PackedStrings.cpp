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
PackedStrings::PackedStrings(const PackedStrings& other) : PackedStrings() {
    reserve_characters(other.length_);
    if (other.length_ > 0) std::memcpy(data(), other.data(), other.length_);
    length_ = other.length_;
    if (other.size_ > 1) {
        reserve_ends(other.size_ - 1);
        std::memcpy(ends_, other.ends_, (other.size_ - 1) * sizeof *ends_);
    }
    size_ = other.size_;
}

PackedStrings::~PackedStrings() {
    if (!is_inline()) std::free(storage_.heap);
    std::free(ends_);
}

void PackedStrings::swap(PackedStrings& other) noexcept {
    // An inline text does not point into its object, so it moves with the union.
    std::swap(storage_, other.storage_);
    std::swap(length_, other.length_);
    std::swap(capacity_, other.capacity_);
    std::swap(ends_, other.ends_);
    std::swap(ends_capacity_, other.ends_capacity_);
    std::swap(size_, other.size_);
}

// Room for `needed` characters; a buffer that must grow at least doubles.
void PackedStrings::reserve_characters(std::size_t needed) {
    if (needed <= capacity_) return;
    const std::size_t capacity = std::max({needed, 2 * capacity_, std::size_t(64)});
    if (is_inline()) {
        char* heap = static_cast<char*>(reallocate(nullptr, capacity));
        std::memcpy(heap, storage_.text, length_);
        storage_.heap = heap;
    } else {
        storage_.heap = static_cast<char*>(reallocate(storage_.heap, capacity));
    }
    capacity_ = capacity;
}

void PackedStrings::reserve_ends(std::size_t needed) {
    if (needed <= ends_capacity_) return;
    const std::size_t capacity = std::max({needed, 2 * ends_capacity_, std::size_t(16)});
    ends_ = static_cast<std::size_t*>(reallocate(ends_, capacity * sizeof *ends_));
    ends_capacity_ = capacity;
}

// push_back where room must be made first, or the first text may stay in the object.
void PackedStrings::push_back_growing(std::string_view text) {
    if (size_ > 0) {
        reserve_ends(size_);
        ends_[size_ - 1] = length_;
    }
    reserve_characters(length_ + text.size());
    if (!text.empty()) std::memcpy(data() + length_, text.data(), text.size());
    length_ += text.size();
    ++size_;
}

void PackedStrings::set(std::size_t i, std::string_view text) {
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
        ends_[k] = ends_[k] - old_end + new_end;
}

void PackedStrings::erase(std::size_t i) {
    const std::size_t first = begin(i);
    const std::size_t last = end(i);
    char* characters = data();
    std::memmove(characters + first, characters + last, length_ - last);
    length_ -= last - first;
    // The offset that ended text i goes; when i is the last, the one that ended text i - 1
    // does, since that text now ends with the buffer.
    if (size_ > 1) {
        const std::size_t gone = i + 1 < size_ ? i : i - 1;
        std::memmove(ends_ + gone, ends_ + gone + 1, (size_ - 2 - gone) * sizeof *ends_);
        for (std::size_t k = gone; k + 2 < size_; ++k)
            ends_[k] -= last - first;
    }
    --size_;
}

void PackedStrings::resize(std::size_t n) {
    if (n < size_) {
        length_ = begin(n);
        size_ = n;
        return;
    }
    reserve_ends(n);
    while (size_ < n)
        push_back(std::string_view());
}

void PackedStrings::shrink_to_fit() {
    if (!is_inline() && length_ <= inline_capacity) {
        char* heap = storage_.heap;
        std::memcpy(storage_.text, heap, length_);
        std::free(heap);
        capacity_ = inline_capacity;
    } else if (!is_inline() && length_ < capacity_) {
        storage_.heap = static_cast<char*>(reallocate(storage_.heap, length_));
        capacity_ = length_;
    }
    const std::size_t offsets = size_ > 1 ? size_ - 1 : 0;
    if (offsets == 0) {
        std::free(ends_);
        ends_ = nullptr;
        ends_capacity_ = 0;
    } else if (offsets < ends_capacity_) {
        ends_ = static_cast<std::size_t*>(reallocate(ends_, offsets * sizeof *ends_));
        ends_capacity_ = offsets;
    }
}

bool PackedStrings::operator==(const PackedStrings& other) const {
    if (size_ != other.size_ || length_ != other.length_) return false;
    if (length_ > 0 && std::memcmp(data(), other.data(), length_) != 0) return false;
    return size_ < 2 || std::memcmp(ends_, other.ends_, (size_ - 1) * sizeof *ends_) == 0;
}

}  // namespace cif::detail
