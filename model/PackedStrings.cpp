#include "cif/PackedStrings.h"

#include <algorithm>

// A second text makes this a loop column, which usually goes on growing row by row: start
// with room for some rows rather than doubling from one.
void PackedStrings::push_back(std::string_view text) {
    if (size_ > 0) {
        if (ends_.size() == ends_.capacity())
            ends_.reserve(std::max<std::size_t>(16, 2 * ends_.size()));
        ends_.push_back(characters_.size());
        const std::size_t needed = characters_.size() + text.size();
        if (needed > characters_.capacity()) {
            characters_.reserve(std::max<std::size_t>({128, needed, 2 * characters_.capacity()}));
        }
    }
    characters_.append(text.data(), text.size());
    ++size_;
}

void PackedStrings::assign_tight(const PackedStrings& other) {
    characters_ = std::string(other.characters_);
    ends_ = std::vector<std::size_t>(other.ends_);
    size_ = other.size_;
}

void PackedStrings::set(std::size_t i, std::string_view text) {
    if (i >= size_) {
        resize(i);
        push_back(text);
        return;
    }
    const std::size_t first = begin(i);
    const std::size_t old_length = end(i) - first;
    characters_.replace(first, old_length, text.data(), text.size());
    for (std::size_t k = i; k < ends_.size(); ++k)
        ends_[k] = ends_[k] - old_length + text.size();
}

void PackedStrings::erase(std::size_t i) {
    const std::size_t first = begin(i);
    const std::size_t length = end(i) - first;
    characters_.erase(first, length);
    // The offset that ended text i goes; when i is the last, the one that ended text i - 1
    // does, since that text now ends with the buffer.
    if (!ends_.empty())
        ends_.erase(ends_.begin() + static_cast<std::ptrdiff_t>(i < ends_.size() ? i : i - 1));
    for (std::size_t k = i; k < ends_.size(); ++k)
        ends_[k] -= length;
    --size_;
}

void PackedStrings::resize(std::size_t n) {
    if (n < size_) {
        characters_.resize(begin(n));
        ends_.resize(n == 0 ? 0 : n - 1);
    } else {
        while (size_ < n)
            push_back(std::string_view());
    }
    size_ = n;
}

void PackedStrings::clear() {
    characters_.clear();
    ends_.clear();
    size_ = 0;
}

bool PackedStrings::operator==(const PackedStrings& other) const {
    return size_ == other.size_ && ends_ == other.ends_ && characters_ == other.characters_;
}
