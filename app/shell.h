// The running program around its main window: what happens when the window has been created,
// when it is asked to close and while it is destroyed, and the routing of its commands.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>

#include "app/document_commands.h"
#include "app/exchange_commands.h"
#include "app/extraction.h"
#include "app/main_window.h"
#include "app/picture_import.h"
#include "app/program.h"
#include "ui/modal_ui.h"
#include "ui/win_handles.h"

namespace iconvale {

struct ShellOptions {
    std::string commandLine;   // the whole line, program name first (GBK)
    std::string settingsPath;  // empty: seting.ini beside the program
};

class Shell {
public:
    Shell(Program& program, ModalUi& ui, ShellOptions options);
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // Creates the main window; its creation handler runs before this returns.
    bool Start(HINSTANCE instance, int showCommand);
    // Runs the message loop until it ends, normally when the main window is gone; shortcut keys
    // go to the window. The window is destroyed before this returns, whatever ended the loop.
    int RunMessageLoop();

    MainWindow& mainWindow() { return window_; }
    DocumentCommands& document() { return document_; }
    PictureImport& pictures() { return pictures_; }
    ExchangeCommands& exchange() { return exchange_; }
    // Whether the destroy handler posts WM_QUIT (the program does; tests need not).
    void SetQuitOnDestroy(bool quit) { quitOnDestroy_ = quit; }

private:
    void OnCreated();
    bool OnCloseQuery();
    void OnDestroying();
    void OnFilesDropped(const std::string& paths);
    void WireCommands();
    void WireViewCommands();
    void ToggleAutoSegmentation();
    void OpenCommandLineFile();
    void Exit();
    void ShowSettings();
    void ShowAbout();

    Program& program_;
    ModalUi& ui_;
    ShellOptions options_;
    MainWindow window_;
    DocumentCommands document_;
    PictureImport pictures_;
    Extraction extraction_;
    ExchangeCommands exchange_;
    ComPtr<IDropTarget> dropTarget_;
    bool quitOnDestroy_ = true;
};

// The program's life once its objects are built: the main window, the message loop, the
// window's destruction and then the shut-down routine, in that order. Returns the exit code.
int RunProgram(Program& program, ModalUi& ui, ShellOptions options, HINSTANCE instance,
               int showCommand);

}  // namespace iconvale
