// The program's about box: its icon, credits, version and web address.
#pragma once

#include <windows.h>

#include "res/resource_ids.h"
#include "ui/modal_form.h"
#include "ui/win_handles.h"

namespace iconvale {

class AboutDialog : public ModalForm {
public:
    static constexpr int kIconId = IDC_ABOUT_ICON;
    static constexpr int kCreditsId = IDC_ABOUT_CREDITS;
    static constexpr int kInfoId = IDC_ABOUT_INFO;

    // The icon is copied when the dialog opens; the caller keeps its own.
    explicit AboutDialog(HICON programIcon);

    // Shows the dialog centred over `owner`, which is disabled until the dialog closes.
    bool Show(HWND owner) { return ShowModal(owner); }

private:
    void CreateControls() override;
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(const NMHDR& header) override;
    void OnDrawItem(const DRAWITEMSTRUCT& item) override;

    HICON programIcon_;
    UniqueIcon icon_;
    HWND info_ = nullptr;
};

}  // namespace iconvale
