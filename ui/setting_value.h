// Numbers kept as text in the settings file.
#pragma once

#include <string_view>

namespace iconvale {

// Blanks (space, tab) are skipped, then an optional sign and the decimal digits up to the
// first other character are read; text without digits gives 0. A number beyond the range of
// int gives INT_MAX or INT_MIN rather than wrapping.
int SettingToInt(std::string_view text);

}  // namespace iconvale
