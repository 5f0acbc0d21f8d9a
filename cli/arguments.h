// Rules for reading the command line's values and naming inputs; portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace iconvale::cli {

struct CellSize {
    int width = 0;
    int height = 0;
};

// "WxH" (or "W×H" with an upper-case X) with both sides 1..65535.
std::optional<CellSize> ParseCellSize(std::string_view text);

// "RRGGBB" in hexadecimal, with an optional leading '#', as a colour value 0x00BBGGRR.
std::optional<std::uint32_t> ParseColour(std::string_view text);

// "0,3-5" as ascending distinct indices, each below `count`; nullopt for a malformed list or
// an index out of range.
std::optional<std::vector<int>> ParseIndexList(std::string_view text, int count);

// Name order as people sort: runs of digits compare by value (image2 before image10), other
// characters without regard to ASCII case; ties fall back to the plain byte order.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace iconvale::cli
