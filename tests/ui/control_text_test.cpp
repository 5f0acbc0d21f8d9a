// Menus, combo boxes and status panes are checked through the main window and dialog tests;
// these cover what those do not read back.
#include "ui/control_text.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "support/control_probes.h"
#include "ui/win_handles.h"

namespace iconvale {
namespace {

using UniqueWindow = UniqueHandle<NullHandleTraits<HWND, &::DestroyWindow>>;

TEST(ControlText, ChineseTextReachesWindowsAndListViewColumnsIntact) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    UniqueWindow list(::CreateWindowExW(0, WC_LISTVIEWW, L"", LVS_REPORT, 0, 0, 300, 200, nullptr,
                                        nullptr, nullptr, nullptr));
    ASSERT_TRUE(list);
    EXPECT_TRUE(SetText(list.get(), "图片组：测试"));
    EXPECT_EQ(TextOf(list.get()), "图片组：测试");

    EXPECT_EQ(InsertListColumn(list.get(), 0, "名称", 120, LVCFMT_LEFT), 0);
    EXPECT_EQ(InsertListColumn(list.get(), 1, "色深", 60, LVCFMT_RIGHT), 1);
    EXPECT_EQ(InsertListItem(list.get(), 0, "图标一"), 0);
    EXPECT_TRUE(SetListItemText(list.get(), 0, 1, "32 位"));
    EXPECT_EQ(testing::ItemText(list.get(), 0, 1), "32 位");
    wchar_t title[16] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = title;
    column.cchTextMax = 16;
    ASSERT_TRUE(::SendMessageW(list.get(), LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(std::wstring(title), L"色深");
    EXPECT_EQ(column.cx, 60);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
}

}  // namespace
}  // namespace iconvale
