// Move-only owners for platform handles. Each named owner ties a handle to the one call that
// releases it; none converts to the raw handle by itself, so a release is never skipped by
// accident and a handle is never released twice.
#pragma once

#include <utility>

namespace iconvale {

// Traits supply `using Handle = ...;`, `static Handle Invalid()` and `static void Close(Handle)`.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Invalid(); }

    void reset(Handle h = Traits::Invalid()) {
        Handle old = std::exchange(handle_, h);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    [[nodiscard]] Handle release() { return std::exchange(handle_, Traits::Invalid()); }

    // For out-parameters: releases what is held and hands out the slot to fill.
    Handle* put() {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Invalid();
};

// Runs a callable when the scope ends, unless dismissed.
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() {
        if (armed_) f_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    void Dismiss() { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};

}  // namespace iconvale
