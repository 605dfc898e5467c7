#include "cif/PackedStrings.h"

void PackedStrings::push_back(std::string_view text) {
    characters_.append(text.data(), text.size());
    ends_.push_back(characters_.size());
}

void PackedStrings::set(std::size_t i, std::string_view text) {
    if (i >= size()) {
        resize(i);
        push_back(text);
        return;
    }
    std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    std::size_t old_length = ends_[i] - begin;
    characters_.replace(begin, old_length, text.data(), text.size());
    for (std::size_t k = i; k < ends_.size(); ++k)
        ends_[k] = ends_[k] - old_length + text.size();
}

void PackedStrings::erase(std::size_t i) {
    std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    std::size_t length = ends_[i] - begin;
    characters_.erase(begin, length);
    ends_.erase(ends_.begin() + static_cast<std::ptrdiff_t>(i));
    for (std::size_t k = i; k < ends_.size(); ++k)
        ends_[k] -= length;
}

void PackedStrings::resize(std::size_t n) {
    if (n < size()) {
        characters_.resize(n == 0 ? 0 : ends_[n - 1]);
        ends_.resize(n);
    } else {
        ends_.resize(n, characters_.size());
    }
}

void PackedStrings::clear() {
    characters_.clear();
    ends_.clear();
}

bool PackedStrings::operator==(const PackedStrings& other) const {
    return ends_ == other.ends_ && characters_ == other.characters_;
}
