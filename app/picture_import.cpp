#include "app/picture_import.h"

#include <commdlg.h>

#include "app/picture_paths.h"
#include "imaging/group_imports.h"
#include "imaging/icon_image.h"
#include "ui/file_dialog_object.h"
#include "ui/text.h"
#include "ui/wait_cursor.h"

namespace iconvale {

namespace {

constexpr DWORD kPictureDialogFlags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

}  // namespace

PictureImport::PictureImport(Program& program, DocumentView& view, ModalUi& ui,
                             DocumentCommands& document)
    : program_(program), view_(view), ui_(ui), document_(document) {}

bool PictureImport::AddPictureFile(const std::string& path) {
    const WideText widePath = ToWide(path);
    if (widePath.empty()) return false;
    PictureEntry entry{values().autoSegmentation != 0, std::nullopt};
    if (values().useTransparentColour == 1) entry.transparent = values().transparentColour;
    return ImportPictureFile(group(), widePath.data(), IsIconFileName(path), entry,
                             program_.scratchPicture());
}

bool PictureImport::ReplaceWithPictureFile(int index, const std::string& path) {
    GdipImage& picture = program_.scratchPicture();
    ScratchInUse scratch(picture);
    if (!picture.CreateFromFile(path)) return false;
    if (values().autoSegmentation != 0) return ReplaceWithPicture(group(), index, picture);
    IconImage icon;
    icon.Attach(picture.ToIcon());
    return icon.Handle() && group().ReplaceWithIcon(index, icon.Handle());
}

bool PictureImport::EnsureGroup() {
    if (!group().IsCreated()) document_.New();
    return group().IsCreated();
}

std::optional<FileChoice> PictureImport::ChoosePicture(const char* title) {
    FileDialogObject& dialog = program_.fileDialog();
    dialog.SetUp(kPictureDialogFlags, title, "", kPictureFilter, values().pictureFilterIndex, "",
                 "");
    return ui_.ChooseFile(dialog, view_.DialogOwner(), FileDialogKind::Open);
}

void PictureImport::Changed() {
    values().modified = 1;
    view_.RebuildIconList();
    view_.UpdateStatusBar(values().currentPath);
}

void PictureImport::AddAll(const std::string& paths, WaitCursor* cursor) {
    bool anyAdded = false;
    for (const std::string& path : SplitPathLines(paths)) {
        if (!AddPictureFile(path)) {
            // What the earlier files of the batch added stays, and is a change to be saved.
            if (anyAdded) Changed();
            if (cursor) cursor->Restore();
            ui_.Fail(view_.DialogOwner(), kAddFailedMessage);
            return;
        }
        anyAdded = true;
    }
    Changed();
    if (cursor) cursor->Restore();
}

void PictureImport::Add() {
    if (!EnsureGroup()) return;
    auto choice = ChoosePicture("添加图标");
    if (!choice) return;
    WaitCursor cursor;
    values().pictureFilterIndex = choice->filterIndex;
    AddAll(choice->path, &cursor);
}

void PictureImport::Drop(const std::string& paths) {
    if (!EnsureGroup()) return;
    AddAll(paths, nullptr);
}

void PictureImport::Replace() {
    if (!group().IsCreated()) {
        ui_.Inform(view_.DialogOwner(), kNoGroupMessage);
        return;
    }
    if (view_.FirstSelectedIndex() == -1) {
        ui_.Inform(view_.DialogOwner(), "请在列表框中选择一个要替换的图标");
        return;
    }
    auto choice = ChoosePicture("替换图标");
    if (!choice) return;
    values().pictureFilterIndex = choice->filterIndex;
    if (ReplaceWithPictureFile(view_.FirstSelectedIndex(), choice->path)) {
        Changed();
    } else {
        ui_.Fail(view_.DialogOwner(), kReplaceFailedMessage);
    }
}

}  // namespace iconvale
