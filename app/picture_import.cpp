#include "app/picture_import.h"

#include <commdlg.h>

#include "app/progress_texts.h"
#include "core/image_order.h"
#include "imaging/group_imports.h"
#include "imaging/icon_image.h"
#include "imaging/picture_paths.h"
#include "ui/file_dialog_object.h"
#include "ui/text.h"
#include "ui/unique_handle.h"
#include "ui/wait_cursor.h"

namespace iconvale {

namespace {

constexpr DWORD kPictureDialogFlags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;

}  // namespace

PictureImport::PictureImport(Document& document, SessionChoices& choices, GdipImage& scratchPicture,
                             FileDialogObject& dialog, DocumentView& view, ModalUi& ui,
                             DocumentCommands& commands, ProgressReporter& progress)
    : document_(document),
      choices_(choices),
      scratchPicture_(scratchPicture),
      view_(view),
      ui_(ui),
      dialog_(dialog),
      commands_(commands),
      progress_(progress) {}

std::optional<std::vector<int>> MoveAddedInto(ImageGroup& group, int firstAdded, int gap) {
    const int count = group.GetCount();
    std::vector<int> added;
    for (int i = firstAdded; i < count; ++i) added.push_back(i);
    if (gap < 0 || gap >= firstAdded) return added;
    const auto order = MoveBlock(count, added, gap);
    if (!order || !group.Reorder(order->order)) return std::nullopt;
    return order->moved;
}

PictureEntry PictureImport::Entry() const {
    PictureEntry entry{choices_.autoSegmentation, std::nullopt};
    if (choices_.useTransparentColour) entry.transparent = choices_.transparentColour;
    return entry;
}

bool PictureImport::AddFileTo(ImageGroup& group, const std::string& path) {
    const WideText widePath = ToWide(path);
    if (widePath.empty()) return false;
    return ImportPictureFile(group, widePath.data(), IsIconFileName(path), Entry(),
                             scratchPicture_);
}

bool PictureImport::ReplaceWithFile(ImageGroup& group, int index, const std::string& path) {
    ScratchInUse scratch(scratchPicture_);
    if (!scratchPicture_.CreateFromFile(path)) return false;
    if (choices_.autoSegmentation) return ReplaceWithPicture(group, index, scratchPicture_);
    IconImage icon;
    icon.Attach(scratchPicture_.ToIcon());
    return icon.Handle() && group.ReplaceWithIcon(index, icon.Handle());
}

bool PictureImport::AddPictureFile(const std::string& path) {
    return document_.Change([&](ImageGroup& group) { return AddFileTo(group, path); });
}

bool PictureImport::ReplaceWithPictureFile(int index, const std::string& path) {
    return document_.Change([&](ImageGroup& group) { return ReplaceWithFile(group, index, path); });
}

bool PictureImport::EnsureGroup() {
    if (!document_.HasGroup()) commands_.New();
    return document_.HasGroup();
}

std::optional<FileChoice> PictureImport::ChoosePicture(const char* title, DWORD extraFlags) {
    dialog_.SetUp(kPictureDialogFlags | extraFlags, title, "", kPictureFilter,
                  choices_.pictureFilterIndex, "", "");
    return ui_.ChooseFile(dialog_, view_.DialogOwner(), FileDialogKind::Open);
}

void PictureImport::AddAll(const std::string& paths, WaitCursor* cursor, int gap) {
    const std::vector<std::string> files = SplitPathLines(paths);
    bool failed = false;
    std::optional<std::vector<int>> placed;
    // What the earlier files of the batch added stays, and is a change to be saved.
    document_.Change([&](ImageGroup& group) {
        // Over before the change is announced, so that the refresh has the last word in the pane.
        ScopeExit ended([this] { progress_.End(); });
        progress_.Begin(static_cast<int>(files.size()), kAddingProgress);
        bool anyAdded = false;
        const int firstAdded = group.GetCount();
        for (const std::string& path : files) {
            if (!AddFileTo(group, path)) {
                failed = true;
                break;
            }
            anyAdded = true;
            progress_.Step();
        }
        if (anyAdded && gap >= 0) placed = MoveAddedInto(group, firstAdded, gap);
        return anyAdded;
    });
    if (cursor) cursor->Restore();
    if (failed) {
        ui_.Fail(view_.DialogOwner(), kAddFailedMessage);
    } else if (placed) {
        view_.SelectIndices(*placed);
    }
}

void PictureImport::Add() {
    if (!EnsureGroup()) return;
    auto choice = ChoosePicture("添加图标", OFN_ALLOWMULTISELECT);
    if (!choice) {
        // Too many files for the dialog's buffer is no cancel: the user chose something.
        if (dialog_.ChoiceDidNotFit()) ui_.Fail(view_.DialogOwner(), kAddFailedMessage);
        return;
    }
    WaitCursor cursor;
    choices_.pictureFilterIndex = choice->filterIndex;
    AddAll(choice->path, &cursor);
}

void PictureImport::Drop(const std::string& paths) {
    if (!EnsureGroup()) return;
    AddAll(paths, nullptr);
}

void PictureImport::PasteFiles(const std::string& paths, int gap) {
    if (!EnsureGroup()) return;
    WaitCursor cursor;
    AddAll(paths, &cursor, gap < 0 ? document_.group().GetCount() : gap);
}

void PictureImport::Replace() {
    if (!document_.HasGroup()) {
        ui_.Inform(view_.DialogOwner(), kNoGroupMessage);
        return;
    }
    if (view_.FirstSelectedIndex() == -1) {
        ui_.Inform(view_.DialogOwner(), "请在列表框中选择一个要替换的图标");
        return;
    }
    auto choice = ChoosePicture("替换图标");
    if (!choice) return;
    choices_.pictureFilterIndex = choice->filterIndex;
    if (!ReplaceWithPictureFile(view_.FirstSelectedIndex(), choice->path)) {
        ui_.Fail(view_.DialogOwner(), kReplaceFailedMessage);
    }
}

}  // namespace iconvale
