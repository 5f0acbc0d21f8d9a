// What the measurements work on: group streams written by the platform, and the stand-ins for
// the dialogs and the window that the extraction command asks for.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then

#include <string>

#include "app/document_view.h"
#include "core/bytes.h"
#include "app/modal_ui.h"

namespace iconvale::bench {

inline constexpr int kCell = 32;

// A platform list of `count` 32x32 images, 32 bits with mask, every image different, as the
// platform's ImageList_Write stores it (no group header).
Bytes PlatformGroupStream(int count);

// Bytes of a stream's global block, and a stream over a copy of bytes.
Bytes StreamBytes(IStream* stream);

// A new empty folder under the temporary folder, ending in "\"; GBK.
std::string NewTempFolder(const std::string& name);
void RemoveFolder(const std::string& folder);

class NullUi : public ModalUi {
public:
    int Message(HWND, std::string_view, std::string_view, UINT) override { return IDOK; }
    std::optional<FileChoice> ChooseFile(FileDialogObject&, HWND, FileDialogKind) override {
        return {};
    }
    void ShowNewGroupDialog(const NewGroupDialogHooks&) override {}
    void ShowSettingsDialog(const SettingsDialogHooks&) override {}
    void ShowAboutDialog(HWND, HICON) override {}
    std::optional<ExtractionChoice> ShowExtractionDialog(const std::string&) override { return {}; }
    int ChooseImageList(HWND, const std::vector<ImageListSummary>&, ListChoice) override {
        return -1;
    }
};

class NullView : public DocumentView {
public:
    void RebuildIconList() override {}
    void UpdateStatusBar(std::string_view) override {}
    std::vector<int> SelectedIndices() const override { return {}; }
    int FirstSelectedIndex() const override { return -1; }
    void SelectIndices(const std::vector<int>&) override {}
    void ShowUndoState(bool, bool) override {}
    void AttachImages(HIMAGELIST) override {}
    HWND DialogOwner() const override { return nullptr; }
};

}  // namespace iconvale::bench
