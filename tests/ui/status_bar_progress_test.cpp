#include "ui/status_bar_progress.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "support/control_probes.h"
#include "support/windows.h"
#include "ui/control_text.h"
#include "ui/ui_language.h"
#include "ui/win_handles.h"

namespace iconvale {
namespace {

using testing::PaneText;
using UniqueWindow = UniqueHandle<NullHandleTraits<HWND, &::DestroyWindow>>;

constexpr UINT kQueuedCommand = WM_APP + 7;

// A shown window with a four-pane status bar, as the main window has, and a clock the test moves.
class StatusBarProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&classes);
        window_.reset(::CreateWindowExW(0, L"STATIC", L"进度", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        100, 100, 500, 200, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(window_);
        bar_ = ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                 window_.get(), nullptr, nullptr, nullptr);
        ASSERT_NE(bar_, nullptr);
        int edges[] = {80, 150, 220, -1};
        ::SendMessageW(bar_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
        SetPaneText(bar_, 3, "C:\\图标\\a.eil");
        testing::PumpMessages();
    }

    std::uint64_t now_ = 1000;
    UniqueWindow window_;
    HWND bar_ = nullptr;
    StatusBarProgress::Clock clock_ = [this] { return now_; };
};

TEST_F(StatusBarProgressTest, TheCountShowsAfterHalfASecondAndThePaneGetsItsTextBack) {
    StatusBarProgress progress(bar_, clock_);
    progress.Begin(120, "正在添加");
    for (int i = 0; i < 2; ++i) {
        now_ += 200;
        progress.Step();
    }
    EXPECT_FALSE(progress.Showing());
    EXPECT_EQ(PaneText(bar_, 3), "C:\\图标\\a.eil") << "0.4 s in";
    now_ += 100;
    progress.Step();
    EXPECT_TRUE(progress.Showing());
    EXPECT_EQ(PaneText(bar_, 3), "正在添加 3/120");

    now_ += StatusBarProgress::kRefreshMs - 1;
    progress.Step(10);
    EXPECT_EQ(PaneText(bar_, 3), "正在添加 3/120") << "renewed at most every few frames";
    now_ += 1;
    progress.Step(500);
    EXPECT_EQ(PaneText(bar_, 3), "正在添加 120/120") << "never past the total";

    progress.End();
    EXPECT_FALSE(progress.Showing());
    EXPECT_EQ(PaneText(bar_, 3), "C:\\图标\\a.eil");

    {
        StatusBarProgress unfinished(bar_, clock_);
        unfinished.Begin(2, "正在提取");
        now_ += 600;
        unfinished.Step();
        EXPECT_EQ(PaneText(bar_, 3), "正在提取 1/2");
    }
    EXPECT_EQ(PaneText(bar_, 3), "C:\\图标\\a.eil") << "work given up is ended too";
}

TEST_F(StatusBarProgressTest, QuickWorkLeavesThePaneAsTheWorkLeftIt) {
    StatusBarProgress progress(bar_, clock_);
    progress.Begin(3, "正在打开");
    now_ += StatusBarProgress::kShowAfterMs - 1;
    progress.Step(3);
    SetPaneText(bar_, 3, "C:\\新.eil");
    progress.End();
    EXPECT_EQ(PaneText(bar_, 3), "C:\\新.eil");
}

TEST_F(StatusBarProgressTest, WhileShownOnlyPaintMessagesAreHandled) {
    StatusBarProgress progress(bar_, clock_);
    progress.Begin(50, "正在合并");
    ::PostMessageW(window_.get(), kQueuedCommand, 0, 0);
    ::PostMessageW(window_.get(), WM_COMMAND, IDOK, 0);
    ::InvalidateRect(window_.get(), nullptr, TRUE);
    ::InvalidateRect(bar_, nullptr, TRUE);
    RECT pending{};
    ASSERT_TRUE(::GetUpdateRect(window_.get(), &pending, FALSE));

    now_ += StatusBarProgress::kShowAfterMs;
    progress.Step();
    EXPECT_FALSE(::GetUpdateRect(window_.get(), &pending, FALSE)) << "the window was repainted";
    EXPECT_FALSE(::GetUpdateRect(bar_, &pending, FALSE)) << "the bar was repainted";
    ::InvalidateRect(bar_, nullptr, TRUE);
    now_ += StatusBarProgress::kRefreshMs;
    progress.Step();
    EXPECT_FALSE(::GetUpdateRect(bar_, &pending, FALSE)) << "and is at each renewal";

    std::vector<UINT> queued;
    MSG message{};
    while (::PeekMessageW(&message, window_.get(), 0, 0, PM_REMOVE)) {
        if (message.message == kQueuedCommand || message.message == WM_COMMAND) {
            queued.push_back(message.message);
        }
    }
    EXPECT_EQ(queued, (std::vector<UINT>{kQueuedCommand, WM_COMMAND})) << "still queued, in order";
}

TEST_F(StatusBarProgressTest, TheCountIsNamedInTheChosenLanguage) {
    SetUiLanguage(UiLanguage::English);
    {
        StatusBarProgress progress(bar_, clock_);
        progress.Begin(4, "正在提取");
        now_ += 600;
        progress.Step();
        EXPECT_EQ(PaneText(bar_, 3), "Extracting 1/4");
    }
    SetUiLanguage(UiLanguage::Chinese);
}

}  // namespace
}  // namespace iconvale
