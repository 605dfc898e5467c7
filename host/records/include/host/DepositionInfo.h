// DepositionInfo: the codes under which a structure was deposited, by kind, in the order
// they were given.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/HostApi.h"

class HOST_API DepositionInfo {
  public:
    enum DepositionType {
        ArchiveNumber = 0,
        FizNumber = 1,
        CcdcNumber = 2,
        ValidationNumber = 3,
        CoeditorCode = 4,
        JournalNumber = 5,
        PdbCode = 6,
        CodNumber = 7,
        IcsdNumber = 8,
        NbsCode = 9,
        MdfCode = 10,
        OrbCode = 11,
    };
    using Entry = std::pair<DepositionType, std::string>;

    /// Sets the text of a kind: replaces it where the kind is held already, else appends.
    void set_text(DepositionType type, const std::string& text) {
        for (Entry& entry : entries_) {
            if (entry.first == type) {
                entry.second = text;
                return;
            }
        }
        entries_.emplace_back(type, text);
    }
    /// The (type, text) pairs in the order they were first set.
    const std::vector<Entry>& entries() const { return entries_; }

  private:
    std::vector<Entry> entries_;
};
