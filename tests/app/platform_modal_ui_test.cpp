#include "app/platform_modal_ui.h"

#include <gtest/gtest.h>

#include <string>

#include "support/dialog_driver.h"

namespace iconvale {
namespace {

using testing::ClassOf;
using testing::Click;
using testing::DialogDriver;
using testing::FindChildById;
using testing::TextOf;

constexpr char kBoxClass[] = "#32770";

// The message box's text: its one static child with text (the icon is a static too).
std::string BoxText(HWND box) {
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "Static" && !TextOf(child).empty()) return TextOf(child);
    }
    return {};
}

TEST(PlatformModalUi, MessageShowsTheTextsAndReturnsTheButtonPressed) {
    struct Case {
        UINT style;
        int press;
    };
    for (Case c : {Case{kYesNoQuestion, IDYES}, Case{kYesNoQuestion, IDNO},
                   Case{kYesNoCancelQuestion, IDCANCEL}, Case{kErrorBox, IDOK}}) {
        DialogDriver driver;
        std::string text;
        driver.When(
            "图标编辑",
            [&](HWND box) {
                text = BoxText(box);
                Click(FindChildById(box, c.press));
            },
            kBoxClass);
        EXPECT_EQ(
            PlatformModalUi().Message(nullptr, "你真的要清空所有图标吗？", "图标编辑", c.style),
            c.press);
        EXPECT_TRUE(driver.AllRan());
        EXPECT_EQ(text, "你真的要清空所有图标吗？");
    }
}

TEST(PlatformModalUi, AnEmptyTitleShowsAsTheUntitledTitle) {
    DialogDriver driver;
    driver.When(
        kUntitledBoxTitle, [](HWND box) { Click(FindChildById(box, IDOK)); }, kBoxClass);
    EXPECT_EQ(PlatformModalUi().Message(nullptr, "保存失败", "", kInformationBox), IDOK);
    EXPECT_TRUE(driver.AllRan());
}

TEST(PlatformModalUi, MessagesWithoutAnOwnerHoldUpEveryWindowOfTheThread) {
    HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    bool enabledWhileShown = true;
    DialogDriver driver;
    driver.When(
        "Iconvale",
        [&](HWND box) {
            enabledWhileShown = ::IsWindowEnabled(other);
            Click(FindChildById(box, IDOK));
        },
        kBoxClass);
    PlatformModalUi().Inform(nullptr, "完成");
    EXPECT_TRUE(driver.AllRan());
    EXPECT_FALSE(enabledWhileShown);
    EXPECT_TRUE(::IsWindowEnabled(other));
    ::DestroyWindow(other);
}

TEST(PlatformModalUi, ABoxThatCannotBeShownAnswersCancelNotAnError) {
    // A stale owner: the platform refuses the box and answers -1, which no caller expects.
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(gone, nullptr);
    ::DestroyWindow(gone);
    DialogDriver driver;
    driver.When(
        "图标编辑", [](HWND box) { Click(FindChildById(box, IDYES)); }, kBoxClass);
    EXPECT_EQ(PlatformModalUi().Message(gone, "清空？", "图标编辑", kYesNoQuestion), IDCANCEL);
    EXPECT_FALSE(driver.Ran("图标编辑"));
}

}  // namespace
}  // namespace iconvale
