#include "cif/CifErrorContainer.h"

#include <algorithm>
#include <ostream>

#include "cif/CifErrorText.h"

void CifErrorContainer::add(const CifError& error) {
    if (!error_ignored(error.id())) errors_.push_back(error);
}

void CifErrorContainer::add(CifError&& error) {
    if (!error_ignored(error.id())) errors_.push_back(std::move(error));
}

std::size_t CifErrorContainer::errors_of_type(CifError::ErrorType type) const {
    return static_cast<std::size_t>(std::count_if(
        errors_.begin(), errors_.end(), [type](const CifError& e) { return e.type() == type; }));
}

void CifErrorContainer::complete_error_list(std::set<CifError::ErrorID>& ids) const {
    CifErrorText::complete_error_list(ids);
}

void CifErrorContainer::filter_existing_errors() {
    const std::set<CifError::ErrorID> ignored = ignored_;
    errors_.erase(std::remove_if(errors_.begin(), errors_.end(),
                                 [&ignored](const CifError& e) { return ignored.count(e.id()); }),
                  errors_.end());
}

void CifErrorContainer::print(std::ostream& out) const {
    for (const CifError& error : errors_) {
        error.print(out);
        out << '\n';
    }
}
