// Layout is designed at 96 DPI; these scale it to the DPI a window is shown at.
#pragma once

#include <windows.h>

#include "ui/win_handles.h"

namespace iconvale {

inline constexpr UINT kDesignDpi = 96;

// The window's DPI where the platform can tell it (per-monitor aware), else the screen's.
UINT WindowDpi(HWND window);
// The monitor's own DPI where the platform can tell it, else the screen's.
UINT MonitorDpi(HMONITOR monitor);
// What a new top-level window is laid out for: its owner's monitor, or the primary monitor,
// where a window without an owner is centred.
UINT OpeningDpi(HWND owner);

inline int ScaleToDpi(int designPixels, UINT dpi) {
    return ::MulDiv(designPixels, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

// The platform's dialog font at the given DPI; the stock object is made for the screen's.
UniqueFont CreateGuiFont(UINT dpi);

}  // namespace iconvale
