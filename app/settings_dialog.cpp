#include "app/settings_dialog.h"

#include <utility>

namespace iconvale {

SettingsDialog::SettingsDialog(SettingsDialogHooks hooks)
    : ModalForm("设置", 253, 120), hooks_(std::move(hooks)) {}

void SettingsDialog::CreateControls() {
    // Centred upright so that its text lines up with the check box beside it.
    AddControl(L"STATIC", "文件关联：", SS_LEFT | SS_CENTERIMAGE, {16, 16, 72, 24}, -1);
    associationBox_ = AddControl(L"BUTTON", "*.eil", WS_TABSTOP | BS_AUTOCHECKBOX,
                                 {104, 16, 64, 24}, kAssociationBoxId);
    AddControl(L"BUTTON", "确定", WS_TABSTOP | BS_DEFPUSHBUTTON, {93, 56, 64, 24}, IDOK);
    AddControl(L"BUTTON", "取消", WS_TABSTOP | BS_PUSHBUTTON, {168, 56, 64, 24}, IDCANCEL);
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
