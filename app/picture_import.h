// Pictures into the open group: the Add and Replace commands and dropped files. An icon file is
// loaded at the cell size; any other picture is decoded and enters whole or cut into cells,
// as the auto-segmentation switch and the new-group dialog's transparent colour say.
#pragma once

#include <string>

#include "app/document_commands.h"
#include "app/document_view.h"
#include "app/program.h"
#include "ui/modal_ui.h"
#include "ui/wait_cursor.h"

namespace iconvale {

inline constexpr char kPictureFilter[] =
    "*.JPG|*.JPG;*.JPEG;*.JPE;*.JFIF|*.BMP|*.BMP|*.GIF|*.GIF|*.TIF|*.TIF;*.TIFF|*.PNG|*.PNG|*.ICO|*.ICO";
inline constexpr char kAddFailedMessage[] = "添加失败！";
inline constexpr char kReplaceFailedMessage[] = "替换图片失败！";

class PictureImport {
public:
    PictureImport(Program& program, DocumentView& view, ModalUi& ui, DocumentCommands& document);

    // Appends the images made from one file; true when the group took them.
    bool AddPictureFile(const std::string& path);
    bool ReplaceWithPictureFile(int index, const std::string& path);

    void Add();
    void Replace();
    // The paths, one per line, dropped onto the icon list.
    void Drop(const std::string& paths);

private:
    ImageGroup& group() { return program_.openGroup(); }
    ProgramValues& values() { return program_.values; }
    // Runs New when there is no group; false when there still is none.
    bool EnsureGroup();
    std::optional<FileChoice> ChoosePicture(const char* title);
    void AddAll(const std::string& paths, WaitCursor* cursor);
    void Changed();

    Program& program_;
    DocumentView& view_;
    ModalUi& ui_;
    DocumentCommands& document_;
};

}  // namespace iconvale
