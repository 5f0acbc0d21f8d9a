// The program's about box: its icon, credits, version and web address.
#pragma once

#include <windows.h>

#include "ui/modal_form.h"
#include "ui/win_handles.h"

namespace iconvale {

class AboutDialog : public ModalForm {
public:
    static constexpr int kIconId = 1201;
    static constexpr int kCreditsId = 1202;
    static constexpr int kInfoId = 1203;
    static constexpr char kAddress[] = "https://iconvale.example/";

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
