// The modal seam on the real platform: message boxes, the file dialog and the program's dialogs.
#pragma once

#include "app/modal_ui.h"

namespace iconvale {

class PlatformModalUi : public ModalUi {
public:
    // Task-modal; an empty title shows as kUntitledBoxTitle. A box that cannot be shown (the
    // platform answers 0 or -1) answers IDCANCEL, which every caller treats as "do nothing".
    int Message(HWND owner, std::string_view text, std::string_view title, UINT style) override;
    std::optional<FileChoice> ChooseFile(FileDialogObject& dialog, HWND owner,
                                         FileDialogKind kind) override;
    void ShowNewGroupDialog(const NewGroupDialogHooks& hooks) override;
    void ShowSettingsDialog(const SettingsDialogHooks& hooks) override;
    void ShowAboutDialog(HWND owner, HICON programIcon) override;
    std::optional<ExtractionChoice> ShowExtractionDialog(const std::string& initialFolder) override;
    int ChooseImageList(HWND owner, const std::vector<ImageListSummary>& lists,
                        ListChoice purpose) override;
};

}  // namespace iconvale
