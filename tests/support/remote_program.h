// Runs the real program in a process of its own and works its windows from the test, as a user
// would: commands through the menu's messages, list selections and texts through the controls.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/win_handles.h"

namespace iconvale::testing {

// The built program, next to the tests' build folder.
std::wstring ProgramPath();

class RemoteProgram {
public:
    RemoteProgram() = default;
    ~RemoteProgram();
    RemoteProgram(const RemoteProgram&) = delete;
    RemoteProgram& operator=(const RemoteProgram&) = delete;

    // Starts the program with a command line (after its name) and waits for its main window.
    bool Start(const std::wstring& arguments);

    HWND mainWindow() const { return main_; }
    HWND Child(const wchar_t* className) const;  // the first child of that class
    // A visible top-level window of the program with this caption (GBK), waited for.
    HWND WaitForWindow(const std::string& caption, DWORD timeoutMs = 10000) const;
    // The same for a dialog box (message boxes and the common dialogs are of this class).
    HWND WaitForDialog(const std::string& caption, DWORD timeoutMs = 10000) const;
    // A visible dialog of the program with a child that shows this text (GBK), waited for.
    HWND WaitForDialogShowing(const std::string& text, DWORD timeoutMs = 10000) const;
    bool WaitForWindowGone(HWND window, DWORD timeoutMs = 10000) const;

    void Command(UINT id) const;  // as if a menu item was chosen
    // Selects exactly these items of a list view of the program.
    bool SelectItems(HWND list, const std::vector<int>& items) const;
    int ItemCount(HWND list) const;
    std::string StatusText(int pane) const;

    bool WaitForExit(DWORD timeoutMs);

private:
    HWND Wait(const std::string& caption, const wchar_t* className, DWORD timeoutMs,
              const std::string& childText = {}) const;

    UniqueFile process_;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
};

// A file dialog is hidden some time before the call that showed it returns, so a file that
// the command writes afterwards is waited for.
bool WaitForFile(const std::string& path, DWORD timeoutMs = 10000);

// Types a full path into a file dialog of the program and confirms it. Wine's dialog types into
// an edit inside a ComboBoxEx32 that carries the file-name box's id; it also has a toolbar with
// the OK button's id, so the button is looked up by its class.
void ChooseInFileDialog(HWND dialog, const std::string& path);

}  // namespace iconvale::testing
