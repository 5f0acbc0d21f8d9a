#include "support/control_probes.h"

#include <commctrl.h>

#include "ui/text.h"

namespace iconvale::testing {
namespace {

void SetSelected(HWND list, int item, bool selected) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = selected ? LVIS_SELECTED : 0;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(&state));
}

}  // namespace

int ItemCount(HWND list) {
    return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string ItemText(HWND list, int item, int column) {
    wchar_t text[256] = {};
    LVITEMW request{};
    request.iSubItem = column;
    request.pszText = text;
    request.cchTextMax = 256;
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(&request));
    return ToNarrow(std::wstring_view(text));
}

std::vector<std::string> ItemLabels(HWND list) {
    std::vector<std::string> labels;
    const int count = ItemCount(list);
    for (int i = 0; i < count; ++i) labels.push_back(ItemText(list, i));
    return labels;
}

void SelectItems(HWND list, std::initializer_list<int> items) {
    for (int item : items) SetSelected(list, item, true);
}

void SelectOnly(HWND list, const std::vector<int>& items) {
    SetSelected(list, -1, false);  // -1: every item
    for (int item : items) SetSelected(list, item, true);
}

std::string ComboItem(HWND combo, int index) {
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(text.data()));
    return ToNarrow(std::wstring_view(text.c_str()));
}

std::string PaneText(HWND statusBar, int pane) {
    const LRESULT reply =
        ::SendMessageW(statusBar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(pane), 0);
    std::wstring text(static_cast<std::size_t>(LOWORD(reply)) + 1, L'\0');
    ::SendMessageW(statusBar, SB_GETTEXTW, static_cast<WPARAM>(pane),
                   reinterpret_cast<LPARAM>(text.data()));
    return ToNarrow(std::wstring_view(text.c_str()));
}

bool HasChinese(std::wstring_view text) {
    for (wchar_t c : text) {
        if (c >= 0x3000) return true;
    }
    return false;
}

}  // namespace iconvale::testing
