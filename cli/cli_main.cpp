// The command-line program's entry point: arguments become UTF-8 before they are parsed.
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

#ifdef _WIN32
#include <windows.h>

namespace {

std::string Utf8(const wchar_t* wide) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
    text.pop_back();  // the NUL
    return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(Utf8(argv[i]));
    // Names are printed as UTF-8; the console is asked to show them so, and put back after.
    const UINT oldCodePage = ::GetConsoleOutputCP();
    ::SetConsoleOutputCP(CP_UTF8);
    const int status = iconvale::cli::RunCommandLine(arguments, {std::cout, std::cerr});
    std::cout.flush();
    if (oldCodePage != 0) ::SetConsoleOutputCP(oldCodePage);
    return status;
}

#else

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return iconvale::cli::RunCommandLine(arguments, {std::cout, std::cerr});
}

#endif
