#include "app/new_group_dialog.h"

#include <gtest/gtest.h>

#include <colordlg.h>

#include <functional>
#include <string>
#include <vector>

#include "app/platform_modal_ui.h"
#include "support/dialog_driver.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::Click;
using testing::DialogDriver;
using testing::FindChildById;
using testing::SetText;
using testing::TextOf;

constexpr char kCaption[] = "新建图片组";
constexpr int kHeightBox = NewGroupDialog::kHeightBoxId;

class NewGroupDialogTest : public ::testing::Test {
protected:
    // Shows the dialog; `act` runs once inside its loop. Returns after the dialog is gone.
    void Run(const std::function<void(HWND)>& act) {
        testing::RunModal(kCaption, act, [&] { ASSERT_TRUE(dialog_.Show()); });
        EXPECT_EQ(dialog_.hwnd(), nullptr);
    }

    HWND Cancel(HWND dialog) { return FindChildById(dialog, IDCANCEL); }

    bool openedTicks_ = false;
    bool accepts_ = true;
    int openings_ = 0;
    std::vector<NewGroupInputs> confirmed_;
    NewGroupDialog dialog_{{[this] {
                                ++openings_;
                                return openedTicks_;
                            },
                            [this](const NewGroupInputs& inputs) {
                                confirmed_.push_back(inputs);
                                return accepts_;
                            }}};
    DialogDriver driver_;
};

TEST_F(NewGroupDialogTest, FrameIsFixedUnownedAndCentredOnTheScreen) {
    Run([&](HWND dialog) {
        testing::ExpectFixedUnownedCentred(dialog, 304, 161);
        EXPECT_EQ(::GetFocus(), FindChildById(dialog, NewGroupDialog::kWidthBoxId));
        Click(Cancel(dialog));
    });
}

