// Where a command's output, errors and progress go, with the command line's conventions: one
// line per error naming the file and the reason, and exit codes 0, 1 (the work failed) and 2
// (bad usage).
#pragma once

#include <chrono>
#include <ostream>
#include <string>
#include <string_view>

namespace iconvale::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

inline constexpr char kProgramName[] = "iconvale-cli";

struct Console {
    std::ostream& out;
    std::ostream& err;
    bool quiet = false;

    // "iconvale-cli: FILE: REASON" on the error stream; returns kExitFailed.
    int Fail(std::string_view file, std::string_view reason) const;
    // "iconvale-cli: REASON" on the error stream; returns kExitUsage.
    int Misuse(std::string_view reason) const;
    // "iconvale-cli: FILE: warning: TEXT" on the error stream; the work goes on.
    void Warn(std::string_view file, std::string_view text) const;
    // Flushes the output, so that a full disk or a closed pipe shows: kExitFailed with one
    // line when any of it could not be written, else `status`.
    int FinishOutput(int status) const;
};

// A counter on the error stream ("packing 412/1000") for work that has run longer than about a
// second; nothing for quick work or when the console is quiet.
class Progress {
public:
    Progress(const Console& console, std::string_view verb, int total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void Step(int done);

private:
    const Console& console_;
    std::string verb_;
    int total_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastShown_{};
    bool shown_ = false;
};

}  // namespace iconvale::cli
