// Reads and works the common controls that tests look into: list-view items, combo-box entries
// and status-bar panes. Texts come back as GBK.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace iconvale::testing {

int ItemCount(HWND list);
// The text of a list-view item, or of one of its columns.
std::string ItemText(HWND list, int item, int column = 0);
// Every item's label, in list order.
std::vector<std::string> ItemLabels(HWND list);
// Adds the items to the list-view's selection.
void SelectItems(HWND list, std::initializer_list<int> items);
// Makes the items, and only they, the list-view's selection.
void SelectOnly(HWND list, const std::vector<int>& items);

std::string ComboItem(HWND combo, int index);

std::string PaneText(HWND statusBar, int pane);

// Whether a text holds CJK characters (or their punctuation): a Chinese text left untranslated.
bool HasChinese(std::wstring_view text);

}  // namespace iconvale::testing
