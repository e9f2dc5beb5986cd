// The owner of one COM interface pointer: releases what it holds, copies
// add a reference, moves do not.
#pragma once

#include <unknwn.h>

#include <cstddef>
#include <utility>

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference on |p|.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(const ComPtr& other) {
        ComPtr(other).swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).swap(*this);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Takes over a reference that the caller owns (a creation's result).
    static ComPtr Adopt(T* p) {
        ComPtr owner;
        owner.p_ = p;
        return owner;
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    // For out-parameters: releases what is held first.
    T** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }

    T* detach() { return std::exchange(p_, nullptr); }
    void reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    void swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    // The object's interface U, or none.
    template <typename U>
    ComPtr<U> As() const {
        ComPtr<U> out;
        if (p_) p_->QueryInterface(__uuidof(U), out.put_void());
        return out;
    }

    // QueryInterface into |out|; false when the interface is missing.
    template <typename U>
    bool As(ComPtr<U>& out) const {
        out = As<U>();
        return static_cast<bool>(out);
    }

    // Hands out a new reference (for [out] parameters of our own objects).
    T* CopyOut() const {
        if (p_) p_->AddRef();
        return p_;
    }

private:
    T* p_ = nullptr;
};
