// DisorderSelector: the alternative groups of atoms of one disorder assembly, one of them
// chosen.
#pragma once

#include <map>
#include <vector>

#include "host/Atom.h"
#include "host/HostApi.h"
#include "host/THandle.h"

class HOST_API DisorderSelector {
  public:
    using AtomList = std::vector<THandle<Atom>>;

    /// The atoms of each group (non-zero group numbers); the first group is chosen.
    /// Throws std::invalid_argument when there is no group.
    DisorderSelector(int assembly, const std::map<int, AtomList>& groups);

    int assembly() const { return assembly_; }
    /// The group numbers, ascending.
    std::vector<int> groups() const;
    int selected_group() const { return selected_; }
    /// Throws std::invalid_argument for a group the assembly does not have.
    void select(int group);
    const AtomList& atoms(int group) const;
    const AtomList& selected_atoms() const { return atoms(selected_); }

  private:
    int assembly_;
    std::map<int, AtomList> groups_;
    int selected_;
};
