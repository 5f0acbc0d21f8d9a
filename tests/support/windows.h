// Helpers for tests that drive real windows.
#pragma once

#include <windows.h>

#include <string>

namespace iconvale::testing {

// Handles every message waiting for this thread.
void PumpMessages();

// The window's text, or a control's, as GBK.
std::string WindowText(HWND window);

RECT WindowRectOf(HWND window);
// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);

}  // namespace iconvale::testing
