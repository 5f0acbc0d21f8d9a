// Layout is designed at 96 DPI; these scale it to the DPI a window is shown at.
#pragma once

#include <windows.h>

namespace iconvale {

inline constexpr UINT kDesignDpi = 96;

// The window's DPI where the platform can tell it (per-monitor aware), else the screen's.
UINT WindowDpi(HWND window);

inline int ScaleToDpi(int designPixels, UINT dpi) {
    return ::MulDiv(designPixels, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

}  // namespace iconvale
