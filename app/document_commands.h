// The commands that create, open, save, clear, thin out and merge the document, with the
// save-changes check that guards New, Open and closing.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>

#include "app/document.h"
#include "app/document_view.h"
#include "app/modal_ui.h"
#include "app/session_choices.h"
#include "ui/progress_reporter.h"

namespace iconvale {

class FileDialogObject;

class DocumentCommands {
public:
    // `progress` counts the loading of a group that is opened or merged.
    DocumentCommands(Document& document, SessionChoices& choices, DocumentView& view, ModalUi& ui,
                     FileDialogObject& dialog, std::string settingsPath,
                     ProgressReporter& progress = NoProgress());

    // True to go on; false stops the command that asked (and keeps the window open).
    bool ConfirmDiscard();
    // The same question before a command that puts something else in the group's place as an
    // undo step: "否" keeps the group and its changes, for that command to replace once it works.
    bool ConfirmReplace();
    // Appends the file's images, scaled to the cells; false when it is no group file.
    bool MergeGroupFrom(const std::string& path);

    void New();
    void Open();
    void Save();
    void SaveAs();
    void Clear();
    void Delete();
    void Merge();
    // The new-group dialog's OK: true when the group was made and the dialog may close.
    bool CreateFromDialog(const NewGroupInputs& inputs);

private:
    bool RequireGroup();
    bool AskToSave(bool discardOnNo);
    std::optional<FileChoice> ChooseGroupFile(const char* title, DWORD flags, FileDialogKind kind);
    void SaveFailed();

    Document& document_;
    SessionChoices& choices_;
    DocumentView& view_;
    ModalUi& ui_;
    FileDialogObject& dialog_;
    std::string settingsPath_;
    ProgressReporter& progress_;
    // The group the new-group dialog made, waiting for the dialog to close.
    std::optional<ImageGroup> made_;
};

// The image-group dialogs' filter, and the fixed texts the commands show.
inline constexpr char kGroupFilter[] = "易图片组(*.eil)|*.eil|所有文件(*.*)|*.*";
inline constexpr DWORD kGroupDialogFlags =
    OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
inline constexpr char kNoGroupMessage[] = "请先新建或打开一个图片组！";
inline constexpr char kSaveFailedMessage[] = "保存失败！";
inline constexpr char kOpenFailedMessage[] = "打开图片组失败！可能不是图片组文件";

}  // namespace iconvale
