// Named owners for the platform handles the program holds.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include <utility>

#include "ui/unique_handle.h"

namespace iconvale {

template <typename H, auto CloseFn>
struct NullHandleTraits {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseFn(h); }
};

using UniqueIcon = UniqueHandle<NullHandleTraits<HICON, &::DestroyIcon>>;
using UniqueBitmap = UniqueHandle<NullHandleTraits<HBITMAP, &::DeleteObject>>;
using UniqueBrush = UniqueHandle<NullHandleTraits<HBRUSH, &::DeleteObject>>;
using UniqueMemoryDc = UniqueHandle<NullHandleTraits<HDC, &::DeleteDC>>;  // CreateCompatibleDC
using UniqueImageList = UniqueHandle<NullHandleTraits<HIMAGELIST, &::ImageList_Destroy>>;
using UniqueRegKey = UniqueHandle<NullHandleTraits<HKEY, &::RegCloseKey>>;
using UniqueMenu = UniqueHandle<NullHandleTraits<HMENU, &::DestroyMenu>>;
using UniqueAccelerators = UniqueHandle<NullHandleTraits<HACCEL, &::DestroyAcceleratorTable>>;
using UniqueHGlobal = UniqueHandle<NullHandleTraits<HGLOBAL, &::GlobalFree>>;

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
using UniqueFile = UniqueHandle<FileHandleTraits>;

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
