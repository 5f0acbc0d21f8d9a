#include "ui/progress_reporter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace iconvale {
namespace {

struct RecordingProgress : ProgressReporter {
    void Begin(int total, std::string_view text) override {
        calls.push_back("begin " + std::to_string(total) + " " + std::string(text));
    }
    void Step(int count) override { calls.push_back("step " + std::to_string(count)); }
    void End() override { calls.push_back("end"); }
    std::vector<std::string> calls;
};

TEST(ProgressSteps, BeginOnceThenStepByWhatEachReportAdds) {
    RecordingProgress progress;
    ProgressSteps steps = StepsFor(progress, "open");
    steps(0, 300);
    steps(100, 300);
    steps(100, 300);
    steps(250, 300);
    steps(300, 300);
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"begin 300 open", "step 100", "step 150", "step 50"}));
}

}  // namespace
}  // namespace iconvale
