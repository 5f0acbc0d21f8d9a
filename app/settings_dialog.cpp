#include "app/settings_dialog.h"

#include <utility>

namespace iconvale {

SettingsDialog::SettingsDialog(SettingsDialogHooks hooks)
    : ModalForm(IDD_SETTINGS), hooks_(std::move(hooks)) {}

void SettingsDialog::CreateControls() {
    AddTemplateControls();
    associationBox_ = Control(kAssociationBoxId);
    const bool ticked = hooks_.opened && hooks_.opened();
    ::SendMessageW(associationBox_, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SettingsDialog::OnCommand(int id, int code, HWND) {
    if (id != IDOK || code != BN_CLICKED) return;
    const bool ticked = ::SendMessageW(associationBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (hooks_.confirmed) hooks_.confirmed(ticked);
    Close();
}

}  // namespace iconvale
