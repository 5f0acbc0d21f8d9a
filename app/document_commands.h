// The document, the one open image group, and the commands that create, open, save, clear, thin
// out and merge it, with the save-changes check that guards New, Open and closing.
#pragma once

#include <string>

#include "app/document_view.h"
#include "app/program.h"
#include "ui/modal_ui.h"

namespace iconvale {

class FileDialogObject;

class DocumentCommands {
public:
    DocumentCommands(Program& program, DocumentView& view, ModalUi& ui, FileDialogObject& dialog,
                     std::string settingsPath);

    // True to go on; false stops the command that asked (and keeps the window open).
    bool ConfirmDiscard();
    bool SaveGroupTo(const std::string& path);
    bool OpenGroupFrom(const std::string& path);
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

    // The group now open, shown in the list from now on.
    void AttachGroup();
    // Lets the list forget the group's images, then destroys the group.
    void DiscardGroup();

private:
    ImageGroup& group() { return program_.openGroup(); }
    ProgramValues& values() { return program_.values; }
    bool RequireGroup();
    std::optional<FileChoice> ChooseGroupFile(const char* title, DWORD flags, FileDialogKind kind);
    void Refresh();

    Program& program_;
    DocumentView& view_;
    ModalUi& ui_;
    FileDialogObject& dialog_;
    std::string settingsPath_;
    bool createdInDialog_ = false;
};

// The image-group dialogs' filter, and the fixed texts the commands show.
inline constexpr char kGroupFilter[] = "易图片组(*.eil)|*.eil|所有文件(*.*)|*.*";
inline constexpr DWORD kGroupDialogFlags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
inline constexpr char kNoGroupMessage[] = "请先新建或打开一个图片组！";
inline constexpr char kSaveFailedMessage[] = "保存失败！";
inline constexpr char kOpenFailedMessage[] = "打开图片组失败！可能不是图片组文件";
inline constexpr char kUntitledStatus[] = "未命名图片组";

}  // namespace iconvale
