// Program-wide platform set-up: the window map, GDI+, ActiveX hosting and the common controls,
// done once before any window is made.
#pragma once

#include <windows.h>

#include <optional>

#include "ui/window_object.h"

namespace iconvale {

// The module the program's windows and resources belong to: the one Initialise chose, or the
// executable before Initialise has run.
HINSTANCE ModuleInstance();

class PlatformSetup {
public:
    // Creates the window map unless it exists, starts GDI+ unless this object has, takes the
    // executable as the module instance (or `instance` when given), initialises ActiveX hosting
    // when `activeXMode` is omitted or 1, and registers the common controls of
    // `commonControlClasses` (all by default). Safe to call again. True when the common
    // controls registered.
    bool Initialise(std::optional<HINSTANCE> instance = {}, std::optional<int> activeXMode = {},
                    std::optional<DWORD> commonControlClasses = {});

    ULONG_PTR GdiplusToken() const { return gdiplusToken_; }
    WindowObject& Window() { return window_; }  // never attached

private:
    // GDI+ is not shut down: it ends with the process, after every window that may draw.
    ULONG_PTR gdiplusToken_ = 0;
    WindowObject window_;
};

}  // namespace iconvale
