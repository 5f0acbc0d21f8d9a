#include "app/shell.h"

#include "app/command_line.h"
#include "app/document_files.h"
#include "app/drop_target.h"
#include "app/settings_file.h"
#include "ui/text.h"

namespace iconvale {

Shell::Shell(Program& program, ShellOptions options)
    : program_(program), options_(std::move(options)), window_(program.openGroup()) {
    if (options_.settingsPath.empty()) options_.settingsPath = SettingsFilePath();
}

Shell::~Shell() = default;

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
    return 0;
}

void Shell::OnCreated() {
    dropTarget_.reset(new FileDropTarget([this](const std::string& paths) { OnFilesDropped(paths); }));
    ::RegisterDragDrop(window_.iconList(), dropTarget_.get());
    program_.app().Initialise();
    window_.LoadToolbarImages();

    RememberedChoices choices = LoadRememberedChoices(options_.settingsPath);
    program_.values.pictureFilterIndex = choices.pictureFilterIndex;
    program_.values.groupFilterIndex = choices.groupFilterIndex;
    program_.values.autoSegmentation = choices.autoSegmentation;
    window_.SetAutoSegmentMark(program_.values.autoSegmentation == 1);

    OpenCommandLineFile();
}

void Shell::OpenCommandLineFile() {
    std::vector<std::string> arguments = SplitCommandLine(options_.commandLine);
    if (arguments.size() != 1) return;
    program_.values.currentPath = arguments[0];
    if (OpenGroupFrom(program_.openGroup(), program_.values.currentPath)) {
        window_.AttachImages(program_.openGroup().GetHandle());
    }
    window_.RebuildIconList();
    window_.UpdateStatusBar(program_.values.currentPath);
}

bool Shell::OnCloseQuery() { return true; }

void Shell::OnDestroying() {
    ::RevokeDragDrop(window_.iconList());
    dropTarget_.reset();
    // The list must not draw from the group's image list once that is gone.
    window_.AttachImages(nullptr);
    program_.openGroup().Destroy();
    SaveRememberedChoices(options_.settingsPath,
                          {program_.values.pictureFilterIndex, program_.values.groupFilterIndex,
                           program_.values.autoSegmentation});
    if (quitOnDestroy_) ::PostQuitMessage(0);
}

void Shell::OnFilesDropped(const std::string&) {
    // Dropped pictures are imported once picture import exists.
}

void Shell::ToggleAutoSegmentation() {
    bool marked = !window_.AutoSegmentMarked();
    window_.SetAutoSegmentMark(marked);
    program_.values.autoSegmentation = marked ? 1 : 0;
}

void Shell::WireCommands() {
    window_.SetCommandHandler(Command::AutoSegment, [this] { ToggleAutoSegmentation(); });
    window_.SetCommandHandler(Command::Exit, [this] { ::DestroyWindow(window_.hwnd()); });
}

}  // namespace iconvale
