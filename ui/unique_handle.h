// Move-only owners for platform handles. Each named owner ties a handle to the one call that
// releases it; none converts to the raw handle by itself, so a release is never skipped by
// accident and a handle is never released twice.
#pragma once

#include <utility>

namespace iconvale {

// Traits supply `using Handle = ...;`, `static Handle Invalid()` and `static void Close(Handle)`.
// Traits that also supply `static void Count(long change)` count the handles their owners hold:
// +1 when an owner takes a valid handle, -1 when it closes the handle or gives it up.
template <typename Traits>
inline constexpr bool kCountsHandles = requires { Traits::Count(1L); };

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;
    using HandleTraits = Traits;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : handle_(h) { Count(h, +1); }
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
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
        Count(h, +1);
        if (old != Traits::Invalid()) {
            Traits::Close(old);
            Count(old, -1);
        }
    }
    [[nodiscard]] Handle release() {
        Handle h = std::exchange(handle_, Traits::Invalid());
        Count(h, -1);
        return h;
    }

    // For out-parameters: releases what is held and hands out the slot to fill.
    Handle* put() {
        static_assert(!kCountsHandles<Traits>, "a counting owner would miss what the slot gets");
        reset();
        return &handle_;
    }

private:
    static void Count(Handle h, long change) {
        if constexpr (kCountsHandles<Traits>) {
            if (h != Traits::Invalid()) Traits::Count(change);
        }
    }

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
