// The platform's open and save dialogs behind narrow (GBK) text. The object is never attached to
// a window: it keeps one dialog record for its whole life, and every string the record points
// to in a heap block of its own, each in a typed owner of the object's block. The record's
// address is also published under "pOpenFileName" in the property set, which owns nothing.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ui/text.h"
#include "ui/window_object.h"

namespace iconvale {

inline constexpr std::string_view kOpenFileNameProperty = "pOpenFileName";

class FileDialogObject : public WindowObject {
public:
    FileDialogObject();  // set up with every argument omitted

    // Prepares the next dialog. The filter separates names and patterns with '|', as in
    // "组(*.eil)|*.eil|所有文件(*.*)|*.*"; OFN_EXPLORER is always added to `flags`. With
    // OFN_ALLOWMULTISELECT the user may choose many files: the buffer then has room for
    // kMultipleChoiceUnits.
    void SetUp(DWORD flags = 0, std::string_view title = {}, std::string_view initialFile = {},
               std::string_view filter = {}, int filterIndex = 0, std::string_view initialDir = {},
               std::string_view defaultExt = {});

    // Modal; true when the user confirmed a file.
    bool ShowOpen(HWND owner = nullptr);
    bool ShowSave(HWND owner = nullptr);
    // Whether the last show failed because the chosen files did not fit the buffer
    // (FNERR_BUFFERTOOSMALL), which a caller reports rather than taking for a cancel.
    bool ChoiceDidNotFit() const;

    // The confirmed file, terminator included; empty unless the last show confirmed one. With
    // OFN_ALLOWMULTISELECT, each full path followed by CR LF.
    WideText GetPathW() const;
    std::string GetPath() const;
    // Each confirmed file's full path, in the order the dialog gave them; empty unless the last
    // show confirmed some.
    std::vector<std::string> GetPaths() const;
    // As set up, or as the user left it in a confirmed dialog.
    int GetFilterIndex() const;

    const OPENFILENAMEW* Record() const;

    // UTF-16 units of the buffer for several files: thousands of names. Wine copies several
    // chosen files into the buffer without looking at nMaxFile, so it must be generous.
    static constexpr std::size_t kMultipleChoiceUnits = 256 * 1024;

private:
    class DialogCore;
    std::vector<std::wstring> ChosenPathsW() const;
    bool Show(BOOL(WINAPI* run)(LPOPENFILENAMEW), HWND owner);
};

// The full paths in a dialog's file buffer: with several files the folder, then each name,
// NUL-separated and ended by an empty name; with one, its full path, `fileOffset` pointing at
// its name. Empty when it holds no choice: an offset of 0, or one that fits neither form.
std::vector<std::wstring> ChosenPaths(std::wstring_view buffer, std::size_t fileOffset,
                                      bool multiple);

}  // namespace iconvale
