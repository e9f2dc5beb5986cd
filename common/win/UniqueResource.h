// A move-only owner of one platform resource. Traits name the type's
// invalid value and how it is released:
//   struct Traits { static T Invalid(); static void Close(T); };
#pragma once

#include <utility>

template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    UniqueResource() : value_(Traits::Invalid()) {}
    explicit UniqueResource(T value) : value_(value) {}
    UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueResource() { reset(); }

    T get() const { return value_; }
    bool is_valid() const { return value_ != Traits::Invalid(); }
    explicit operator bool() const { return is_valid(); }

    // For out-parameters of creation functions: releases what is held first.
    T* put() {
        reset();
        return &value_;
    }

    T release() {
        T value = value_;
        value_ = Traits::Invalid();
        return value;
    }

    void reset(T value = Traits::Invalid()) {
        if (value_ != Traits::Invalid()) Traits::Close(value_);
        value_ = value;
    }

private:
    T value_;
};
