// The main window's toolbar: six image buttons and three separators, addressed by position.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "app/commands.h"

namespace iconvale {

inline constexpr int kToolbarEntryCount = 9;
// Each entry's control id is this base plus its position, so a click tells its position.
inline constexpr UINT kToolbarIdBase = 2000;

// The command of the entry at a position; none for separators and any other position.
std::optional<Command> CommandAtToolbarPosition(int position);

// Tip text of the entry with the given control id, or nullptr.
const wchar_t* ToolbarTip(UINT controlId);

HWND CreateMainToolbar(HWND parent, UINT dpi);

// Buttons of the designed size, 23 x 22 at 96 DPI, for the DPI the bar is shown at.
void ScaleToolbarButtons(HWND toolbar, UINT dpi);

// Adds the buttons and separators, with their images from `images`.
void FillToolbar(HWND toolbar, HIMAGELIST images);

}  // namespace iconvale
