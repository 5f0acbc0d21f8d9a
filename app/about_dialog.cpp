#include "app/about_dialog.h"

#include <shellapi.h>

#include <string>

#include "ui/ui_language.h"

namespace iconvale {

namespace {

// Each line is a text of its own in the string tables.
std::string Credits() {
    return Translated("Iconvale 是自由软件，可以自由使用和分发。\r\n") +
           Translated("作者：Iconvale 开发组");
}

std::string InfoMarkup() {
    return Translated("版本：V1.2") + std::string(4, ' ') + Translated("交流群：暂无\r\n") +
           std::string(12, ' ') + Translated("网址：") + "<a href=\"" + AboutDialog::kAddress +
           "\">" + AboutDialog::kAddress + "</a>";
}

}  // namespace

AboutDialog::AboutDialog(HICON programIcon)
    : ModalForm("关于", 277, 156), programIcon_(programIcon) {}

void AboutDialog::CreateControls() {
    icon_.reset(programIcon_ ? ::CopyIcon(programIcon_) : nullptr);
    AddControl(L"STATIC", "", SS_OWNERDRAW, {8, 8, 48, 48}, kIconId);
    AddControl(L"STATIC", Credits(), SS_LEFT, {80, 16, 176, 40}, kCreditsId);
    // SysLink exists only once its class is registered, and only in comctl32 v6.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LINK_CLASS};
    ::InitCommonControlsEx(&classes);
    info_ = AddControl(WC_LINK, InfoMarkup(), WS_TABSTOP, {8, 64, 248, 32}, kInfoId);
    SetInitialFocus(
        AddControl(L"BUTTON", "确定", WS_TABSTOP | BS_DEFPUSHBUTTON, {184, 96, 72, 24}, IDOK));
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
