// How picture imports read the paths they are given.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace iconvale {

// A list of paths, one per line, lines separated by CR LF. An empty piece between two
// separators is kept; an empty piece after the last one is dropped; an empty text is no path.
std::vector<std::string> SplitPathLines(std::string_view text);

// Whether the path's last four bytes are ".ico" in any case (the whole path when shorter).
bool IsIconFileName(std::string_view path);

}  // namespace iconvale
