#include "app/settings_dialog.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "app/platform_modal_ui.h"
#include "support/dialog_driver.h"

namespace iconvale {
namespace {

using testing::Click;
using testing::FindChild;
using testing::FindChildById;
using testing::PlaceOf;
using testing::TextOf;

constexpr char kCaption[] = "设置";

class SettingsDialogTest : public ::testing::Test {
protected:
    // Shows the dialog through the program's modal seam; `act` runs once inside its loop.
    void Run(const std::function<void(HWND)>& act) {
        SettingsDialogHooks hooks;
        hooks.opened = [this] { return associated_; };
        hooks.confirmed = [this](bool associate) { confirmed_.push_back(associate); };
        testing::RunModal(kCaption, act, [&] { PlatformModalUi().ShowSettingsDialog(hooks); });
    }

    static HWND Box(HWND dialog) {
        return FindChildById(dialog, SettingsDialog::kAssociationBoxId);
    }

    bool associated_ = false;
    std::vector<bool> confirmed_;
};

TEST_F(SettingsDialogTest, FrameAndControlsFollowTheDesign) {
    struct Expected {
        const char* text;
        const char* className;
        std::array<int, 4> place;
    };
    const Expected expected[] = {
        {"文件关联：", "Static", {16, 16, 72, 24}},
        {"*.eil", "Button", {104, 16, 64, 24}},
        {"确定", "Button", {93, 56, 64, 24}},
        {"取消", "Button", {168, 56, 64, 24}},
    };
    Run([&](HWND dialog) {
        testing::ExpectFixedUnownedCentred(dialog, 253, 120);
        for (const Expected& e : expected) {
            HWND control = FindChild(dialog, e.text, e.className);
            ASSERT_NE(control, nullptr) << e.text;
            EXPECT_EQ(PlaceOf(control), e.place) << e.text;
        }
        EXPECT_EQ(::GetWindowLongW(Box(dialog), GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
        EXPECT_EQ(TextOf(Box(dialog)), "*.eil");
        Click(FindChildById(dialog, IDCANCEL));
    });
}

TEST_F(SettingsDialogTest, OkHandsOnTheBoxAsLeftAndCloses) {
    // Opened as the association stands, then changed or not before OK.
    struct Case {
        bool associated;
        bool toggle;
        bool expected;
    };
    for (Case c : {Case{false, false, false}, Case{true, false, true}, Case{false, true, true},
                   Case{true, true, false}}) {
        associated_ = c.associated;
        confirmed_.clear();
        Run([&](HWND dialog) {
            EXPECT_EQ(testing::IsTicked(Box(dialog)), c.associated);
            if (c.toggle) Click(Box(dialog));
            Click(FindChildById(dialog, IDOK));
        });
        EXPECT_EQ(confirmed_, std::vector<bool>{c.expected});
    }
}

TEST_F(SettingsDialogTest, CancelEscapeAndTheFrameChangeNothing) {
    const std::function<void(HWND)> ways[] = {
        [](HWND dialog) { Click(FindChildById(dialog, IDCANCEL)); },
        [](HWND dialog) { testing::PostKey(Box(dialog), VK_ESCAPE); },
        [](HWND dialog) { ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const auto& way : ways) {
        Run([&](HWND dialog) {
            Click(Box(dialog));
            way(dialog);
        });
    }
    EXPECT_TRUE(confirmed_.empty());
}

TEST_F(SettingsDialogTest, AQuitWhileShownEndsItAndStillReachesTheOuterLoop) {
    Run([](HWND) { ::PostQuitMessage(7); });
    EXPECT_TRUE(confirmed_.empty());
    MSG quit{};
    ASSERT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
}

}  // namespace
}  // namespace iconvale
