// Named owners for the platform handles the program holds.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include <atomic>
#include <utility>

#include "ui/unique_handle.h"

namespace iconvale {

template <typename H, auto CloseFn>
struct NullHandleTraits {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseFn(h); }
};

// The named owners below count the handles they hold, for the leak checks: the platform's own
// per-process GDI and USER counts are not available everywhere.
template <typename H, auto CloseFn>
struct CountedHandleTraits : NullHandleTraits<H, CloseFn> {
    static void Count(long change) { live.fetch_add(change, std::memory_order_relaxed); }
    static inline std::atomic<long> live{0};
};

using UniqueIcon = UniqueHandle<CountedHandleTraits<HICON, &::DestroyIcon>>;
using UniqueBitmap = UniqueHandle<CountedHandleTraits<HBITMAP, &::DeleteObject>>;
using UniqueBrush = UniqueHandle<CountedHandleTraits<HBRUSH, &::DeleteObject>>;
using UniqueMemoryDc = UniqueHandle<CountedHandleTraits<HDC, &::DeleteDC>>;  // CreateCompatibleDC
using UniqueImageList = UniqueHandle<CountedHandleTraits<HIMAGELIST, &::ImageList_Destroy>>;
using UniqueRegKey = UniqueHandle<CountedHandleTraits<HKEY, &::RegCloseKey>>;
using UniqueMenu = UniqueHandle<CountedHandleTraits<HMENU, &::DestroyMenu>>;
using UniqueAccelerators = UniqueHandle<CountedHandleTraits<HACCEL, &::DestroyAcceleratorTable>>;
using UniqueHGlobal = UniqueHandle<CountedHandleTraits<HGLOBAL, &::GlobalFree>>;
using UniqueFont = UniqueHandle<CountedHandleTraits<HFONT, &::DeleteObject>>;

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
    static void Count(long change) { live.fetch_add(change, std::memory_order_relaxed); }
    static inline std::atomic<long> live{0};
};
using UniqueFile = UniqueHandle<FileHandleTraits>;

// How many handles the owners of that type hold now, e.g. LiveHandleCount<UniqueBitmap>().
template <typename Owner>
long LiveHandleCount() {
    return Owner::HandleTraits::live.load(std::memory_order_relaxed);
}

// The counts of every counting owner at one moment.
struct LiveHandles {
    long icons = 0, bitmaps = 0, brushes = 0, memoryDcs = 0, imageLists = 0;
    long regKeys = 0, menus = 0, accelerators = 0, globals = 0, files = 0, fonts = 0;
    bool operator==(const LiveHandles&) const = default;
};

inline LiveHandles LiveHandlesNow() {
    return {LiveHandleCount<UniqueIcon>(),      LiveHandleCount<UniqueBitmap>(),
            LiveHandleCount<UniqueBrush>(),     LiveHandleCount<UniqueMemoryDc>(),
            LiveHandleCount<UniqueImageList>(), LiveHandleCount<UniqueRegKey>(),
            LiveHandleCount<UniqueMenu>(),      LiveHandleCount<UniqueAccelerators>(),
            LiveHandleCount<UniqueHGlobal>(),   LiveHandleCount<UniqueFile>(),
            LiveHandleCount<UniqueFont>()};
}

// A screen or window DC from GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a DC for a scope; the previous object is selected back at the end.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    explicit operator bool() const { return previous_ && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A COM interface pointer released at the end of its life.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : p_(p) {}
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) reset(std::exchange(other.p_, nullptr));
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset(T* p = nullptr) {
        if (p_) p_->Release();
        p_ = p;
    }
    T** put() {
        reset();
        return &p_;
    }

private:
    T* p_ = nullptr;
};

}  // namespace iconvale
