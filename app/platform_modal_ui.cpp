#include "app/platform_modal_ui.h"

#include "app/about_dialog.h"
#include "app/extraction_dialog.h"
#include "app/image_list_chooser.h"
#include "app/new_group_dialog.h"
#include "app/settings_dialog.h"
#include "ui/file_dialog_object.h"
#include "ui/control_text.h"

namespace iconvale {

int PlatformModalUi::Message(HWND owner, std::string_view text, std::string_view title,
                             UINT style) {
    const std::string_view shownTitle = title.empty() ? std::string_view(kUntitledBoxTitle) : title;
    const int answer = ShowMessageBox(owner, text, shownTitle, style | MB_TASKMODAL);
    return answer > 0 ? answer : IDCANCEL;
}

std::optional<FileChoice> PlatformModalUi::ChooseFile(FileDialogObject& dialog, HWND owner,
                                                      FileDialogKind kind) {
    const bool chosen =
        kind == FileDialogKind::Open ? dialog.ShowOpen(owner) : dialog.ShowSave(owner);
    if (!chosen) return std::nullopt;
    return FileChoice{dialog.GetPath(), dialog.GetFilterIndex()};
}

void PlatformModalUi::ShowNewGroupDialog(const NewGroupDialogHooks& hooks) {
    NewGroupDialog dialog(hooks);
    dialog.Show();
}

void PlatformModalUi::ShowSettingsDialog(const SettingsDialogHooks& hooks) {
    SettingsDialog dialog(hooks);
    dialog.Show();
}

void PlatformModalUi::ShowAboutDialog(HWND owner, HICON programIcon) {
    AboutDialog dialog(programIcon);
    dialog.Show(owner);
}

std::optional<ExtractionChoice> PlatformModalUi::ShowExtractionDialog(
    const std::string& initialFolder) {
    ExtractionDialog dialog(initialFolder);
    if (!dialog.Show()) return std::nullopt;
    return dialog.Choice();
}

int PlatformModalUi::ChooseImageList(HWND owner, const std::vector<ImageListSummary>& lists,
                                     ListChoice purpose) {
    ImageListChooser chooser(lists, purpose);
    if (!chooser.Show(owner)) return -1;
    return chooser.chosen();
}

}  // namespace iconvale
