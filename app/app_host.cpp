#include "app/app_host.h"

#include "app/file_association.h"
#include "app/program_paths.h"
#include "app/drop_target.h"
#include "imaging/extraction_formats.h"
#include "ui/alt_chord_filter.h"
#include "ui/command_line.h"
#include "ui/text.h"

namespace iconvale {

namespace {

bool FocusIsEditBox() {
    wchar_t className[16] = {};
    HWND focus = ::GetFocus();
    return focus && ::GetClassNameW(focus, className, 16) > 0 &&
           ::lstrcmpiW(className, L"Edit") == 0;
}

std::string ResolvedSettingsPath(const std::string& given) {
    return given.empty() ? SettingsFilePath() : given;
}

}  // namespace

AppHost::Parts::Parts(ProgramObjects& program, MainWindow& window, ModalUi& ui,
                      const std::string& settingsPath, ProgressReporter& progress)
    : presenter(program.document(), window),
      commands(program.document(), program.choices, window, ui, program.fileDialog(), settingsPath,
               progress),
      pictures(program.document(), program.choices, program.scratchPicture(), program.fileDialog(),
               window, ui, commands, progress),
      extraction(program.document(), program.choices, window, ui, FolderOfDocument(settingsPath),
                 {}, progress),
      exchange(program.document(), program.fileDialog(), window, ui, commands),
      edit(program.document(), window, ui),
      clipboard(program.document(), window, ui, commands, pictures) {}

AppHost::AppHost(ProgramObjects& program, ModalUi& ui, AppHostOptions options)
    : program_(program),
      ui_(ui),
      options_{std::move(options.commandLine), ResolvedSettingsPath(options.settingsPath)},
      window_(program.document().group()) {
    parts_.emplace(program_, window_, ui_, options_.settingsPath, progress_);
}

bool AppHost::Start(HINSTANCE instance, int showCommand) {
    // Before the window, whose menu is built in the language chosen.
    SetUiLanguage(LoadUiLanguage(options_.settingsPath));
    WireCommands();
    MainWindow::Events events;
    events.created = [this] { OnCreated(); };
    events.closeQuery = [this] { return OnCloseQuery(); };
    events.destroying = [this] { OnDestroying(); };
    events.filesDropped = [this](const std::string& paths) { OnFilesDropped(paths); };
    events.menuOpening = [this] { OnMenuOpening(); };
    events.itemsDropped = [this](const std::vector<int>& selected, int gap) {
        parts_->edit.MoveTo(selected, gap);
    };
    if (!window_.Create(instance, std::move(events))) return false;
    window_.Show(showCommand);
    return true;
}

int AppHost::RunMessageLoop() {
    inMessageLoop_ = true;
    MSG message;
    AltChordFilter altChords;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (altChords.HoldsBack(message)) continue;
        HWND main = window_.hwnd();
        // An edit box with the focus keeps its own Ctrl+C, Ctrl+V and Del.
        if (main && !FocusIsEditBox() &&
            ::TranslateAcceleratorW(main, window_.accelerators(), &message)) {
            altChords.Translated(message);
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    // A quit posted from outside, or a failed GetMessageW, ends the loop with the window still
    // there; it goes with the host, and no loop is then left to end.
    inMessageLoop_ = false;
    return 0;
}

void AppHost::OnCreated() {
    dropTarget_.reset(
        new FileDropTarget([this](const std::string& paths) { OnFilesDropped(paths); }));
    ::RegisterDragDrop(window_.iconList(), dropTarget_.get());
    program_.platform().Initialise();
    window_.LoadToolbarImages();
    statusProgress_.emplace(window_.statusBar());
    progress_.SetTarget(&*statusProgress_);

    remembered_ = LoadRememberedChoices(options_.settingsPath);
    SessionChoices& choices = program_.choices;
    choices.pictureFilterIndex = remembered_.pictureFilterIndex;
    choices.groupFilterIndex = remembered_.groupFilterIndex;
    // Any value but 0 cuts pictures, yet only 1 marks the menu item; other values are written
    // back as they were read unless the user toggles the item.
    choices.autoSegmentation = remembered_.autoSegmentation != 0;
    window_.SetAutoSegmentMark(remembered_.autoSegmentation == 1);
    window_.SetDisplayOptions(LoadDisplayOptions(options_.settingsPath));
    window_.ShowInLanguage(CurrentUiLanguage());

    OpenCommandLineFile();
}

void AppHost::OpenCommandLineFile() {
    std::vector<std::string> arguments = SplitCommandLine(options_.commandLine);
    if (arguments.size() != 1) return;
    // A file named at start-up that does not open is reported like one chosen in the dialog.
    if (!program_.document().Open(arguments[0], progress_))
        ui_.Fail(window_.hwnd(), kOpenFailedMessage);
}

bool AppHost::OnCloseQuery() {
    return parts_->commands.ConfirmDiscard();
}

void AppHost::Exit() {
    // Asks about unsaved changes exactly as closing through the frame does.
    if (OnCloseQuery()) ::DestroyWindow(window_.hwnd());
}

void AppHost::ShowSettings() {
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

void AppHost::ShowAbout() {
    auto icon = reinterpret_cast<HICON>(::GetClassLongPtrW(window_.hwnd(), GCLP_HICON));
    ui_.ShowAboutDialog(window_.hwnd(), icon);
}

void AppHost::OnDestroying() {
    ::RevokeDragDrop(window_.iconList());
    dropTarget_.reset();
    progress_.SetTarget(nullptr);
    statusProgress_.reset();
    program_.document().Discard();
    program_.scratchPicture().Dispose();
    remembered_.pictureFilterIndex = program_.choices.pictureFilterIndex;
    remembered_.groupFilterIndex = program_.choices.groupFilterIndex;
    SaveRememberedChoices(options_.settingsPath, remembered_);
    SaveDisplayOptions(options_.settingsPath, window_.displayOptions());
    if (inMessageLoop_) ::PostQuitMessage(0);
}

void AppHost::OnFilesDropped(const std::string& paths) {
    parts_->pictures.Drop(paths);
}

void AppHost::SwitchLanguage(UiLanguage language) {
    window_.ShowInLanguage(language);
    SaveUiLanguage(options_.settingsPath, language);
}

void AppHost::OnMenuOpening() {
    window_.EnableCommand(Command::Copy, parts_->clipboard.CanCopy());
    window_.EnableCommand(Command::Paste, ClipboardCommands::CanPaste());
    window_.EnableCommand(Command::WriteBack, parts_->exchange.writeBack().Available());
}

void AppHost::ToggleAutoSegmentation() {
    bool marked = !window_.AutoSegmentMarked();
    window_.SetAutoSegmentMark(marked);
    program_.choices.autoSegmentation = marked;
    remembered_.autoSegmentation = marked ? 1 : 0;
}

void AppHost::WireCommands() {
    DocumentCommands& document = parts_->commands;
    PictureImport& pictures = parts_->pictures;
    Extraction& extraction = parts_->extraction;
    ExchangeCommands& exchange = parts_->exchange;
    window_.SetCommandHandler(Command::AutoSegment, [this] { ToggleAutoSegmentation(); });
    window_.SetCommandHandler(Command::Exit, [this] { Exit(); });
    window_.SetCommandHandler(Command::New, [&document] { document.New(); });
    window_.SetCommandHandler(Command::Open, [&document] { document.Open(); });
    window_.SetCommandHandler(Command::Save, [&document] { document.Save(); });
    window_.SetCommandHandler(Command::SaveAs, [&document] { document.SaveAs(); });
    window_.SetCommandHandler(Command::Delete, [&document] { document.Delete(); });
    window_.SetCommandHandler(Command::Clear, [&document] { document.Clear(); });
    window_.SetCommandHandler(Command::Merge, [&document] { document.Merge(); });
    window_.SetCommandHandler(Command::Add, [&pictures] { pictures.Add(); });
    window_.SetCommandHandler(Command::Extract, [&extraction] { extraction.Extract(); });
    window_.SetCommandHandler(Command::Replace, [&pictures] { pictures.Replace(); });
    window_.SetCommandHandler(Command::Settings, [this] { ShowSettings(); });
    window_.SetCommandHandler(Command::About, [this] { ShowAbout(); });
    window_.SetCommandHandler(Command::Import, [&exchange] { exchange.Import(); });
    window_.SetCommandHandler(Command::LanguageChinese,
                              [this] { SwitchLanguage(UiLanguage::Chinese); });
    window_.SetCommandHandler(Command::LanguageEnglish,
                              [this] { SwitchLanguage(UiLanguage::English); });
    window_.SetCommandHandler(Command::Export, [&exchange] { exchange.Export(); });
    window_.SetCommandHandler(Command::WriteBack,
                              [&exchange] { exchange.writeBack().WriteBack(); });
    WireViewCommands();
    WireEditCommands();
}

void AppHost::WireEditCommands() {
    EditCommands& edit = parts_->edit;
    window_.SetCommandHandler(Command::Undo, [&edit] { edit.Undo(); });
    window_.SetCommandHandler(Command::Redo, [&edit] { edit.Redo(); });
    window_.SetCommandHandler(Command::MoveUp, [&edit] { edit.MoveUp(); });
    window_.SetCommandHandler(Command::MoveDown, [&edit] { edit.MoveDown(); });
    ClipboardCommands& clipboard = parts_->clipboard;
    window_.SetCommandHandler(Command::Copy, [&clipboard] { clipboard.Copy(); });
    window_.SetCommandHandler(Command::Paste, [&clipboard] { clipboard.Paste(); });
}

void AppHost::WireViewCommands() {
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

int RunProgram(ProgramObjects& program, ModalUi& ui, AppHostOptions options, HINSTANCE instance,
               int showCommand) {
    int result = 1;
    {
        AppHost host(program, ui, std::move(options));
        if (host.Start(instance, showCommand)) result = host.RunMessageLoop();
    }
    program.Release();
    return result;
}

}  // namespace iconvale
