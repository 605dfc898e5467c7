// Internal: ItemNameIndex: the data names of a block, without letter case, each with the item's
// place in the block's write order. An open-addressing hash table: a lookup hashes the name once
// and compares it with an entry or two, and adding a name allocates only when the table
// doubles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <string_view>
#include <vector>

#include "cif/CifDataBlock.h"
#include "host/THandle.h"
#include "model/CifCharacters.h"

namespace cif::detail {

class ItemNameIndex {
  public:
    using Place = CifDataBlock::WriteOrder::iterator;

    /// The place of the item of that name, or nullptr.
    const Place* find(std::string_view name) const { return find(name, case_folded_hash(name)); }
    /// The same, with the name's hash already at hand.
    const Place* find(std::string_view name, std::uint32_t name_hash) const;
    /// Adds the place of an item whose name, of that hash, is not in the index yet.
    void insert(Place place, std::uint32_t name_hash);
    /// Removes the name; nothing when it is absent.
    void erase(std::string_view name);
    void clear();
    /// Room for `names` names without growing; an index holding names keeps its room.
    void reserve(std::size_t names);
    std::size_t size() const { return size_; }

  private:
    struct Slot {
        Place place;
        std::uint32_t hash = 0;
        bool used = false;
    };

    std::size_t slot_of(std::string_view name, std::uint32_t hash) const;
    void grow();
    void put(const Slot& slot);

    // A power of two in size, at most three quarters full (a real block's 70 names take 128
    // slots, not 256); empty until the first name.
    std::vector<Slot> slots_;
    std::size_t size_ = 0;
};

}  // namespace cif::detail
