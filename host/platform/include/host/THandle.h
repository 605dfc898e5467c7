// THandle: the reference-counted handle through which every model object is owned.
#pragma once

#include <cstddef>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

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

/// The non-atomic count of a handle. A joint count heads one allocation that also holds the
/// object (see make_handle), so the last handle ends the object in place and frees the block.
struct Count {
    int handles = 1;
    bool joint = false;
};

}  // namespace cif::detail

template <class T>
class THandle;

template <class T, class... Args>
THandle<T> make_handle(Args&&... args);

/// Shared ownership of a heap object with a non-atomic count, allocated beside the object
/// (make_handle) or separately (a handle made from a pointer). A handle of a derived class
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

    THandle(T* object, cif::detail::Count* count) noexcept : object_(object), count_(count) {}

    void retain() noexcept {
        if (count_ != nullptr) ++count_->handles;
    }
    void release() noexcept {
        if (count_ != nullptr && --count_->handles == 0) destroy(object_, count_);
    }
    // Out of line, so that the compiler does not take the last release, inlined beside a
    // live copy, for a use after free.
    __attribute__((noinline)) static void destroy(T* object, cif::detail::Count* count) noexcept {
        if (count->joint) {
            object->~T();
            count->~Count();
            ::operator delete(static_cast<void*>(count));
        } else {
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
    count->joint = true;
    return THandle<T>(object, count);
}
