#include "ui/status_bar_progress.h"

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <utility>

#include "ui/control_text.h"
#include "ui/ui_language.h"

namespace iconvale {

namespace {

// A window that never validates its update region would keep a paint loop going for ever.
constexpr int kMaxPaintsPerRefresh = 64;

std::uint64_t TickCount() {
    return ::GetTickCount64();
}

}  // namespace

StatusBarProgress::StatusBarProgress(HWND statusBar, Clock clock)
    : bar_(statusBar), clock_(clock ? std::move(clock) : Clock(&TickCount)) {}

StatusBarProgress::~StatusBarProgress() {
    End();
}

void StatusBarProgress::Begin(int total, std::string_view text) {
    End();
    try {
        text_.assign(text);
    } catch (const std::bad_alloc&) {
        text_.clear();
    }
    total_ = std::max(total, 0);
    done_ = 0;
    begun_ = true;
    started_ = refreshed_ = clock_();
}

void StatusBarProgress::Step(int count) {
    if (!begun_ || count < 0) return;
    done_ = static_cast<int>(std::min<long long>(static_cast<long long>(done_) + count, total_));
    const std::uint64_t now = clock_();
    if (!shown_) {
        if (now - started_ >= kShowAfterMs && Show()) Refresh(now);
    } else if (now - refreshed_ >= kRefreshMs) {
        Refresh(now);
    }
}

void StatusBarProgress::End() {
    if (!begun_) return;
    begun_ = false;
    if (!shown_) return;
    shown_ = false;
    ::SendMessageW(bar_, SB_SETTEXTW, static_cast<WPARAM>(pane_) | formerDrawing_,
                   reinterpret_cast<LPARAM>(former_.c_str()));
    former_.clear();
}

bool StatusBarProgress::Show() {
    const LRESULT parts = ::SendMessageW(bar_, SB_GETPARTS, 0, 0);
    pane_ = parts > 0 ? static_cast<int>(parts) - 1 : 0;
    const LRESULT length = ::SendMessageW(bar_, SB_GETTEXTLENGTHW, pane_, 0);
    try {
        former_.assign(static_cast<std::size_t>(LOWORD(length)) + 1, L'\0');
    } catch (const std::bad_alloc&) {
        return false;
    }
    // The high word tells how the pane is drawn (borders, pop-out), which goes back with the text.
    const LRESULT got =
        ::SendMessageW(bar_, SB_GETTEXTW, pane_, reinterpret_cast<LPARAM>(former_.data()));
    former_.resize(std::min<std::size_t>(LOWORD(got), former_.size() - 1));
    formerDrawing_ = HIWORD(got);
    shown_ = true;
    return true;
}

void StatusBarProgress::Refresh(std::uint64_t now) {
    refreshed_ = now;
    try {
        SetPaneText(bar_, pane_,
                    Translated(text_) + " " + std::to_string(done_) + "/" + std::to_string(total_));
    } catch (const std::bad_alloc&) {
        // The count is a courtesy; the work goes on without it.
    }
    PaintPending();
}

void StatusBarProgress::PaintPending() const {
    ::UpdateWindow(bar_);
    // Filtered to the bar's window (its children included) and to WM_PAINT: input, timers and
    // commands stay queued until the work is over.
    HWND window = ::GetAncestor(bar_, GA_ROOT);
    MSG message{};
    for (int i = 0; i < kMaxPaintsPerRefresh &&
                    ::PeekMessageW(&message, window, WM_PAINT, WM_PAINT, PM_REMOVE | PM_QS_PAINT);
         ++i) {
        ::DispatchMessageW(&message);
    }
}

}  // namespace iconvale
