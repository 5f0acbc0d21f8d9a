// The user's commands, as menu items, accelerators and toolbar buttons name them.
#pragma once

#include <windows.h>

#include "res/resource_ids.h"

namespace iconvale {

enum class Command : UINT {
    New = IDM_NEW,
    Open = IDM_OPEN,
    Save = IDM_SAVE,
    SaveAs = IDM_SAVE_AS,
    Exit = IDM_EXIT,
    Add = IDM_ADD,
    Replace = IDM_REPLACE,
    Delete = IDM_DELETE,
    Clear = IDM_CLEAR,
    Merge = IDM_MERGE,
    Extract = IDM_EXTRACT,
    AutoSegment = IDM_AUTO_SEGMENT,
    Settings = IDM_SETTINGS,
    About = IDM_ABOUT,
    Import = IDM_IMPORT,
    Export = IDM_EXPORT,
    ZoomActual = IDM_ZOOM_ACTUAL,
    ZoomDouble = IDM_ZOOM_DOUBLE,
    ZoomQuadruple = IDM_ZOOM_QUADRUPLE,
    ZoomIn = IDM_ZOOM_IN,
    ZoomOut = IDM_ZOOM_OUT,
    Checkerboard = IDM_CHECKERBOARD,
    Undo = IDM_UNDO,
    Redo = IDM_REDO,
    MoveUp = IDM_MOVE_UP,
    MoveDown = IDM_MOVE_DOWN,
    Copy = IDM_COPY,
    Paste = IDM_PASTE,
    LanguageChinese = IDM_LANGUAGE_CHINESE,
    LanguageEnglish = IDM_LANGUAGE_ENGLISH,
    WriteBack = IDM_WRITE_BACK,
};

inline constexpr UINT kFirstCommand = static_cast<UINT>(Command::New);
inline constexpr UINT kCommandCount = static_cast<UINT>(Command::WriteBack) - kFirstCommand + 1;

// The handlers are kept in an array indexed from the first command.
static_assert(kCommandCount == 31, "the command numbers must stay one after another");

inline UINT CommandId(Command c) {
    return static_cast<UINT>(c);
}

}  // namespace iconvale
