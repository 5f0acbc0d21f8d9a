// Keeps the release of Alt after an accelerator chord (Alt+Up) from opening the menu bar.
//
// The default window procedure opens the menu bar when Alt goes up, unless another key went
// down while Alt was held. Windows keeps that note itself; Wine's keeps it from the key messages
// that reach it, and an accelerator takes the chord's key before it does, so under Wine the
// release of Alt after Alt+Up opened the menu bar and the next keys (Ctrl+S) went to the menu.
// The message loop shows every message to this filter: after a chord that an accelerator took,
// the release of that Alt is held back, while a plain press and release of Alt goes through and
// opens the menu bar as before.
#pragma once

#include <windows.h>

namespace iconvale {

class AltChordFilter {
public:
    // Before the message is translated: true for the release of an Alt whose chord an
    // accelerator took, which is then not dispatched.
    bool HoldsBack(const MSG& message) {
        if (message.wParam != VK_MENU && message.wParam != VK_LMENU && message.wParam != VK_RMENU) {
            return false;
        }
        switch (message.message) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                if (!(HIWORD(message.lParam) & KF_REPEAT)) chordTaken_ = false;  // a new press
                return false;
            case WM_KEYUP:
            case WM_SYSKEYUP: {
                const bool taken = chordTaken_;
                chordTaken_ = false;
                return taken;
            }
            default:
                return false;
        }
    }

    // An accelerator took this message.
    void Translated(const MSG& message) {
        if (message.message == WM_SYSKEYDOWN && (HIWORD(message.lParam) & KF_ALTDOWN)) {
            chordTaken_ = true;
        }
    }

private:
    bool chordTaken_ = false;
};

}  // namespace iconvale
