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

// Where the ends start in a heap block of that many characters.
std::size_t ends_start(std::size_t capacity) {
    return (capacity + 7) & ~std::size_t(7);
}

// At least `needed`; when more is needed than there is, at least twice as much as there was.
std::size_t grown(std::size_t current, std::size_t needed, std::size_t least) {
    return needed <= current ? current : std::max({needed, 2 * current, least});
}

}  // namespace

namespace cif::detail {

template <class Small, class Medium>
BasicPackedStrings<Small, Medium>::BasicPackedStrings(const BasicPackedStrings& other)
    : BasicPackedStrings() {
    if (other.size_ <= 1 && other.length_ <= inline_capacity) {
        if (other.length_ > 0) std::memcpy(storage_.text, other.data(), other.length_);
    } else {
        const std::size_t offsets = other.size_ - 1;
        relayout(std::max<std::size_t>(other.length_, 1), offsets);
        std::memcpy(storage_.outside.heap, other.data(), other.length_);
        if (width() == other.width()) {
            std::memcpy(storage_.outside.ends, other.storage_.outside.ends,
                        offsets * offset_size(width()));
        } else {
            for (std::size_t k = 0; k < offsets; ++k)
                set_offset(k, other.offset(k));
        }
    }
    length_ = other.length_;
    size_ = other.size_;
}

template <class Small, class Medium>
BasicPackedStrings<Small, Medium>::~BasicPackedStrings() {
    if (!is_inline()) std::free(storage_.outside.heap);
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::swap(BasicPackedStrings& other) noexcept {
    // A text inside the object does not point into it, so it moves with the union.
    std::swap(storage_, other.storage_);
    std::swap(length_, other.length_);
    std::swap(capacity_, other.capacity_);
    std::swap(size_, other.size_);
}

// Puts the texts in a heap block of exactly that room. A block that grows in the same width
// is reallocated and its ends moved up past the new characters; otherwise a new block takes
// the characters and the ends, rewritten in the new width.
template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::relayout(std::size_t capacity, std::size_t ends_capacity) {
    const Width to = width_for(capacity);
    const std::size_t ends_at = ends_start(capacity);
    const std::size_t bytes = ends_at + ends_capacity * offset_size(to);
    const std::size_t offsets = size_ > 1 ? size_ - 1 : 0;
    char* block;
    if (!is_inline() && to == width() && capacity >= capacity_ &&
        ends_capacity >= storage_.outside.ends_capacity) {
        const std::size_t old_ends_at = ends_start(capacity_);
        block = static_cast<char*>(reallocate(storage_.outside.heap, bytes));
        if (offsets > 0 && ends_at != old_ends_at) {
            std::memmove(block + ends_at, block + old_ends_at, offsets * offset_size(to));
        }
    } else {
        block = static_cast<char*>(reallocate(nullptr, bytes));
        if (length_ > 0) std::memcpy(block, data(), length_);
        for (std::size_t k = 0; k < offsets; ++k)
            store(block + ends_at, to, k, offset(k));
        if (!is_inline()) std::free(storage_.outside.heap);
    }
    storage_.outside.heap = block;
    storage_.outside.ends = block + ends_at;
    storage_.outside.ends_capacity = ends_capacity;
    capacity_ = capacity;
}

// Room for `characters` bytes and `ends` ends: a single short text stays inside the object,
// and a block that must grow at least doubles.
template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::reserve_room(std::size_t characters, std::size_t ends) {
    if (is_inline() && ends == 0 && characters <= inline_capacity) return;
    if (!is_inline() && characters <= capacity_ && ends <= storage_.outside.ends_capacity) return;
    // A sequence begun gets room to go on; a single text, just its own.
    const std::size_t least_characters = ends > 0 ? 64 : 1;
    relayout(grown(capacity_, std::max<std::size_t>(characters, 1), least_characters),
             grown(ends_capacity(), ends, ends > 0 ? 16 : 0));
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::move_inside() {
    char* heap = storage_.outside.heap;
    std::memcpy(storage_.text, heap, length_);
    std::free(heap);
    capacity_ = 0;
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::push_back_growing(std::string_view text) {
    reserve_room(length_ + text.size(), size_);
    if (size_ > 0) set_offset(size_ - 1, length_);
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
    const std::size_t new_length = length_ - old_end + new_end;
    reserve_room(new_length, size_ - 1);
    char* characters = data();
    std::memmove(characters + new_end, characters + old_end, length_ - old_end);
    if (!text.empty()) std::memcpy(characters + first, text.data(), text.size());
    length_ = new_length;
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
    // The offset that ended text i goes and the later ones move down; when i is the last,
    // text i - 1 now ends with the characters and its offset is no longer read.
    for (std::size_t k = i; k + 2 < size_; ++k)
        set_offset(k, offset(k + 1) - (last - first));
    --size_;
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::resize(std::size_t n) {
    if (n < size_) {
        length_ = begin(n);
        size_ = n;
        return;
    }
    reserve_room(length_, n > 0 ? n - 1 : 0);
    while (size_ < n)
        push_back(std::string_view());
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::reserve(std::size_t texts, std::size_t characters) {
    reserve_room(characters, texts > 0 ? texts - 1 : 0);
}

template <class Small, class Medium>
void BasicPackedStrings<Small, Medium>::shrink_to_fit() {
    if (is_inline()) return;
    if (size_ <= 1 && length_ <= inline_capacity) return move_inside();
    const std::size_t capacity = std::max<std::size_t>(length_, 1);
    const std::size_t offsets = size_ > 1 ? size_ - 1 : 0;
    if (capacity != capacity_ || offsets != storage_.outside.ends_capacity) {
        relayout(capacity, offsets);
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
