// A progress reporter that writes down every report, as "begin 3 text", "step 1" and "end".
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/progress_reporter.h"

namespace iconvale::testing {

struct RecordingProgress : ProgressReporter {
    void Begin(int total, std::string_view text) override {
        calls.push_back("begin " + std::to_string(total) + " " + std::string(text));
    }
    void Step(int count) override { calls.push_back("step " + std::to_string(count)); }
    void End() override {
        calls.push_back("end");
        if (ended) ended();
    }

    std::vector<std::string> calls;
    std::function<void()> ended;  // runs at each End, to look at the program then
};

}  // namespace iconvale::testing
