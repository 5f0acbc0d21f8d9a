#include "app/extraction_dialog.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <optional>
#include <string>

#include "app/platform_modal_ui.h"
#include "imaging/image_formats.h"
#include "support/browser_selection.h"
#include "support/dialog_driver.h"
#include "support/temp_folder.h"
#include "support/windows.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::ClassOf;
using testing::Click;
using testing::DialogDriver;
using testing::FindChild;
using testing::FindChildById;
using testing::SetText;
using testing::TextOf;

constexpr char kCaption[] = "提取图标";
constexpr char kStartFolder[] = "D:\\图标\\组";

HWND FormatList(HWND dialog) {
    return FindChildById(dialog, ExtractionDialog::kFormatListId);
}
HWND FolderBox(HWND dialog) {
    return FindChildById(dialog, ExtractionDialog::kFolderBoxId);
}
HWND BrowseButton(HWND dialog) {
    return FindChildById(dialog, ExtractionDialog::kBrowseButtonId);
}

BOOL CALLBACK FindTree(HWND child, LPARAM found) {
    if (ClassOf(child) != "SysTreeView32") return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

HWND TreeOf(HWND browser) {
    HWND tree = nullptr;
    ::EnumChildWindows(browser, &FindTree, reinterpret_cast<LPARAM>(&tree));
    return tree;
}

std::string TextOfItem(HWND tree, HTREEITEM handle) {
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = handle;
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (!handle || !TreeView_GetItem(tree, &item)) return "(no item)";
    return ToNarrow(std::wstring_view(text));
}

// The text of the item selected in the folder dialog's tree.
std::string SelectedTreeItem(HWND browser) {
    HWND tree = TreeOf(browser);
    return tree ? TextOfItem(tree, TreeView_GetSelection(tree)) : "(no tree)";
}

// Selects the item beside the selected one that shows `text`, as a click on it would.
void SelectSiblingInTree(HWND browser, const std::string& text) {
    HWND tree = TreeOf(browser);
    ASSERT_NE(tree, nullptr);
    const HTREEITEM parent = TreeView_GetParent(tree, TreeView_GetSelection(tree));
    for (HTREEITEM item = TreeView_GetChild(tree, parent); item;
         item = TreeView_GetNextSibling(tree, item)) {
        if (TextOfItem(tree, item) == text) {
            EXPECT_TRUE(TreeView_SelectItem(tree, item));
            EXPECT_EQ(SelectedTreeItem(browser), text);
            return;
        }
    }
    ADD_FAILURE() << text << " is not beside " << SelectedTreeItem(browser);
}

// Moves the folder dialog's selection and waits until its tree shows it; OK takes what the tree
// has selected.
void SelectInBrowser(HWND browser, const std::string& path, const std::string& itemText) {
    const WideText wide = ToWide(path);
    ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.data()));
    EXPECT_TRUE(testing::WaitForBrowserOn(
        browser, path,
        [&] { return SelectedTreeItem(browser).find(itemText) != std::string::npos; }))
        << path << " is not selected but " << SelectedTreeItem(browser);
}

class ExtractionDialogTest : public ::testing::Test {
protected:
    // Shows the dialog through the program's modal seam; `act` runs once inside its loop.
    std::optional<ExtractionChoice> Run(const std::function<void(HWND)>& act,
                                        const std::string& initialFolder = kStartFolder) {
        std::optional<ExtractionChoice> choice;
        testing::RunModal(kCaption, act,
                          [&] { choice = PlatformModalUi().ShowExtractionDialog(initialFolder); });
        return choice;
    }
};

TEST_F(ExtractionDialogTest, FrameIsFixedUnownedAndCentredOnTheScreen) {
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    Run([&](HWND dialog) {
        testing::ExpectFixedUnownedCentred(dialog, 338, 132);
        EXPECT_FALSE(::IsWindowEnabled(other)) << "modal to the whole thread";
        Click(FindChildById(dialog, IDCANCEL));
    });
    EXPECT_TRUE(::IsWindowEnabled(other));
    ::DestroyWindow(other);
}

