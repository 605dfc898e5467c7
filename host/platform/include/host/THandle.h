// THandle: the reference-counted handle through which every model object is owned.
#pragma once

#include <cstddef>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "host/HandleArena.h"
#include "host/HostApi.h"

/// Thrown when an empty handle is dereferenced.
class HOST_API NullHandleError : public std::logic_error {
  public:
    NullHandleError();
};

class HOST_API THandleCommon {
  public:
    /// Reports the dereference of an empty handle; never returns.
    [[noreturn]] static void null_handle_error();
};

namespace cif::detail {

/// The count of a handle. A joint count heads one heap block that also holds the
/// object (make_handle), an arena count one arena block (make_arena_handle), so the last
/// handle ends the object in place and gives back the block.
struct Count {
    enum Kind : unsigned char { Separate, Joint, InArena };
    int handles = 1;
    Kind kind = Separate;
    unsigned short arena_bytes = 0;  // the arena block's size
};

/// Objects of classes derived from this are counted atomically, so that handles to one may be
/// taken and dropped on several threads at once (a dictionary shared by reads on several
/// threads). Everything else keeps the cheaper plain count.
struct CountedAtomically {};

}  // namespace cif::detail

template <class T>
class THandle;

template <class T, class... Args>
THandle<T> make_handle(Args&&... args);
template <class T, class... Args>
THandle<T> make_arena_handle(cif::detail::HandleArena* arena, Args&&... args);

/// Shared ownership of a heap object with a non-atomic count, allocated beside the object
/// (make_handle, or make_arena_handle in an arena block) or separately (a handle made from a
/// pointer). A handle of a derived class
/// converts to a handle of its base sharing the same count, and the object is destroyed
/// through its (virtual) destructor with the last handle.
template <class T>
class THandle {
  public:
    THandle() noexcept = default;
    THandle(std::nullptr_t) noexcept {}
    explicit THandle(T* object) : object_(object) {
        if (object_ == nullptr) return;
        try {
            count_ = new cif::detail::Count;
        } catch (...) {
            delete object_;
            throw;
        }
    }

    THandle(const THandle& other) noexcept : object_(other.object_), count_(other.count_) {
        retain();
    }
    THandle(THandle&& other) noexcept : object_(other.object_), count_(other.count_) {
        other.object_ = nullptr;
        other.count_ = nullptr;
    }
    template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
    THandle(const THandle<U>& other) noexcept : object_(other.object_), count_(other.count_) {
        retain();
    }

    ~THandle() { release(); }

    THandle& operator=(THandle other) noexcept {
        std::swap(object_, other.object_);
        std::swap(count_, other.count_);
        return *this;
    }

    T* operator->() const {
        if (object_ == nullptr) THandleCommon::null_handle_error();
        return object_;
    }
    T& operator*() const { return *operator->(); }

    T* get() const noexcept { return object_; }
    bool is_null() const noexcept { return object_ == nullptr; }
    explicit operator bool() const noexcept { return object_ != nullptr; }
    /// Number of handles sharing the object (0 for an empty handle).
    int count() const noexcept { return count_ == nullptr ? 0 : count_->handles; }

    friend bool operator==(const THandle& a, const T* b) noexcept { return a.object_ == b; }
    friend bool operator!=(const THandle& a, const T* b) noexcept { return a.object_ != b; }
    template <class U>
    friend bool operator==(const THandle& a, const THandle<U>& b) noexcept {
        return a.object_ == b.get();
    }
    template <class U>
    friend bool operator!=(const THandle& a, const THandle<U>& b) noexcept {
        return a.object_ != b.get();
    }

  private:
    template <class U>
    friend class THandle;
    template <class U, class... Args>
    friend THandle<U> make_handle(Args&&... args);
    template <class U, class... Args>
    friend THandle<U> make_arena_handle(cif::detail::HandleArena* arena, Args&&... args);

    THandle(T* object, cif::detail::Count* count) noexcept : object_(object), count_(count) {}

    static constexpr bool counted_atomically() {
        return std::is_base_of<cif::detail::CountedAtomically, T>::value;
    }
    void retain() noexcept {
        if (count_ == nullptr) return;
        if constexpr (counted_atomically()) {
            __atomic_fetch_add(&count_->handles, 1, __ATOMIC_RELAXED);
        } else {
            ++count_->handles;
        }
    }
    void release() noexcept {
        if (count_ == nullptr) return;
        int left;
        if constexpr (counted_atomically()) {
            left = __atomic_sub_fetch(&count_->handles, 1, __ATOMIC_ACQ_REL);
        } else {
            left = --count_->handles;
        }
        if (left == 0) destroy(object_, count_);
    }
    // Out of line, so that the compiler does not take the last release, inlined beside a
    // live copy, for a use after free.
    __attribute__((noinline)) static void destroy(T* object, cif::detail::Count* count) noexcept {
        switch (count->kind) {
            case cif::detail::Count::Joint:
                object->~T();
                count->~Count();
                ::operator delete(static_cast<void*>(count));
                break;
            case cif::detail::Count::InArena: {
                const std::size_t bytes = count->arena_bytes;
                object->~T();
                count->~Count();
                cif::detail::HandleArena::of(count).deallocate(count, bytes);
                break;
            }
            default:
                delete count;
                delete object;
        }
    }

    T* object_ = nullptr;
    cif::detail::Count* count_ = nullptr;
};

/// A handle to a new T built from the arguments, its count and the object in one allocation.
template <class T, class... Args>
THandle<T> make_handle(Args&&... args) {
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "over-aligned types need new");
    // The count comes first, so the block starts where the count does.
    struct Block {
        cif::detail::Count count;
        alignas(T) unsigned char object[sizeof(T)];
    };
    void* memory = ::operator new(sizeof(Block));
    Block* block = static_cast<Block*>(memory);
    T* object;
    try {
        object = ::new (static_cast<void*>(block->object)) T(std::forward<Args>(args)...);
    } catch (...) {
        ::operator delete(memory);
        throw;
    }
    cif::detail::Count* count = ::new (static_cast<void*>(&block->count)) cif::detail::Count;
    count->kind = cif::detail::Count::Joint;
    return THandle<T>(object, count);
}

/// The same in a block of the arena, so that the many small objects of one read cost no heap
/// allocation each; make_handle when there is no arena or the object is too large for one.
template <class T, class... Args>
THandle<T> make_arena_handle(cif::detail::HandleArena* arena, Args&&... args) {
    struct Block {
        cif::detail::Count count;
        alignas(T) unsigned char object[sizeof(T)];
    };
    if (arena == nullptr || sizeof(Block) > cif::detail::HandleArena::largest_block ||
        alignof(Block) > 8) {
        return make_handle<T>(std::forward<Args>(args)...);
    }
    Block* block = static_cast<Block*>(arena->allocate(sizeof(Block)));
    T* object;
    try {
        object = ::new (static_cast<void*>(block->object)) T(std::forward<Args>(args)...);
    } catch (...) {
        arena->deallocate(block, sizeof(Block));
        throw;
    }
    cif::detail::Count* count = ::new (static_cast<void*>(&block->count)) cif::detail::Count;
    count->kind = cif::detail::Count::InArena;
    count->arena_bytes = static_cast<unsigned short>(sizeof(Block));
    return THandle<T>(object, count);
}
