// Pictures into the open group: the Add and Replace commands and dropped files. An icon file is
// loaded at the cell size; any other picture is decoded and enters whole or cut into cells,
// as the auto-segmentation switch and the new-group dialog's transparent colour say.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/document.h"
#include "app/document_commands.h"
#include "app/document_view.h"
#include "app/modal_ui.h"
#include "app/session_choices.h"
#include "imaging/gdip_image.h"
#include "imaging/group_imports.h"
#include "ui/progress_reporter.h"
#include "ui/wait_cursor.h"

namespace iconvale {

class FileDialogObject;

inline constexpr char kPictureFilter[] =
    "*.JPG|*.JPG;*.JPEG;*.JPE;*.JFIF|*.BMP|*.BMP|*.GIF|*.GIF|"
    "*.TIF|*.TIF;*.TIFF|*.PNG|*.PNG|*.ICO|*.ICO";
inline constexpr char kAddFailedMessage[] = "添加失败！";
inline constexpr char kReplaceFailedMessage[] = "替换图片失败！";

class PictureImport {
public:
    // `progress` counts the files of an Add or a drop.
    PictureImport(Document& document, SessionChoices& choices, GdipImage& scratchPicture,
                  FileDialogObject& dialog, DocumentView& view, ModalUi& ui,
                  DocumentCommands& commands, ProgressReporter& progress = NoProgress());

    // Appends the images made from one file, as one change; true when the group took them.
    bool AddPictureFile(const std::string& path);
    bool ReplaceWithPictureFile(int index, const std::string& path);

    // Adds every picture chosen in the dialog, in the dialog's order, as one change.
    void Add();
    void Replace();
    // The paths, one per line, dropped onto the icon list.
    void Drop(const std::string& paths);
    // Pasted files, as one change, put into the gap before item `gap` (-1: at the end); the
    // images they made are selected afterwards.
    void PasteFiles(const std::string& paths, int gap);
    // How a decoded picture enters the group under the session's choices.
    PictureEntry Entry() const;

private:
    bool AddFileTo(ImageGroup& group, const std::string& path);
    bool ReplaceWithFile(ImageGroup& group, int index, const std::string& path);
    // Runs New when there is no group; false when there still is none.
    bool EnsureGroup();
    std::optional<FileChoice> ChoosePicture(const char* title, DWORD extraFlags = 0);
    void AddAll(const std::string& paths, WaitCursor* cursor, int gap = -1);

    Document& document_;
    SessionChoices& choices_;
    GdipImage& scratchPicture_;
    DocumentView& view_;
    ModalUi& ui_;
    FileDialogObject& dialog_;
    DocumentCommands& commands_;
    ProgressReporter& progress_;
};

// The images from `firstAdded` to the end moved into the gap before item `gap` (-1 or past the
// earlier images: they stay at the end). Where they end up, or nullopt when the move failed.
std::optional<std::vector<int>> MoveAddedInto(ImageGroup& group, int firstAdded, int gap);

}  // namespace iconvale
