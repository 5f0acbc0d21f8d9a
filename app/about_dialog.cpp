#include "app/about_dialog.h"

#include <shellapi.h>

namespace iconvale {

AboutDialog::AboutDialog(HICON programIcon) : ModalForm(IDD_ABOUT), programIcon_(programIcon) {}

void AboutDialog::CreateControls() {
    icon_.reset(programIcon_ ? ::CopyIcon(programIcon_) : nullptr);
    // SysLink exists only once its class is registered, and only in comctl32 v6.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LINK_CLASS};
    ::InitCommonControlsEx(&classes);
    AddTemplateControls();
    info_ = Control(kInfoId);
    SetInitialFocus(Control(IDOK));
}

void AboutDialog::OnCommand(int id, int code, HWND) {
    if (id == IDOK && code == BN_CLICKED) Close();
}

LRESULT AboutDialog::OnNotify(const NMHDR& header) {
    if (header.hwndFrom == info_ && (header.code == NM_CLICK || header.code == NM_RETURN)) {
        const auto& link = reinterpret_cast<const NMLINK&>(header);
        ::ShellExecuteW(hwnd(), L"open", link.item.szUrl, nullptr, nullptr, SW_SHOWNORMAL);
    }
    return 0;
}

void AboutDialog::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID != kIconId) return;
    const RECT& r = item.rcItem;
    ::FillRect(item.hDC, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    if (icon_) {
        ::DrawIconEx(item.hDC, r.left, r.top, icon_.get(), r.right - r.left, r.bottom - r.top, 0,
                     nullptr, DI_NORMAL);
    }
}

}  // namespace iconvale
