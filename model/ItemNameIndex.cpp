#include "cif/ItemNameIndex.h"

#include <cstring>

#include "host/TextUtilities.h"

namespace {

constexpr std::uint64_t ones = 0x0101010101010101u;

// The eight bytes with ASCII capitals lower-cased and every other byte as it was.
std::uint64_t lower_case_bytes(std::uint64_t bytes) {
    const std::uint64_t low7 = bytes & (0x7f * ones);
    const std::uint64_t at_least_a = low7 + (0x80 - 'A') * ones;
    const std::uint64_t above_z = low7 + (0x80 - 'Z' - 1) * ones;
    const std::uint64_t capitals = at_least_a & ~above_z & ~bytes & (0x80 * ones);
    return bytes | (capitals >> 2);
}

std::uint64_t mix(std::uint64_t h, std::uint64_t word) {
    h = (h ^ word) * 0x9e3779b97f4a7c15u;
    return h ^ (h >> 32);
}

}  // namespace

std::uint32_t ItemNameIndex::hash(std::string_view name) {
    std::uint64_t h = name.size();
    const char* p = name.data();
    std::size_t left = name.size();
    for (; left >= 8; p += 8, left -= 8) {
        std::uint64_t bytes;
        std::memcpy(&bytes, p, 8);
        h = mix(h, lower_case_bytes(bytes));
    }
    if (left > 0) {
        std::uint64_t bytes = 0;
        for (std::size_t i = 0; i < left; ++i)
            bytes |= std::uint64_t(static_cast<unsigned char>(p[i])) << (8 * i);
        h = mix(h, lower_case_bytes(bytes));
    }
    return static_cast<std::uint32_t>(h ^ (h >> 29));
}

// The slot holding the name, or the empty slot where its probe ends.
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
    if (2 * (size_ + 1) > slots_.size()) grow();
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
    std::size_t hole = slot_of(name, hash(name));
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

void ItemNameIndex::clear() {
    slots_.clear();
    size_ = 0;
}
