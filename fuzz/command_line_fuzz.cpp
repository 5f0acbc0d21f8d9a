// Splits arbitrary text after a program's name and checks the splitting rules hold.
#include <cstdio>
#include <cstdlib>

#include "fuzz/command_line_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string why = iconvale::fuzz::CheckCommandLine(
        std::string_view(reinterpret_cast<const char*>(data), size));
    if (!why.empty()) {
        std::fprintf(stderr, "command line: %s\n", why.c_str());
        std::abort();
    }
    return 0;
}
