#include "cif/CifErrorContainer.h"

#include <algorithm>
#include <iterator>
#include <ostream>

#include "cif/CifErrorText.h"

namespace {

constexpr std::size_t batch_size = 1024;

}  // namespace

void CifErrorContainer::add(const CifError& error) {
    add(CifError(error));
}

void CifErrorContainer::add(CifError&& error) {
    if (error_ignored(error.id())) return;
    // A batch grows as a vector does up to its size, so that a caller who looks at the
    // records after each addition pays for a small batch, not a full one.
    if (recent_.empty() || recent_.back().size() == batch_size) recent_.emplace_back();
    recent_.back().push_back(std::move(error));
}

void CifErrorContainer::settle() const {
    std::size_t count = errors_.size();
    for (const std::vector<CifError>& batch : recent_)
        count += batch.size();
    if (count > errors_.capacity()) errors_.reserve(std::max(count, 2 * errors_.capacity()));
    for (std::vector<CifError>& batch : recent_)
        std::move(batch.begin(), batch.end(), std::back_inserter(errors_));
    recent_.clear();
}

void CifErrorContainer::clear() {
    errors_.clear();
    recent_.clear();
}

std::size_t CifErrorContainer::errors_of_type(CifError::ErrorType type) const {
    const std::vector<CifError>& errors = records();
    return static_cast<std::size_t>(std::count_if(
        errors.begin(), errors.end(), [type](const CifError& e) { return e.type() == type; }));
}

void CifErrorContainer::complete_error_list(std::set<CifError::ErrorID>& ids) const {
    CifErrorText::complete_error_list(ids);
}

void CifErrorContainer::filter_existing_errors() {
    const std::set<CifError::ErrorID> ignored = ignored_;
    settle();
    errors_.erase(std::remove_if(errors_.begin(), errors_.end(),
                                 [&ignored](const CifError& e) { return ignored.count(e.id()); }),
                  errors_.end());
}

void CifErrorContainer::print(std::ostream& out) const {
    for (const CifError& error : records()) {
        error.print(out);
        out << '\n';
    }
}
