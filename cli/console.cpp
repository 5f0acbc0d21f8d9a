#include "cli/console.h"

namespace iconvale::cli {

int Console::Fail(std::string_view file, std::string_view reason) const {
    err << kProgramName << ": " << file << ": " << reason << '\n';
    return kExitFailed;
}

int Console::Misuse(std::string_view reason) const {
    err << kProgramName << ": " << reason << '\n';
    return kExitUsage;
}

void Console::Warn(std::string_view file, std::string_view text) const {
    err << kProgramName << ": " << file << ": warning: " << text << '\n';
}

int Console::FinishOutput(int status) const {
    out.flush();
    if (out) return status;
    return Fail("standard output", "cannot be written");
}

Progress::Progress(const Console& console, std::string_view verb, int total)
    : console_(console), verb_(verb), total_(total), start_(std::chrono::steady_clock::now()) {}

Progress::~Progress() {
    if (shown_) console_.err << '\r' << verb_ << ' ' << total_ << '/' << total_ << '\n';
}

void Progress::Step(int done) {
    using namespace std::chrono_literals;
    if (console_.quiet) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < 1s || now - lastShown_ < 100ms) return;
    lastShown_ = now;
    shown_ = true;
    console_.err << '\r' << verb_ << ' ' << done << '/' << total_ << std::flush;
}

}  // namespace iconvale::cli