TEST_F(NewGroupDialogTest, ControlsSitWhereDesignedWithTheirKindsAndTexts) {
    const testing::DesignedControl expected[] = {
        {0, "宽度：", "Static", {9, 16, 48, 16}},
        {NewGroupDialog::kWidthBoxId, "16", "Edit", {57, 14, 48, 19}},
        {0, "高度：", "Static", {8, 49, 48, 16}},
        {NewGroupDialog::kHeightBoxId, "16", "Edit", {56, 47, 48, 19}},
        {NewGroupDialog::kTransparencyBoxId, "使用透明色", "Button", {144, 12, 80, 24}},
        {NewGroupDialog::kColourLabelId, "背景色：", "Static", {144, 48, 48, 16}},
        {NewGroupDialog::kColourChooserId, "", "Button", {192, 46, 68, 20}},
        {0, "位深：", "Static", {8, 81, 48, 16}},
        {NewGroupDialog::kDepthListId, "24", "ComboBox", {55, 78, 66, 20}},
        {IDOK, "确定", "Button", {141, 99, 64, 24}},
        {IDCANCEL, "取消", "Button", {216, 99, 64, 24}},
    };
    Run([&](HWND dialog) {
        testing::ExpectDesignedControls(dialog, expected);
        auto style = [&](int id) { return ::GetWindowLongW(FindChildById(dialog, id), GWL_STYLE); };
        EXPECT_FALSE(style(NewGroupDialog::kWidthBoxId) & ES_MULTILINE);
        EXPECT_EQ(style(NewGroupDialog::kTransparencyBoxId) & BS_TYPEMASK, BS_AUTOCHECKBOX);
        EXPECT_EQ(style(NewGroupDialog::kColourChooserId) & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_FALSE(style(NewGroupDialog::kColourChooserId) & WS_DISABLED);
        EXPECT_EQ(style(NewGroupDialog::kDepthListId) & 3, CBS_DROPDOWNLIST);
        EXPECT_EQ(style(IDOK) & BS_TYPEMASK, BS_DEFPUSHBUTTON);

        HWND list = FindChildById(dialog, NewGroupDialog::kDepthListId);
        testing::ExpectDropDownItems(list, {"4", "8", "16", "24", "32"}, 3, 20);
        EXPECT_EQ(dialog_.colour(), 0xFFFFFFu);
        Click(Cancel(dialog));
    });
    EXPECT_TRUE(confirmed_.empty());
}

TEST_F(NewGroupDialogTest, TheCheckBoxStartsAsOpenedSaysAndNamesTheColour) {
    for (bool ticks : {false, true}) {
        openedTicks_ = ticks;
        Run([&](HWND dialog) {
            HWND box = FindChildById(dialog, NewGroupDialog::kTransparencyBoxId);
            HWND label = FindChildById(dialog, NewGroupDialog::kColourLabelId);
            EXPECT_EQ(testing::IsTicked(box), ticks);
            EXPECT_EQ(TextOf(label), ticks ? "透明色：" : "背景色：");
            Click(box);
            EXPECT_EQ(testing::IsTicked(box), !ticks);
            EXPECT_EQ(TextOf(label), ticks ? "背景色：" : "透明色：");
            Click(box);
            EXPECT_EQ(TextOf(label), ticks ? "透明色：" : "背景色：");
            EXPECT_TRUE(::IsWindowEnabled(FindChildById(dialog, NewGroupDialog::kColourChooserId)));
            Click(Cancel(dialog));
        });
    }
    EXPECT_EQ(openings_, 2);
}

TEST_F(NewGroupDialogTest, OkHandsOnWhatWasEnteredAndCloses) {
    Run([&](HWND dialog) {
        SetText(FindChildById(dialog, NewGroupDialog::kWidthBoxId), "32");
        SetText(FindChildById(dialog, NewGroupDialog::kHeightBoxId), "48");
        ::SendMessageW(FindChildById(dialog, NewGroupDialog::kDepthListId), CB_SETCURSEL, 1, 0);
        Click(FindChildById(dialog, NewGroupDialog::kTransparencyBoxId));
        dialog_.SetColour(RGB(0x12, 0x34, 0x56));
        Click(FindChildById(dialog, IDOK));
    });
    ASSERT_EQ(confirmed_.size(), 1u);
    EXPECT_EQ(confirmed_[0].widthText, "32");
    EXPECT_EQ(confirmed_[0].heightText, "48");
    EXPECT_EQ(confirmed_[0].depthText, "8");
    EXPECT_TRUE(confirmed_[0].useTransparentColour);
    EXPECT_EQ(confirmed_[0].colour, RGB(0x12, 0x34, 0x56));
}

TEST_F(NewGroupDialogTest, RefusedInputsKeepTheDialogOpenAsTyped) {
    accepts_ = false;
    Run([&](HWND dialog) {
        HWND width = FindChildById(dialog, NewGroupDialog::kWidthBoxId);
        SetText(width, "abc");
        ::SendMessageW(FindChildById(dialog, NewGroupDialog::kDepthListId), CB_SETCURSEL, 4, 0);
        Click(FindChildById(dialog, IDOK));
        EXPECT_TRUE(::IsWindowVisible(dialog));
        EXPECT_EQ(TextOf(width), "abc");
        EXPECT_EQ(TextOf(FindChildById(dialog, NewGroupDialog::kDepthListId)), "32");
        accepts_ = true;
        SetText(width, "20");
        Click(FindChildById(dialog, IDOK));
    });
    ASSERT_EQ(confirmed_.size(), 2u);
    EXPECT_EQ(confirmed_[0].widthText, "abc");
    EXPECT_EQ(confirmed_[0].depthText, "32");
    EXPECT_EQ(confirmed_[1].widthText, "20");
}

TEST_F(NewGroupDialogTest, EveryWayOutButOkClosesUnconfirmedAndItReopensAsDesigned) {
    const std::function<void(HWND)> ways[] = {
        [&](HWND dialog) { Click(Cancel(dialog)); },
        [&](HWND dialog) { testing::PostKey(FindChildById(dialog, kHeightBox), VK_ESCAPE); },
        [&](HWND dialog) { ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const auto& way : ways) {
        DialogDriver driver;
        driver.When(kCaption, [&](HWND dialog) {
            HWND width = FindChildById(dialog, NewGroupDialog::kWidthBoxId);
            HWND list = FindChildById(dialog, NewGroupDialog::kDepthListId);
            EXPECT_EQ(TextOf(width), "16");
            EXPECT_EQ(TextOf(FindChildById(dialog, NewGroupDialog::kHeightBoxId)), "16");
            EXPECT_EQ(TextOf(list), "24");
            EXPECT_EQ(dialog_.colour(), 0xFFFFFFu);
            SetText(width, "99");
            ::SendMessageW(list, CB_SETCURSEL, 0, 0);
            dialog_.SetColour(0);
            way(dialog);
        });
        ASSERT_TRUE(dialog_.Show());
        EXPECT_TRUE(driver.AllRan());
    }
    EXPECT_TRUE(confirmed_.empty());

    Run([&](HWND dialog) { testing::PostKey(FindChildById(dialog, kHeightBox), VK_RETURN); });
    EXPECT_EQ(confirmed_.size(), 1u) << "Enter presses OK";
}

TEST_F(NewGroupDialogTest, TheChooserOpensThePlatformPickerAtItsColourAndTakesTheChoice) {
    HWND shown = nullptr;
    std::string redShown;
    driver_.WhenFound([&] { return shown ? testing::FindOwnedWindow(shown, "#32770") : nullptr; },
                      [&](HWND picker) {
                          redShown = TextOf(::GetDlgItem(picker, COLOR_RED));
                          SetText(::GetDlgItem(picker, COLOR_RED), "10");
                          SetText(::GetDlgItem(picker, COLOR_GREEN), "20");
                          SetText(::GetDlgItem(picker, COLOR_BLUE), "30");
                          Click(::GetDlgItem(picker, IDOK));
                      },
                      "colour picker");
    driver_.WhenFound(
        [&]() -> HWND {
            const bool back = driver_.Ran("colour picker") && ::IsWindowEnabled(shown);
            return back ? shown : nullptr;
        },
        [&](HWND dialog) { Click(FindChildById(dialog, IDOK)); }, "back from the picker");
    Run([&](HWND dialog) {
        shown = dialog;
        dialog_.SetColour(RGB(153, 102, 51));
        // Posted: the picker's loop must not run inside this timer's call.
        testing::PostClick(FindChildById(dialog, NewGroupDialog::kColourChooserId));
    });
    EXPECT_TRUE(driver_.AllRan());
    EXPECT_EQ(redShown, "153");
    ASSERT_EQ(confirmed_.size(), 1u);
    EXPECT_EQ(confirmed_[0].colour, RGB(10, 20, 30));
}

TEST_F(NewGroupDialogTest, OtherWindowsOfTheThreadWaitWhileItIsShown) {
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    Run([&](HWND dialog) {
        EXPECT_FALSE(::IsWindowEnabled(other));
        Click(Cancel(dialog));
    });
    EXPECT_TRUE(::IsWindowEnabled(other));
    ::DestroyWindow(other);
}

TEST(PlatformModalUiNewGroup, ShowReturnsOnlyAfterTheDialogIsGone) {
    PlatformModalUi ui;
    DialogDriver driver;
    HWND shown = nullptr;
    bool confirmedWhileShown = false;
    driver.When(kCaption, [&](HWND dialog) {
        shown = dialog;
        SetText(FindChildById(dialog, NewGroupDialog::kWidthBoxId), "64");
        Click(FindChildById(dialog, IDOK));
    });
    NewGroupDialogHooks hooks;
    hooks.confirmed = [&](const NewGroupInputs& inputs) {
        confirmedWhileShown = ::IsWindowVisible(shown) && inputs.widthText == "64";
        return true;
    };
    ui.ShowNewGroupDialog(hooks);
    EXPECT_TRUE(driver.AllRan());
    EXPECT_TRUE(confirmedWhileShown);
    EXPECT_FALSE(::IsWindow(shown));
    EXPECT_EQ(testing::FindThreadWindow(kCaption), nullptr);
}

}  // namespace
}  // namespace iconvale
