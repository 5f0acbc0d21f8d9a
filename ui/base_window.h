// One C++ object per top-level window: the class's static procedure stores the object at
// WM_NCCREATE, forwards every message to its HandleMessage, and forgets it at WM_NCDESTROY.
//
// This is the framework for the program's own windows and dialogs; new windows derive from it.
// The other one, WindowObject (ui/window_object.h, with ui/window_map.h and ui/property_table.h),
// only carries the file dialog object and the folder browser, and takes no new kinds.
#pragma once

#include <windows.h>

namespace iconvale {

template <typename Derived>
class BaseWindow {
public:
    HWND hwnd() const { return hwnd_; }

protected:
    BaseWindow() = default;
    ~BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            self = static_cast<Derived*>(create->lpCreateParams);
            self->hwnd_ = window;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        }
        if (!self) return ::DefWindowProcW(window, message, wParam, lParam);

        LRESULT result = 0;
        try {
            result = self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            // Nothing may unwind through the platform's frames; the message counts as handled.
            result = 0;
        }
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }

private:
    HWND hwnd_ = nullptr;
};

}  // namespace iconvale
