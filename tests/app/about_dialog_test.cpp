#include "app/about_dialog.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <array>
#include <functional>
#include <string>

#include "app/platform_modal_ui.h"
#include "support/dialog_driver.h"
#include "support/test_icons.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::ClassOf;
using testing::Click;
using testing::FindChildById;
using testing::PlaceOf;
using testing::TextOf;

constexpr char kCaption[] = "关于";
constexpr COLORREF kIconColour = RGB(0xE0, 0x20, 0x40);

class AboutDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                   80, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
    }
    void TearDown() override { ::DestroyWindow(owner_); }

    // Shows the dialog through the program's modal seam; `act` runs once inside its loop.
    void Run(const std::function<void(HWND)>& act) {
        auto watched = [&](HWND dialog) {
            ownerEnabledWhileShown_ = ::IsWindowEnabled(owner_);
            act(dialog);
        };
        testing::RunModal(kCaption, watched,
                          [&] { PlatformModalUi().ShowAboutDialog(owner_, icon_.get()); });
    }

    HWND owner_ = nullptr;
    UniqueIcon icon_ = testing::SolidIcon(32, 32, 0xE02040);
    bool ownerEnabledWhileShown_ = true;
};

TEST_F(AboutDialogTest, FrameSitsOverItsOwnerWithTheDesignedControls) {
    Run([&](HWND dialog) {
        RECT outer{};
        ::GetWindowRect(dialog, &outer);
        EXPECT_EQ(outer.right - outer.left, 277);
        EXPECT_EQ(outer.bottom - outer.top, 156);
        EXPECT_EQ(outer.left, 100 + (640 - 277) / 2);
        EXPECT_EQ(outer.top, 80 + (480 - 156) / 2);
        EXPECT_EQ(::GetWindow(dialog, GW_OWNER), owner_);
        EXPECT_EQ(TextOf(dialog), kCaption);

        struct Expected {
            int id;
            const char* className;
            std::array<int, 4> place;
        };
        const Expected expected[] = {
            {AboutDialog::kIconId, "Static", {8, 8, 48, 48}},
            {AboutDialog::kCreditsId, "Static", {80, 16, 176, 40}},
            {AboutDialog::kInfoId, "SysLink", {8, 64, 248, 32}},
            {IDOK, "Button", {184, 96, 72, 24}},
        };
        for (const Expected& e : expected) {
            HWND control = FindChildById(dialog, e.id);
            ASSERT_NE(control, nullptr) << e.id;
            EXPECT_EQ(ClassOf(control), e.className);
            EXPECT_EQ(PlaceOf(control), e.place) << e.id;
        }
        EXPECT_EQ(TextOf(FindChildById(dialog, AboutDialog::kCreditsId)),
                  "Iconvale 是自由软件，可以自由使用和分发。\r\n作者：Iconvale 开发组");
        EXPECT_EQ(TextOf(FindChildById(dialog, IDOK)), "确定");
        EXPECT_EQ(::GetFocus(), FindChildById(dialog, IDOK));
        Click(FindChildById(dialog, IDOK));
    });
    EXPECT_FALSE(ownerEnabledWhileShown_);
    EXPECT_TRUE(::IsWindowEnabled(owner_));
    EXPECT_EQ(::GetActiveWindow(), owner_);
}

TEST_F(AboutDialogTest, TheInfoBoxShowsTheVersionAndLinksTheSite) {
    Run([&](HWND dialog) {
        HWND info = FindChildById(dialog, AboutDialog::kInfoId);
        const std::string text = TextOf(info);
        EXPECT_NE(text.find("版本：V1.2    交流群：暂无"), std::string::npos) << text;
        EXPECT_NE(text.find("网址："), std::string::npos) << text;
        LITEM link{};
        link.mask = LIF_ITEMINDEX | LIF_URL;
        link.iLink = 0;
        ASSERT_TRUE(::SendMessageW(info, LM_GETITEM, 0, reinterpret_cast<LPARAM>(&link)));
        EXPECT_EQ(std::wstring(link.szUrl), L"https://iconvale.example/");
        link.iLink = 1;
        EXPECT_FALSE(::SendMessageW(info, LM_GETITEM, 0, reinterpret_cast<LPARAM>(&link)));
        testing::PostKey(FindChildById(dialog, IDOK), VK_ESCAPE);
    });
    EXPECT_FALSE(ownerEnabledWhileShown_);
    EXPECT_TRUE(::IsWindowEnabled(owner_));
}

TEST_F(AboutDialogTest, DrawsItsOwnCopyOfTheIconAtFullSize) {
    Run([&](HWND dialog) {
        HWND picture = FindChildById(dialog, AboutDialog::kIconId);
        ::RedrawWindow(picture, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        WindowDc dc(picture);
        for (POINT p : {POINT{0, 0}, POINT{47, 47}, POINT{24, 24}, POINT{47, 0}}) {
            EXPECT_EQ(::GetPixel(dc.get(), p.x, p.y), kIconColour) << p.x << "," << p.y;
        }
        testing::PostKey(picture, VK_RETURN);
    });
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon_.get(), &info)) << "the caller's icon survives the dialog";
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

}  // namespace
}  // namespace iconvale