TEST_F(ExtractionDialogTest, ControlsSitWhereDesignedWithTheirTextsAndPngChosen) {
    const testing::DesignedControl expected[] = {
        {0, "保存格式：", "Static", {12, 16, 64, 24}},
        {ExtractionDialog::kFormatListId, "*.png", "ComboBox", {84, 17, 88, 20}},
        {0, "保存目录：", "Static", {12, 48, 64, 24}},
        {ExtractionDialog::kFolderBoxId, kStartFolder, "Edit", {84, 50, 200, 20}},
        {ExtractionDialog::kBrowseButtonId, "...", "Button", {285, 49, 37, 19}},
        {IDOK, "保存", "Button", {176, 80, 64, 24}},
        {IDCANCEL, "取消", "Button", {258, 80, 64, 24}},
    };
    const auto choice = Run([&](HWND dialog) {
        testing::ExpectDesignedControls(dialog, expected);
        HWND list = FormatList(dialog);
        EXPECT_EQ(::GetWindowLongW(list, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
        testing::ExpectDropDownItems(list, {"*.png", "*.jpg", "*.bmp", "*.tif", "*.gif"}, 0, 20);
        EXPECT_FALSE(::GetWindowLongW(FolderBox(dialog), GWL_STYLE) & (ES_READONLY | ES_MULTILINE));
        Click(FindChildById(dialog, IDCANCEL));
    });
    EXPECT_FALSE(choice);
}

TEST_F(ExtractionDialogTest, EveryWayOutButSaveGivesNothingAndItReopensOnPng) {
    const std::function<void(HWND)> ways[] = {
        [](HWND dialog) { Click(FindChildById(dialog, IDCANCEL)); },
        [](HWND dialog) { testing::PostKey(FormatList(dialog), VK_ESCAPE); },
        [](HWND dialog) { testing::PostKey(FolderBox(dialog), VK_ESCAPE); },
        [](HWND dialog) { ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    ExtractionDialog dialog(kStartFolder);
    for (const auto& way : ways) {
        testing::RunModal(
            kCaption,
            [&](HWND shown) {
                EXPECT_EQ(::SendMessageW(FormatList(shown), CB_GETCURSEL, 0, 0), 0);
                EXPECT_EQ(TextOf(FolderBox(shown)), kStartFolder);
                ::SendMessageW(FormatList(shown), CB_SETCURSEL, 3, 0);
                SetText(FolderBox(shown), "E:\\别处");
                way(shown);
            },
            [&] { ASSERT_TRUE(dialog.Show()); });
        EXPECT_FALSE(dialog.saved());
        EXPECT_FALSE(dialog.Choice());
        EXPECT_EQ(dialog.folder(), kStartFolder) << "nothing typed is taken without a save";
    }
}

TEST_F(ExtractionDialogTest, SaveHandsOnTheChosenFormatAndTheTypedFolder) {
    const char* formats[] = {kPngFormat, kJpegFormat, kBmpFormat, kTiffFormat, kGifFormat};
    for (int index = 0; index < 5; ++index) {
        const auto choice = Run([&](HWND dialog) {
            ::SendMessageW(FormatList(dialog), CB_SETCURSEL, index, 0);
            SetText(FolderBox(dialog), "  E:\\导出\\图标 ");
            Click(FindChildById(dialog, IDOK));
        });
        ASSERT_TRUE(choice) << index;
        EXPECT_EQ(choice->formatIdentifier, formats[index]);
        EXPECT_EQ(choice->folder, "E:\\导出\\图标") << "spaces around it are not the folder's";
    }
    // Untouched, it saves what it opened with; Enter in the box is the save button.
    const auto untouched =
        Run([&](HWND dialog) { testing::PostKey(FolderBox(dialog), VK_RETURN); }, "C:\\");
    ASSERT_TRUE(untouched);
    EXPECT_EQ(untouched->folder, "C:\\");
    EXPECT_EQ(untouched->formatIdentifier, kPngFormat);
}

TEST_F(ExtractionDialogTest, AnEmptyFolderBoxKeepsTheDialogOpen) {
    const auto choice = Run([&](HWND dialog) {
        SetText(FolderBox(dialog), "   ");
        Click(FindChildById(dialog, IDOK));
        EXPECT_TRUE(::IsWindowVisible(dialog));
        EXPECT_EQ(::GetFocus(), FolderBox(dialog));
        SetText(FolderBox(dialog), "F:\\");
        Click(FindChildById(dialog, IDOK));
    });
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->folder, "F:\\");
}

class ExtractionBrowseTest : public ExtractionDialogTest {
protected:
    // Presses "..." in the dialog, runs `inBrowser` in the folder dialog it opens and, once the
    // extraction dialog is back, `after` in it.
    std::optional<ExtractionChoice> Browse(const std::string& typed,
                                           const std::function<void(HWND)>& inBrowser,
                                           const std::function<void(HWND)>& after) {
        HWND shown = nullptr;
        DialogDriver driver;
        driver.WhenFound(
            [&] { return shown ? testing::FindOwnedWindow(shown, "#32770") : nullptr; }, inBrowser,
            "folder dialog");
        driver.WhenFound(
            [&]() -> HWND {
                const bool back = driver.Ran("folder dialog") && ::IsWindowEnabled(shown) &&
                                  !testing::FindOwnedWindow(shown, "#32770");
                return back ? shown : nullptr;
            },
            after, "back from browsing");
        const auto choice = Run([&](HWND dialog) {
            shown = dialog;
            SetText(FolderBox(dialog), typed);
            // Posted: the folder dialog's loop must not run inside this timer's call.
            testing::PostClick(BrowseButton(dialog));
        });
        EXPECT_TRUE(driver.AllRan());
        return choice;
    }

    testing::TempFolder temp_;
};

TEST_F(ExtractionBrowseTest, BrowsingStartsAtTheBoxAndFillsItWithTheChosenFolder) {
    const std::string typed = temp_.File("图标输出");
    const std::string chosen = temp_.File("另一个");
    ASSERT_TRUE(::CreateDirectoryW(WidePtr(ToWide(typed)), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(WidePtr(ToWide(chosen)), nullptr));
    const auto choice = Browse(
        typed,
        [&](HWND browser) {
            EXPECT_NE(FindChild(browser, "选择保存路径"), nullptr) << "the title is shown";
            EXPECT_FALSE(::IsWindowEnabled(::GetWindow(browser, GW_OWNER)));
            // The browser is asked for the typed folder as it opens; when Wine's walk there
            // stops short, the wait asks again for the same folder.
            EXPECT_TRUE(testing::WaitForBrowserOn(
                browser, typed, [&] { return SelectedTreeItem(browser) == "图标输出"; }))
                << "opened on the typed folder, not " << SelectedTreeItem(browser);
            SelectSiblingInTree(browser, "另一个");
            Click(::GetDlgItem(browser, IDOK));
        },
        [&](HWND dialog) {
            EXPECT_EQ(TextOf(FolderBox(dialog)), chosen);
            ::SendMessageW(FormatList(dialog), CB_SETCURSEL, 4, 0);
            Click(FindChildById(dialog, IDOK));
        });
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->folder, chosen);
    EXPECT_EQ(choice->formatIdentifier, kGifFormat);
}

TEST_F(ExtractionBrowseTest, ADriveRootComesBackWithItsOneBackslash) {
    const auto choice = Browse(
        temp_.path(),
        [&](HWND browser) {
            SelectInBrowser(browser, "C:\\", "C:");
            Click(::GetDlgItem(browser, IDOK));
        },
        [&](HWND dialog) { Click(FindChildById(dialog, IDOK)); });
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->folder, "C:\\");
}

TEST_F(ExtractionBrowseTest, ACancelledBrowseLeavesTheTypedFolder) {
    const std::string typed = temp_.path() + "\\还没有";
    const auto choice = Browse(
        typed, [&](HWND browser) { Click(::GetDlgItem(browser, IDCANCEL)); },
        [&](HWND dialog) {
            EXPECT_EQ(TextOf(FolderBox(dialog)), typed);
            Click(FindChildById(dialog, IDOK));
        });
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->folder, typed) << "a folder typed by hand is the one used";
}

}  // namespace
}  // namespace iconvale
