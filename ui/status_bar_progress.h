// Long work's count in the last pane of a status bar, as "正在添加 3/120". Work that is over
// within half a second leaves the bar alone. While the count shows, the bar and its window are
// repainted as the work goes, through a loop that takes paint messages and nothing else, so that
// no command runs in the middle of the work. At the end the pane gets its former text back; the
// cursor is left as it is.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/progress_reporter.h"

namespace iconvale {

class StatusBarProgress final : public ProgressReporter {
public:
    // Milliseconds from any fixed start; the system's tick count unless given.
    using Clock = std::function<std::uint64_t()>;
    static constexpr std::uint64_t kShowAfterMs = 500;
    // A shown count is renewed, and the window repainted, at most this often.
    static constexpr std::uint64_t kRefreshMs = 50;

    explicit StatusBarProgress(HWND statusBar, Clock clock = {});
    ~StatusBarProgress() override;  // ends work still going
    StatusBarProgress(const StatusBarProgress&) = delete;
    StatusBarProgress& operator=(const StatusBarProgress&) = delete;

    // A Begin while work goes ends that work first.
    void Begin(int total, std::string_view text) override;
    void Step(int count = 1) override;
    void End() override;

    bool Showing() const { return shown_; }

private:
    bool Show();
    void Refresh(std::uint64_t now);
    void PaintPending() const;

    HWND bar_;
    Clock clock_;
    std::string text_;
    int total_ = 0;
    int done_ = 0;
    bool begun_ = false;
    bool shown_ = false;
    std::uint64_t started_ = 0;
    std::uint64_t refreshed_ = 0;
    int pane_ = 0;
    std::wstring former_;
    WORD formerDrawing_ = 0;
};

}  // namespace iconvale
