// The running program around its main window: what happens when the window has been created,
// when it is asked to close and while it is destroyed, and the routing of its commands.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <optional>
#include <string>

#include "app/clipboard_commands.h"
#include "app/document_commands.h"
#include "app/document_presenter.h"
#include "app/edit_commands.h"
#include "app/exchange_commands.h"
#include "app/extraction.h"
#include "app/main_window.h"
#include "app/modal_ui.h"
#include "app/picture_import.h"
#include "app/program_objects.h"
#include "app/settings_file.h"
#include "ui/progress_relay.h"
#include "ui/status_bar_progress.h"
#include "ui/win_handles.h"

namespace iconvale {

struct AppHostOptions {
    std::string commandLine;   // the whole line, program name first (GBK)
    std::string settingsPath;  // empty: seting.ini beside the program
};

class AppHost {
public:
    AppHost(ProgramObjects& program, ModalUi& ui, AppHostOptions options);
    AppHost(const AppHost&) = delete;
    AppHost& operator=(const AppHost&) = delete;

    // Creates the main window; its creation handler runs before this returns.
    bool Start(HINSTANCE instance, int showCommand);
    // Runs the message loop until it ends, normally when the main window is gone; shortcut keys
    // go to the window. A window still there afterwards goes with the host.
    int RunMessageLoop();

    MainWindow& mainWindow() { return window_; }
    DocumentCommands& commands() { return parts_->commands; }
    PictureImport& pictures() { return parts_->pictures; }
    ExchangeCommands& exchange() { return parts_->exchange; }
    EditCommands& edit() { return parts_->edit; }
    ClipboardCommands& clipboard() { return parts_->clipboard; }

private:
    // Everything that works on the window, made once the window object exists.
    struct Parts {
        Parts(ProgramObjects& program, MainWindow& window, ModalUi& ui,
              const std::string& settingsPath, ProgressReporter& progress);
        DocumentPresenter presenter;
        DocumentCommands commands;
        PictureImport pictures;
        Extraction extraction;
        ExchangeCommands exchange;
        EditCommands edit;
        ClipboardCommands clipboard;
    };

    void OnCreated();
    bool OnCloseQuery();
    void OnDestroying();
    void OnFilesDropped(const std::string& paths);
    void OnMenuOpening();
    void SwitchLanguage(UiLanguage language);
    void WireCommands();
    void WireViewCommands();
    void WireEditCommands();
    void ToggleAutoSegmentation();
    void OpenCommandLineFile();
    void Exit();
    void ShowSettings();
    void ShowAbout();

    ProgramObjects& program_;
    ModalUi& ui_;
    AppHostOptions options_;
    // As the settings file holds them; written back at close.
    RememberedChoices remembered_;
    // Long work's count goes to the status bar while the window has one.
    ProgressRelay progress_;
    std::optional<StatusBarProgress> statusProgress_;
    std::optional<Parts> parts_;
    ComPtr<IDropTarget> dropTarget_;
    bool inMessageLoop_ = false;
    // Declared last, so that it is destroyed first: its destroy handler uses all of the above.
    MainWindow window_;
};

// The program's life once its objects are built: the main window, the message loop, the
// window's destruction and then the shut-down routine, in that order. Returns the exit code.
int RunProgram(ProgramObjects& program, ModalUi& ui, AppHostOptions options, HINSTANCE instance,
               int showCommand);

}  // namespace iconvale
