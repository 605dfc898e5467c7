// THandle: the reference-counted handle through which every model object is owned.
#pragma once

#include <cstddef>
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

/// Shared ownership of a heap object with a separately allocated, non-atomic count.
/// A handle of a derived class converts to a handle of its base sharing the same count,
/// and the object is deleted through its (virtual) destructor with the last handle.
template <class T>
class THandle {
  public:
    THandle() noexcept = default;
    THandle(std::nullptr_t) noexcept {}
    explicit THandle(T* object) : object_(object) {
        if (object_ == nullptr) return;
        try {
            count_ = new int(1);
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
    int count() const noexcept { return count_ == nullptr ? 0 : *count_; }

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

    void retain() noexcept {
        if (count_ != nullptr) ++*count_;
    }
    void release() noexcept {
        if (count_ != nullptr && --*count_ == 0) destroy(object_, count_);
    }
    // Out of line, so that the compiler does not take the last release, inlined beside a
    // live copy, for a use after free.
    __attribute__((noinline)) static void destroy(T* object, int* count) noexcept {
        delete count;
        delete object;
    }

    T* object_ = nullptr;
    int* count_ = nullptr;
};
