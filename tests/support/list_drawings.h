// What a platform image list shows, for comparing two lists by their drawings.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include <cstdint>
#include <vector>

namespace iconvale::testing {

// Images 0..count-1 (all of them for -1) drawn plainly and transparently over a coloured ground,
// each with the mark the platform keeps of whether it draws the image through its alpha, where
// the platform tells.
std::vector<std::uint32_t> Drawings(HIMAGELIST list, int count = -1);

}  // namespace iconvale::testing
