#include "ui/control_text.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "ui/text.h"
#include "ui/ui_language.h"

namespace iconvale {

bool SetText(HWND window, std::string_view text) {
    return ::SetWindowTextW(window, ShownText(text).c_str()) != FALSE;
}

std::string TextOf(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::vector<wchar_t> text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return ToNarrow(text);
}

int AddComboItem(HWND combo, std::string_view text) {
    const std::wstring item = ShownText(text);
    const LRESULT index =
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    return index >= 0 ? static_cast<int>(index) : -1;
}

int InsertListColumn(HWND list, int column, std::string_view title, int width, int format) {
    std::wstring wide = ShownText(title);
    LVCOLUMNW entry{};
    entry.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    entry.fmt = format;
    entry.cx = width;
    entry.pszText = wide.data();
    return static_cast<int>(
        ::SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&entry)));
}

int InsertListItem(HWND list, int row, std::string_view text) {
    std::wstring wide = ShownText(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = wide.data();
    return static_cast<int>(
        ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool SetListItemText(HWND list, int row, int column, std::string_view text) {
    std::wstring wide = ShownText(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    return ::SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

bool SetPaneText(HWND statusBar, int pane, std::string_view text) {
    std::wstring wide = ShownText(text);
    return ::SendMessageW(statusBar, SB_SETTEXTW, static_cast<WPARAM>(pane),
                          reinterpret_cast<LPARAM>(wide.c_str())) != FALSE;
}

void SetPaneTip(HWND statusBar, int pane, std::string_view text) {
    std::wstring wide = ShownText(text);
    ::SendMessageW(statusBar, SB_SETTIPTEXTW, static_cast<WPARAM>(pane),
                   reinterpret_cast<LPARAM>(wide.c_str()));
}

int ShowMessageBox(HWND owner, std::string_view text, std::string_view title, UINT style) {
    return ::MessageBoxW(owner, ShownMessage(text).c_str(), ShownText(title).c_str(), style);
}

}  // namespace iconvale
