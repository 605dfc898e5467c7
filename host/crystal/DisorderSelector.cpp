#include "host/DisorderSelector.h"

#include <stdexcept>
#include <string>

DisorderSelector::DisorderSelector(int assembly, const std::map<int, AtomList>& groups)
    : assembly_(assembly), groups_(groups) {
    if (groups_.empty()) {
        throw std::invalid_argument("Disorder assembly " + std::to_string(assembly) +
                                    " has no group");
    }
    selected_ = groups_.begin()->first;
}

std::vector<int> DisorderSelector::groups() const {
    std::vector<int> numbers;
    for (const auto& group : groups_)
        numbers.push_back(group.first);
    return numbers;
}

void DisorderSelector::select(int group) {
    atoms(group);
    selected_ = group;
}

const DisorderSelector::AtomList& DisorderSelector::atoms(int group) const {
    const auto found = groups_.find(group);
    if (found == groups_.end()) {
        throw std::invalid_argument("Disorder assembly " + std::to_string(assembly_) +
                                    " has no group " + std::to_string(group));
    }
    return found->second;
}
