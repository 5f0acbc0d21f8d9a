#include "app/shell.h"

#include "app/command_line.h"
#include "app/file_association.h"
#include "app/program_paths.h"
#include "app/drop_target.h"
#include "app/settings_file.h"
#include "imaging/extraction_formats.h"
#include "ui/text.h"

namespace iconvale {

namespace {

std::string ResolvedSettingsPath(const std::string& given) {
    return given.empty() ? SettingsFilePath() : given;
}

}  // namespace

Shell::Shell(Program& program, ModalUi& ui, ShellOptions options)
    : program_(program),
      ui_(ui),
      options_{std::move(options.commandLine), ResolvedSettingsPath(options.settingsPath)},
      window_(program.openGroup()),
      document_(program, window_, ui, program.fileDialog(), options_.settingsPath),
      pictures_(program, window_, ui, document_),
      extraction_(program, window_, ui, FolderOfDocument(options_.settingsPath)),
      exchange_(program, window_, ui, document_) {}

Shell::~Shell() {
    // The destroy handler needs the document, so the window goes while every member is alive.
    // No loop is left to end then.
    quitOnDestroy_ = false;
    if (window_.hwnd()) ::DestroyWindow(window_.hwnd());
}

bool Shell::Start(HINSTANCE instance, int showCommand) {
    WireCommands();
    MainWindow::Events events;
    events.created = [this] { OnCreated(); };
    events.closeQuery = [this] { return OnCloseQuery(); };
    events.destroying = [this] { OnDestroying(); };
    events.filesDropped = [this](const std::string& paths) { OnFilesDropped(paths); };
    if (!window_.Create(instance, std::move(events))) return false;
    window_.Show(showCommand);
    return true;
}

int Shell::RunMessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND main = window_.hwnd();
        if (main && ::TranslateAcceleratorW(main, window_.accelerators(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    // A quit posted from outside, or a failed GetMessageW, ends the loop with the window still
    // there; its destroy handler must run now, while the program's objects are alive.
    quitOnDestroy_ = false;
    if (window_.hwnd()) ::DestroyWindow(window_.hwnd());
    return 0;
}

void Shell::OnCreated() {
    dropTarget_.reset(
        new FileDropTarget([this](const std::string& paths) { OnFilesDropped(paths); }));
    ::RegisterDragDrop(window_.iconList(), dropTarget_.get());
    program_.app().Initialise();
    window_.LoadToolbarImages();

    RememberedChoices choices = LoadRememberedChoices(options_.settingsPath);
    program_.values.pictureFilterIndex = choices.pictureFilterIndex;
    program_.values.groupFilterIndex = choices.groupFilterIndex;
    program_.values.autoSegmentation = choices.autoSegmentation;
    window_.SetAutoSegmentMark(program_.values.autoSegmentation == 1);
    window_.SetDisplayOptions(LoadDisplayOptions(options_.settingsPath));

    OpenCommandLineFile();
}

void Shell::OpenCommandLineFile() {
    std::vector<std::string> arguments = SplitCommandLine(options_.commandLine);
    if (arguments.size() != 1) return;
    program_.values.currentPath = arguments[0];
    bool opened = document_.OpenGroupFrom(program_.values.currentPath);
    window_.RebuildIconList();
    window_.UpdateStatusBar(program_.values.currentPath);
    // A file named at start-up that does not open is reported like one chosen in the dialog.
    if (!opened) ui_.Fail(window_.hwnd(), kOpenFailedMessage);
}

bool Shell::OnCloseQuery() {
    return document_.ConfirmDiscard();
}

void Shell::Exit() {
    // Asks about unsaved changes exactly as closing through the frame does.
    if (OnCloseQuery()) ::DestroyWindow(window_.hwnd());
}

void Shell::ShowSettings() {
    SettingsDialogHooks hooks;
    hooks.opened = [] { return AssociationExists(); };
    hooks.confirmed = [](bool associate) {
        if (associate) {
            RegisterAssociation("*.eil", "", ProgramFolder() + "\\image.ico", "imagelist");
        } else {
            UnregisterAssociation("*.eil");
        }
    };
    ui_.ShowSettingsDialog(hooks);
}

void Shell::ShowAbout() {
    auto icon = reinterpret_cast<HICON>(::GetClassLongPtrW(window_.hwnd(), GCLP_HICON));
    ui_.ShowAboutDialog(window_.hwnd(), icon);
}

void Shell::OnDestroying() {
    ::RevokeDragDrop(window_.iconList());
    dropTarget_.reset();
    document_.DiscardGroup();
    program_.scratchPicture().Dispose();
    SaveRememberedChoices(options_.settingsPath,
                          {program_.values.pictureFilterIndex, program_.values.groupFilterIndex,
                           program_.values.autoSegmentation});
    SaveDisplayOptions(options_.settingsPath, window_.displayOptions());
    if (quitOnDestroy_) ::PostQuitMessage(0);
}

void Shell::OnFilesDropped(const std::string& paths) {
    pictures_.Drop(paths);
}

void Shell::ToggleAutoSegmentation() {
    bool marked = !window_.AutoSegmentMarked();
    window_.SetAutoSegmentMark(marked);
    program_.values.autoSegmentation = marked ? 1 : 0;
}

void Shell::WireCommands() {
    window_.SetCommandHandler(Command::AutoSegment, [this] { ToggleAutoSegmentation(); });
    window_.SetCommandHandler(Command::Exit, [this] { Exit(); });
    window_.SetCommandHandler(Command::New, [this] { document_.New(); });
    window_.SetCommandHandler(Command::Open, [this] { document_.Open(); });
    window_.SetCommandHandler(Command::Save, [this] { document_.Save(); });
    window_.SetCommandHandler(Command::SaveAs, [this] { document_.SaveAs(); });
    window_.SetCommandHandler(Command::Delete, [this] { document_.Delete(); });
    window_.SetCommandHandler(Command::Clear, [this] { document_.Clear(); });
    window_.SetCommandHandler(Command::Merge, [this] { document_.Merge(); });
    window_.SetCommandHandler(Command::Add, [this] { pictures_.Add(); });
    window_.SetCommandHandler(Command::Extract, [this] { extraction_.Extract(); });
    window_.SetCommandHandler(Command::Replace, [this] { pictures_.Replace(); });
    window_.SetCommandHandler(Command::Settings, [this] { ShowSettings(); });
    window_.SetCommandHandler(Command::About, [this] { ShowAbout(); });
    window_.SetCommandHandler(Command::Import, [this] { exchange_.Import(); });
    window_.SetCommandHandler(Command::Export, [this] { exchange_.Export(); });
    WireViewCommands();
}

void Shell::WireViewCommands() {
    auto change = [this](auto edit) {
        return [this, edit] {
            DisplayOptions options = window_.displayOptions();
            edit(options);
            window_.SetDisplayOptions(options);
        };
    };
    window_.SetCommandHandler(Command::ZoomActual, change([](DisplayOptions& o) { o.zoom = 1; }));
    window_.SetCommandHandler(Command::ZoomDouble, change([](DisplayOptions& o) { o.zoom = 2; }));
    window_.SetCommandHandler(Command::ZoomQuadruple,
                              change([](DisplayOptions& o) { o.zoom = 4; }));
    window_.SetCommandHandler(Command::ZoomIn,
                              change([](DisplayOptions& o) { o.zoom = ZoomedIn(o.zoom); }));
    window_.SetCommandHandler(Command::ZoomOut,
                              change([](DisplayOptions& o) { o.zoom = ZoomedOut(o.zoom); }));
    window_.SetCommandHandler(Command::Checkerboard,
                              change([](DisplayOptions& o) { o.checkerboard = !o.checkerboard; }));
}

int RunProgram(Program& program, ModalUi& ui, ShellOptions options, HINSTANCE instance,
               int showCommand) {
    int result = 1;
    {
        Shell shell(program, ui, std::move(options));
        if (shell.Start(instance, showCommand)) result = shell.RunMessageLoop();
    }
    program.Release();
    return result;
}

}  // namespace iconvale
