#include "host/HandleArena.h"

#include <algorithm>
#include <cstdlib>

namespace cif::detail {

HandleArena::~HandleArena() {
    for (void* slab : slabs_)
        std::free(slab);
}

void HandleArena::destroy() noexcept {
    delete this;
}

// The rest of the current slab is left unused: blocks are small, so it is a few bytes. Slabs
// are taken from the heap in runs that double up to a mebibyte, so that a small read takes
// one slab and a large one few heap blocks.
void* HandleArena::allocate_in_new_slab(std::size_t size) {
    if (spare_slabs_ == 0) {
        const std::size_t slabs = slabs_.empty() ? 1 : std::min<std::size_t>(16, 2 * run_slabs_);
        slabs_.reserve(slabs_.size() + 1);
        void* run = std::aligned_alloc(slab_size, slabs * slab_size);
        if (run == nullptr) throw std::bad_alloc();
        slabs_.push_back(run);
        run_slabs_ = spare_slabs_ = slabs;
        next_slab_ = static_cast<char*>(run);
    }
    char* slab = next_slab_;
    next_slab_ += slab_size;
    --spare_slabs_;
    ::new (slab) SlabHeader{this};
    // Blocks start past the header, at the next multiple of 16.
    next_ = slab + ((sizeof(SlabHeader) + 15) / 16) * 16;
    end_ = slab + slab_size;
    void* block = next_;
    next_ += size;
    return block;
}

}  // namespace cif::detail
