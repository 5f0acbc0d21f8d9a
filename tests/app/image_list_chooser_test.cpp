#include "app/image_list_chooser.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>

#include "app/platform_modal_ui.h"
#include "support/control_probes.h"
#include "support/dialog_driver.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::Click;
using testing::FindChildById;
using testing::ItemText;

constexpr char kCaption[] = "选择图片列表";

const std::vector<ImageListSummary> kLists = {
    {"Toolbar", 12, 16, 16, 32},
    {"TreeIcons", 3, 24, 20, 8},
};

HWND ListOf(HWND dialog) {
    return FindChildById(dialog, ImageListChooser::kListId);
}

int Choose(const std::function<void(HWND)>& act) {
    int chosen = -2;
    testing::RunModal(kCaption, act, [&] {
        chosen = PlatformModalUi().ChooseImageList(nullptr, kLists, ListChoice::kImport);
    });
    return chosen;
}

TEST(ImageListChooserTest, ListsEveryListWithCountSizeAndDepth) {
    const int chosen = Choose([](HWND dialog) {
        HWND list = ListOf(dialog);
        ASSERT_EQ(ListView_GetItemCount(list), 2);
        EXPECT_EQ((std::vector<std::string>{ItemText(list, 0, 0), ItemText(list, 0, 1),
                                            ItemText(list, 0, 2), ItemText(list, 0, 3)}),
                  (std::vector<std::string>{"Toolbar", "12", "16x16", "32 位"}));
        EXPECT_EQ(ItemText(list, 1, 0), "TreeIcons");
        EXPECT_EQ(ItemText(list, 1, 2), "24x20");
        EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 0);
        Click(FindChildById(dialog, IDCANCEL));
    });
    EXPECT_EQ(chosen, -1);
}

TEST(ImageListChooserTest, OkEnterAndDoubleClickTakeTheSelectedList) {
    EXPECT_EQ(Choose([](HWND dialog) {
                  ListView_SetItemState(ListOf(dialog), 1, LVIS_SELECTED, LVIS_SELECTED);
                  Click(FindChildById(dialog, IDOK));
              }),
              1);
    EXPECT_EQ(Choose([](HWND dialog) { testing::PostKey(ListOf(dialog), VK_RETURN); }), 0);
    EXPECT_EQ(Choose([](HWND dialog) {
                  NMITEMACTIVATE activate{};
                  activate.hdr = {ListOf(dialog), ImageListChooser::kListId,
                                  static_cast<UINT>(NM_DBLCLK)};
                  activate.iItem = 1;
                  ListView_SetItemState(ListOf(dialog), 1, LVIS_SELECTED, LVIS_SELECTED);
                  ::SendMessageW(dialog, WM_NOTIFY, ImageListChooser::kListId,
                                 reinterpret_cast<LPARAM>(&activate));
              }),
              1);
    // With nothing selected OK keeps the dialog open.
    EXPECT_EQ(Choose([](HWND dialog) {
                  ListView_SetItemState(ListOf(dialog), -1, 0, LVIS_SELECTED);
                  Click(FindChildById(dialog, IDOK));
                  EXPECT_TRUE(::IsWindow(dialog));
                  ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
              }),
              -1);
}

}  // namespace
}  // namespace iconvale
