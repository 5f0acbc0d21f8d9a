// Splits the program's command line (narrow GBK text) into its arguments.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace iconvale {

// The arguments after the program's own name. A double quote starts an argument that runs
// to the next double quote; a character below 0x21 separates; a double-byte character is never
// split. So a path with blanks is one argument only when it is quoted.
std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace iconvale
