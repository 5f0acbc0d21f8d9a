#include "ui/progress_reporter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_progress.h"
#include "ui/progress_relay.h"

namespace iconvale {
namespace {

using testing::RecordingProgress;

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

TEST(ProgressRelay, PassesReportsToItsTargetAndEndsItsWorkThereWhenRetargeted) {
    ProgressRelay relay;
    relay.Begin(2, "lost");  // no target yet
    RecordingProgress first;
    relay.SetTarget(&first);
    relay.Begin(2, "add");
    relay.Step(1);
    RecordingProgress second;
    relay.SetTarget(&second);
    relay.End();
    relay.SetTarget(nullptr);
    relay.Step(1);
    EXPECT_EQ(first.calls, (std::vector<std::string>{"begin 2 add", "step 1", "end"}));
    EXPECT_EQ(second.calls, (std::vector<std::string>{"end", "end"}));
}

}  // namespace
}  // namespace iconvale
