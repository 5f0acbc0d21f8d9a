// The platform's wait cursor for the life of the object; the previous cursor comes back after.
#pragma once

#include <windows.h>

namespace iconvale {

class WaitCursor {
public:
    WaitCursor() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { Restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    // Puts the previous cursor back and moves the pointer to where it is, so that the window
    // under it repaints it. Only the first call does anything.
    void Restore() {
        if (restored_) return;
        restored_ = true;
        ::SetCursor(previous_);
        POINT at{};
        if (::GetCursorPos(&at)) ::SetCursorPos(at.x, at.y);
    }

private:
    HCURSOR previous_;
    bool restored_ = false;
};

}  // namespace iconvale
