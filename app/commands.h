// The user's commands, as menu items, accelerators and toolbar buttons name them.
#pragma once

#include <windows.h>

namespace iconvale {

enum class Command : UINT {
    New = 1001,
    Open,
    Save,
    SaveAs,
    Exit,
    Add,
    Replace,
    Delete,
    Clear,
    Merge,
    Extract,
    AutoSegment,
    Settings,
    About,
    Import,
    Export,
    ZoomActual,
    ZoomDouble,
    ZoomQuadruple,
    ZoomIn,
    ZoomOut,
    Checkerboard,
    Undo,
    Redo,
    MoveUp,
    MoveDown,
    Copy,
    Paste,
    LanguageChinese,
    LanguageEnglish,
    WriteBack,
};

inline constexpr UINT kFirstCommand = static_cast<UINT>(Command::New);
inline constexpr UINT kCommandCount = static_cast<UINT>(Command::WriteBack) - kFirstCommand + 1;

inline UINT CommandId(Command c) {
    return static_cast<UINT>(c);
}

}  // namespace iconvale
