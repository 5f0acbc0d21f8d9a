// The options dialog: whether group files open with this program.
#pragma once

#include "ui/modal_form.h"
#include "app/modal_ui.h"
#include "res/resource_ids.h"

namespace iconvale {

class SettingsDialog : public ModalForm {
public:
    static constexpr int kAssociationBoxId = IDC_SETTINGS_ASSOCIATION;

    explicit SettingsDialog(SettingsDialogHooks hooks);

    // Shows the dialog, unowned and centred on the screen, until it is closed.
    bool Show() { return ShowModal(nullptr); }

private:
    void CreateControls() override;
    void OnCommand(int id, int code, HWND control) override;

    SettingsDialogHooks hooks_;
    HWND associationBox_ = nullptr;
};

}  // namespace iconvale
