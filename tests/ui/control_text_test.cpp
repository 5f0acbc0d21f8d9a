#include "ui/control_text.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include "support/control_probes.h"
#include "ui/text.h"
#include "ui/win_handles.h"

namespace iconvale {
namespace {

using UniqueWindow = UniqueHandle<NullHandleTraits<HWND, &::DestroyWindow>>;

UniqueWindow MakeWindow(const wchar_t* className, HWND parent = nullptr, DWORD style = 0) {
    return UniqueWindow(::CreateWindowExW(0, className, L"", (parent ? WS_CHILD : 0) | style, 0, 0,
                                          300, 200, parent, nullptr, nullptr, nullptr));
}

std::string MenuString(HMENU menu, int position) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return ToNarrow(std::wstring_view(text));
}

class ControlTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&classes);
        ASSERT_TRUE(parent_);
    }

    UniqueWindow parent_ = MakeWindow(L"STATIC");
};

TEST_F(ControlTextTest, WindowTextGoesBothWays) {
    EXPECT_TRUE(SetText(parent_.get(), "图片组：测试 abc"));
    EXPECT_EQ(TextOf(parent_.get()), "图片组：测试 abc");
    wchar_t raw[16] = {};
    ::GetWindowTextW(parent_.get(), raw, 16);
    EXPECT_EQ(std::wstring(raw), L"图片组：测试 abc") << "UTF-16 on the platform's side";
    EXPECT_TRUE(SetText(parent_.get(), ""));
    EXPECT_EQ(TextOf(parent_.get()), "");
}

TEST_F(ControlTextTest, MenusCombosListsAndPanesTakeChineseText) {
    UniqueMenu bar(::CreateMenu());
    HMENU popup = ::CreatePopupMenu();
    ASSERT_TRUE(AppendMenuText(popup, 40001, "添加图标(&A)"));
    ASSERT_TRUE(AppendSubmenu(bar.get(), popup, "编辑(&E)"));
    EXPECT_EQ(MenuString(bar.get(), 0), "编辑(&E)");
    EXPECT_EQ(::GetSubMenu(bar.get(), 0), popup);
    EXPECT_EQ(MenuString(popup, 0), "添加图标(&A)");
    EXPECT_EQ(::GetMenuItemID(popup, 0), 40001u);

    UniqueWindow combo = MakeWindow(L"COMBOBOX", parent_.get(), CBS_DROPDOWNLIST);
    EXPECT_EQ(AddComboItem(combo.get(), "四"), 0);
    EXPECT_EQ(AddComboItem(combo.get(), "*.png"), 1);
    EXPECT_EQ(testing::ComboItem(combo.get(), 0), "四");

    UniqueWindow list = MakeWindow(WC_LISTVIEWW, parent_.get(), LVS_REPORT);
    EXPECT_EQ(InsertListColumn(list.get(), 0, "名称", 120, LVCFMT_LEFT), 0);
    EXPECT_EQ(InsertListColumn(list.get(), 1, "色深", 60, LVCFMT_RIGHT), 1);
    EXPECT_EQ(InsertListItem(list.get(), 0, "图标一"), 0);
    EXPECT_EQ(InsertListItem(list.get(), 1, "图标二"), 1);
    EXPECT_TRUE(SetListItemText(list.get(), 1, 1, "32 位"));
    EXPECT_EQ(testing::ItemText(list.get(), 0), "图标一");
    EXPECT_EQ(testing::ItemText(list.get(), 1, 1), "32 位");
    wchar_t title[16] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = 16;
    ASSERT_TRUE(::SendMessageW(list.get(), LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_EQ(std::wstring(title), L"色深");
    EXPECT_EQ(column.cx, 60);

    UniqueWindow statusBar = MakeWindow(STATUSCLASSNAMEW, parent_.get(), SBT_TOOLTIPS);
    int edges[] = {80, -1};
    ::SendMessageW(statusBar.get(), SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    EXPECT_TRUE(SetPaneText(statusBar.get(), 1, "C:\\图标\\a.eil"));
    EXPECT_EQ(testing::PaneText(statusBar.get(), 1), "C:\\图标\\a.eil");
    SetPaneTip(statusBar.get(), 0, "图标数");
    wchar_t tip[16] = {};
    ::SendMessageW(statusBar.get(), SB_GETTIPTEXTW, MAKEWPARAM(0, 16),
                   reinterpret_cast<LPARAM>(tip));
    EXPECT_EQ(std::wstring(tip), L"图标数");
}

}  // namespace
}  // namespace iconvale
