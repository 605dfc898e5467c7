#include "model/ItemNameIndex.h"

#include "host/TextUtilities.h"
#include "model/CifCharacters.h"

// The slot holding the name, or the empty slot where its probe ends.
namespace cif::detail {

std::size_t ItemNameIndex::slot_of(std::string_view name, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (!slot.used) return i;
        if (slot.hash == hash && CaseInsensitiveStringEquality()((*slot.place)->name(), name)) {
            return i;
        }
    }
}

const ItemNameIndex::Place* ItemNameIndex::find(std::string_view name,
                                                std::uint32_t name_hash) const {
    if (size_ == 0) return nullptr;
    const Slot& slot = slots_[slot_of(name, name_hash)];
    return slot.used ? &slot.place : nullptr;
}

void ItemNameIndex::insert(Place place, std::uint32_t name_hash) {
    if (4 * (size_ + 1) > 3 * slots_.size()) grow();
    put(Slot{place, name_hash, true});
    ++size_;
}

void ItemNameIndex::put(const Slot& slot) {
    slots_[slot_of((*slot.place)->name(), slot.hash)] = slot;
}

void ItemNameIndex::grow() {
    std::vector<Slot> old(slots_.empty() ? 16 : 2 * slots_.size());
    old.swap(slots_);
    for (const Slot& slot : old) {
        if (slot.used) put(slot);
    }
}

// Linear probing without tombstones: the entries after the freed slot that would no longer
// be reached move back into it.
void ItemNameIndex::erase(std::string_view name) {
    if (size_ == 0) return;
    const std::size_t mask = slots_.size() - 1;
    std::size_t hole = slot_of(name, cif::detail::case_folded_hash(name));
    if (!slots_[hole].used) return;
    for (std::size_t i = (hole + 1) & mask; slots_[i].used; i = (i + 1) & mask) {
        const std::size_t home = slots_[i].hash & mask;
        // The entry stays when its home lies cyclically in (hole, i].
        const bool reachable = hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
        if (!reachable) {
            slots_[hole] = slots_[i];
            hole = i;
        }
    }
    slots_[hole] = Slot();
    --size_;
}

void ItemNameIndex::reserve(std::size_t names) {
    if (size_ > 0 || 4 * names <= 3 * slots_.size()) return;
    std::size_t slots = 16;
    while (4 * names > 3 * slots)
        slots *= 2;
    slots_.assign(slots, Slot());
}

void ItemNameIndex::clear() {
    slots_.clear();
    size_ = 0;
}

}  // namespace cif::detail
