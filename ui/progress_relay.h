// A reporter that passes every report on to another, named once that exists: the commands are
// made before the window whose status bar shows their progress, and outlive it. Portable.
#pragma once

#include <string_view>

#include "ui/progress_reporter.h"

namespace iconvale {

class ProgressRelay final : public ProgressReporter {
public:
    // Null sends the reports nowhere. Work under way on the former target is ended there.
    void SetTarget(ProgressReporter* target) {
        if (target_) target_->End();
        target_ = target;
    }

    void Begin(int total, std::string_view text) override {
        if (target_) target_->Begin(total, text);
    }
    void Step(int count = 1) override {
        if (target_) target_->Step(count);
    }
    void End() override {
        if (target_) target_->End();
    }

private:
    ProgressReporter* target_ = nullptr;
};

}  // namespace iconvale
