// Where the program runs from, and the path arithmetic on the program's GBK text.
#pragma once

#include <string>
#include <string_view>

namespace iconvale {

// GBK bytes 0x81-0xFE lead a two-byte character; its trail byte may be 0x5C, which is then
// not a backslash.
inline bool IsGbkLeadByte(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

// The folder holding the running executable, without a trailing backslash except at a drive
// root ("C:\"). Empty when the platform cannot tell.
std::string ProgramFolder();

// The executable's file name ("iconvale.exe"); empty when the platform cannot tell.
std::string ProgramFileName();

// The path without its last component, cut as the shell's path functions cut it, over GBK bytes:
// "C:\icons\a.eil" gives "C:\icons", "C:\a.eil" gives "C:\", "\\server\share" gives "\\server",
// "a.eil" gives "".
std::string ParentFolder(std::string_view path);

// folder + "\" + name, with no second backslash after a folder that already ends in one.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace iconvale
