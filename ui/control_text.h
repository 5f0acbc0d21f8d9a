// Program text (GBK) handed to windows, common controls and message boxes, and read back:
// the one place where the program's narrow text meets the platform's UTF-16 for them. A text
// that cannot be converted goes in empty, as the platform calls would take it. Texts go in
// as the current language shows them (ui/ui_language.h); read back, they are what was shown.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace iconvale {

bool SetText(HWND window, std::string_view text);
std::string TextOf(HWND window);

// The new item's index, or -1.
int AddComboItem(HWND combo, std::string_view text);

// List views in report form. Both inserts give the new index, or -1.
int InsertListColumn(HWND list, int column, std::string_view title, int width, int format);
int InsertListItem(HWND list, int row, std::string_view text);
bool SetListItemText(HWND list, int row, int column, std::string_view text);

bool SetPaneText(HWND statusBar, int pane, std::string_view text);
void SetPaneTip(HWND statusBar, int pane, std::string_view text);  // the bar says nothing back

// Returns the button pressed, as MessageBoxW does (0 when the box could not be shown).
int ShowMessageBox(HWND owner, std::string_view text, std::string_view title, UINT style);

}  // namespace iconvale
