// The main window's menu bar and its shortcut keys.
#pragma once

#include <windows.h>

#include "app/commands.h"
#include "ui/unique_handle.h"

namespace iconvale {

struct MenuTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyMenu(h); }
};
using UniqueMenu = UniqueHandle<MenuTraits>;

struct AcceleratorTraits {
    using Handle = HACCEL;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyAcceleratorTable(h); }
};
using UniqueAccelerators = UniqueHandle<AcceleratorTraits>;

// Position of the "编辑(&E)" menu in the bar; the icon list pops it up on a right click.
inline constexpr int kEditMenuPosition = 1;

UniqueMenu BuildMenuBar();
UniqueAccelerators BuildAccelerators();

}  // namespace iconvale
