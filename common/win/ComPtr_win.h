// A COM interface pointer that releases what it holds: the one owner of
// COM references in the launcher's own code.
#pragma once

#include <unknwn.h>

#include <utility>

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // For out-parameters: releases what is held first.
    T** put() {
        reset();
        return &pointer_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }

    void reset() {
        if (pointer_) std::exchange(pointer_, nullptr)->Release();
    }

    // QueryInterface into another owner; false when the interface is missing.
    template <typename U>
    bool As(ComPtr<U>& out) const {
        return pointer_ && SUCCEEDED(pointer_->QueryInterface(__uuidof(U), out.put_void())) && out;
    }

private:
    T* pointer_ = nullptr;
};
