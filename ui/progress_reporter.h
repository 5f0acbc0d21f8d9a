// Long work says how far it has come through a reporter; the program shows it in the status bar,
// tests count it, and work nobody watches takes the null reporter. Portable.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace iconvale {

class ProgressReporter {
public:
    virtual ~ProgressReporter() = default;

    // Work of `total` steps begins; `text` (GBK) names it, as "正在添加".
    virtual void Begin(int total, std::string_view text) = 0;
    // `count` more steps are done.
    virtual void Step(int count = 1) = 0;
    // The work is over, whole or not. Without a Begin before it, nothing happens.
    virtual void End() = 0;
};

class NullProgress final : public ProgressReporter {
public:
    void Begin(int, std::string_view) override {}
    void Step(int) override {}
    void End() override {}
};

// The reporter of work that nobody watches, for callers that name none.
inline ProgressReporter& NoProgress() {
    static NullProgress none;
    return none;
}

// Reports from work that learns its total only once it runs, such as loading a group: `done` of
// `total` so far.
using ProgressSteps = std::function<void(int done, int total)>;

// Feeds such reports to `reporter`: the first begins it with `text`, each steps it by what was
// done since the one before. The caller still ends it.
inline ProgressSteps StepsFor(ProgressReporter& reporter, std::string text) {
    return [&reporter, text = std::move(text), reported = -1](int done, int total) mutable {
        if (reported < 0) {
            reporter.Begin(total, text);
            reported = 0;
        }
        if (done > reported) {
            reporter.Step(done - reported);
            reported = done;
        }
    };
}

}  // namespace iconvale
