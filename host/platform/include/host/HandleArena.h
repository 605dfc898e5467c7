// HandleArena: small blocks cut from aligned slabs for the many small objects one read makes
// (its items and the nodes of its blocks' write orders), and the allocator that draws on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/HostApi.h"

namespace cif::detail {

/// Blocks of up to largest_block bytes, in multiples of 8, come from slabs of slab_size bytes
/// aligned to their size, so that a block finds its arena from its address alone (of()).
/// Given-back blocks are kept on free lists by size for the next request. The arena frees its
/// slabs when its last holder has let go and every block has come back. Not thread-safe: an
/// arena, its holders and the objects in it are used by one thread at a time.
class HOST_API HandleArena {
  public:
    static constexpr std::size_t slab_size = 64 * 1024;
    static constexpr std::size_t largest_block = 256;

    /// A new arena with one holder: the caller.
    static HandleArena* create() { return new HandleArena; }
    void hold() noexcept { ++holders_; }
    void let_go() noexcept {
        if (--holders_ == 0 && live_ == 0) destroy();
    }

    /// `bytes` at most largest_block.
    void* allocate(std::size_t bytes) {
        const std::size_t size_class = class_of(bytes);
        const std::size_t size = size_class * 8;
        void* block;
        if (FreeBlock* free = free_[size_class]) {
            free_[size_class] = free->next;
            block = free;
        } else if (static_cast<std::size_t>(end_ - next_) >= size) {
            block = next_;
            next_ += size;
        } else {
            block = allocate_in_new_slab(size);
        }
        ++live_;
        return block;
    }
    void deallocate(void* block, std::size_t bytes) noexcept {
        const std::size_t size_class = class_of(bytes);
        free_[size_class] = ::new (block) FreeBlock{free_[size_class]};
        if (--live_ == 0 && holders_ == 0) destroy();
    }

    /// The arena a block was allocated from.
    static HandleArena& of(const void* block) noexcept {
        const auto slab = reinterpret_cast<std::uintptr_t>(block) & ~(slab_size - 1);
        return *reinterpret_cast<const SlabHeader*>(slab)->arena;
    }

  private:
    struct SlabHeader {
        HandleArena* arena;
    };
    struct FreeBlock {
        FreeBlock* next;
    };

    HandleArena() = default;
    ~HandleArena();
    HandleArena(const HandleArena&) = delete;
    HandleArena& operator=(const HandleArena&) = delete;

    static std::size_t class_of(std::size_t bytes) noexcept { return (bytes + 7) / 8; }
    void* allocate_in_new_slab(std::size_t size);
    // Out of line, so that the compiler does not take a last let_go inlined beside a live
    // holder for a use after free.
    void destroy() noexcept;

    std::vector<void*> slabs_;     // runs of slabs, as allocated
    std::size_t run_slabs_ = 0;    // in the last run
    std::size_t spare_slabs_ = 0;  // of it, not yet begun
    char* next_slab_ = nullptr;
    char* next_ = nullptr;
    char* end_ = nullptr;
    FreeBlock* free_[largest_block / 8 + 1] = {};
    std::size_t live_ = 0;
    int holders_ = 1;
};

/// An allocator over an arena's blocks for containers of one node at a time (std::list);
/// without an arena, or for larger requests, it takes the heap. Each copy holds the arena.
template <class T>
class ArenaAllocator {
  public:
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;

    ArenaAllocator() noexcept = default;
    explicit ArenaAllocator(HandleArena* arena) noexcept : arena_(arena) { hold(); }
    template <class U>
    ArenaAllocator(const ArenaAllocator<U>& other) noexcept : arena_(other.arena()) {
        hold();
    }
    ArenaAllocator(const ArenaAllocator& other) noexcept : arena_(other.arena_) { hold(); }
    ArenaAllocator& operator=(const ArenaAllocator& other) noexcept {
        ArenaAllocator copy(other);
        std::swap(arena_, copy.arena_);
        return *this;
    }
    ~ArenaAllocator() {
        if (arena_ != nullptr) arena_->let_go();
    }

    HandleArena* arena() const noexcept { return arena_; }

    T* allocate(std::size_t n) {
        if (in_arena(n)) return static_cast<T*>(arena_->allocate(sizeof(T)));
        return static_cast<T*>(::operator new(n * sizeof(T)));
    }
    void deallocate(T* block, std::size_t n) noexcept {
        if (in_arena(n)) {
            arena_->deallocate(block, sizeof(T));
        } else {
            ::operator delete(block);
        }
    }

    template <class U>
    bool operator==(const ArenaAllocator<U>& other) const noexcept {
        return arena_ == other.arena();
    }
    template <class U>
    bool operator!=(const ArenaAllocator<U>& other) const noexcept {
        return arena_ != other.arena();
    }

  private:
    static_assert(alignof(T) <= 8, "arena blocks are aligned to 8 bytes");

    bool in_arena(std::size_t n) const noexcept {
        return arena_ != nullptr && n == 1 && sizeof(T) <= HandleArena::largest_block;
    }
    void hold() noexcept {
        if (arena_ != nullptr) arena_->hold();
    }

    HandleArena* arena_ = nullptr;
};

}  // namespace cif::detail
