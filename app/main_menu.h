// The main window's menu bar, read from the resources, and its shortcut keys.
#pragma once

#include <windows.h>

#include "app/commands.h"
#include "ui/win_handles.h"

namespace iconvale {

// Position of the "编辑(&E)" menu in the bar; the icon list pops it up on a right click.
inline constexpr int kEditMenuPosition = 1;

// Position of "视图(&V)", the last menu of the bar.
inline constexpr int kViewMenuPosition = 4;

// The menu bar of the resources in the current language; null when it is missing.
UniqueMenu BuildMenuBar();
UniqueAccelerators BuildAccelerators();

}  // namespace iconvale
