// The mark a platform image list of 32 bits keeps for each place, saying whether it draws the
// image there through its alpha or through its mask. Only the platform's add and replace set it,
// judging the image they are given; cells written in place keep the mark of their place.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace iconvale {

// The marks of places first..first+n-1, 1 for drawn through alpha; none where the platform does
// not tell them.
std::optional<std::vector<std::uint8_t>> ReadAlphaMarks(HIMAGELIST list, int first, int n);

}  // namespace iconvale
