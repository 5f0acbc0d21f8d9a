#include "ui/control_text.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "ui/text.h"

namespace iconvale {

namespace {

// The platform's text structures take non-const pointers even where they only read.
wchar_t* Writable(const WideText& text) {
    return const_cast<wchar_t*>(WidePtr(text));
}

}  // namespace

bool SetText(HWND window, std::string_view text) {
    return ::SetWindowTextW(window, WidePtr(ToWide(text))) != FALSE;
}

std::string TextOf(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::vector<wchar_t> text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return ToNarrow(text);
}

bool AppendMenuText(HMENU menu, UINT_PTR id, std::string_view text) {
    return ::AppendMenuW(menu, MF_STRING, id, WidePtr(ToWide(text))) != FALSE;
}

bool AppendSubmenu(HMENU menu, HMENU popup, std::string_view title) {
    return ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                         WidePtr(ToWide(title))) != FALSE;
}

int AddComboItem(HWND combo, std::string_view text) {
    const WideText item = ToWide(text);
    const LRESULT index =
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WidePtr(item)));
    return index >= 0 ? static_cast<int>(index) : -1;
}

int InsertListColumn(HWND list, int column, std::string_view title, int width, int format) {
    const WideText wide = ToWide(title);
    LVCOLUMNW entry{};
    entry.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    entry.fmt = format;
    entry.cx = width;
    entry.pszText = Writable(wide);
    return static_cast<int>(
        ::SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&entry)));
}

int InsertListItem(HWND list, int row, std::string_view text) {
    const WideText wide = ToWide(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = Writable(wide);
    return static_cast<int>(
        ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool SetListItemText(HWND list, int row, int column, std::string_view text) {
    const WideText wide = ToWide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = Writable(wide);
    return ::SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

bool SetPaneText(HWND statusBar, int pane, std::string_view text) {
    const WideText wide = ToWide(text);
    return ::SendMessageW(statusBar, SB_SETTEXTW, static_cast<WPARAM>(pane),
                          reinterpret_cast<LPARAM>(WidePtr(wide))) != FALSE;
}

void SetPaneTip(HWND statusBar, int pane, std::string_view text) {
    const WideText wide = ToWide(text);
    ::SendMessageW(statusBar, SB_SETTIPTEXTW, static_cast<WPARAM>(pane),
                   reinterpret_cast<LPARAM>(WidePtr(wide)));
}

int ShowMessageBox(HWND owner, std::string_view text, std::string_view title, UINT style) {
    const WideText wideText = ToWide(text);
    const WideText wideTitle = ToWide(title);
    return ::MessageBoxW(owner, WidePtr(wideText), WidePtr(wideTitle), style);
}

}  // namespace iconvale
