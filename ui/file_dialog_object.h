// The platform's open and save dialogs behind narrow (GBK) text. The object is never attached to
// a window: it keeps one dialog record for its whole life, and every string the record points
// to in a heap block of its own, each in a typed owner of the object's block. The record's
// address is also published under "pOpenFileName" in the property set, which owns nothing.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <string_view>

#include "ui/text.h"
#include "ui/window_object.h"

namespace iconvale {

inline constexpr std::string_view kOpenFileNameProperty = "pOpenFileName";

class FileDialogObject : public WindowObject {
public:
    FileDialogObject();  // set up with every argument omitted

    // Prepares the next dialog. The filter separates names and patterns with '|', as in
    // "组(*.eil)|*.eil|所有文件(*.*)|*.*"; OFN_EXPLORER is always added to `flags`.
    void SetUp(DWORD flags = 0, std::string_view title = {}, std::string_view initialFile = {},
               std::string_view filter = {}, int filterIndex = 0, std::string_view initialDir = {},
               std::string_view defaultExt = {});

    // Modal; true when the user confirmed a file.
    bool ShowOpen(HWND owner = nullptr);
    bool ShowSave(HWND owner = nullptr);

    // The confirmed file, terminator included; empty unless the last show confirmed one. With
    // OFN_ALLOWMULTISELECT, each full path followed by CR LF.
    WideText GetPathW() const;
    std::string GetPath() const;
    // As set up, or as the user left it in a confirmed dialog.
    int GetFilterIndex() const;

    const OPENFILENAMEW* Record() const;

private:
    class DialogCore;
    bool Show(BOOL(WINAPI* run)(LPOPENFILENAMEW), HWND owner);
};

}  // namespace iconvale
