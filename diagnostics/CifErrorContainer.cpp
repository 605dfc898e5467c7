#include "cif/CifErrorContainer.h"

#include <algorithm>
#include <iterator>
#include <ostream>

#include "cif/CifErrorText.h"

void CifErrorContainer::add(const CifError& error) {
    add(CifError(error));
}

void CifErrorContainer::add(CifError&& error) {
    if (error_ignored(error.id())) return;
    // The first chunk grows as a vector does, so that a container of a few records stays
    // small; a later one is made whole at once.
    if (chunks_.empty() || chunks_.back().size() == chunk_size) {
        chunks_.emplace_back();
        if (chunks_.size() > 1) chunks_.back().reserve(chunk_size);
    }
    chunks_.back().push_back(std::move(error));
    ++size_;
}

void CifErrorContainer::clear() {
    chunks_.clear();
    size_ = 0;
}

std::size_t CifErrorContainer::errors_of_type(CifError::ErrorType type) const {
    return static_cast<std::size_t>(
        std::count_if(begin(), end(), [type](const CifError& e) { return e.type() == type; }));
}

void CifErrorContainer::complete_error_list(std::set<CifError::ErrorID>& ids) const {
    CifErrorText::complete_error_list(ids);
}

void CifErrorContainer::filter_existing_errors() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < size_; ++i) {
        if (error_ignored(at(i).id())) continue;
        if (kept != i) at(kept) = std::move(at(i));
        ++kept;
    }
    while (size_ > kept) {
        chunks_.back().pop_back();
        if (chunks_.back().empty()) chunks_.pop_back();
        --size_;
    }
}

void CifErrorContainer::print(std::ostream& out) const {
    for (const CifError& error : *this) {
        error.print(out);
        out << '\n';
    }
}
