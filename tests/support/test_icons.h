// Icons drawn by the tests, for feeding image groups.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "ui/win_handles.h"

namespace iconvale::testing {

// colour(x, y) gives 0xAARRGGBB; an alpha of 0 makes the pixel transparent in the icon's mask.
UniqueIcon MakeIcon(int width, int height, const std::function<std::uint32_t(int x, int y)>& colour);

// A fully opaque icon of one colour (0x00RRGGBB).
UniqueIcon SolidIcon(int width, int height, std::uint32_t rgb);

}  // namespace iconvale::testing
