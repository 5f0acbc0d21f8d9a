// Scaling 32-bit BGRA images to another size, as a list of several sizes needs when an image has
// no drawing of its own at some size. Portable; no platform headers.
#pragma once

#include <cstdint>
#include <span>

#include "core/bytes.h"

namespace iconvale {

// `pixels` (width x height, 4 bytes a pixel: blue, green, red, alpha, rows top first without
// padding) scaled to toWidth x toHeight. Each axis on its own: a shrinking axis averages the
// source pixels each target pixel covers, weighted by how much of each it covers (a box filter);
// an enlarging axis interpolates linearly between the two nearest source pixel centres, the edge
// pixels held beyond them; an axis of the same length copies. Colours are averaged weighted by
// their alpha, so that fully transparent pixels lend no colour to their neighbours; the results
// round to nearest. Integer arithmetic throughout, so the result is the same on every platform.
// Empty when a side is 0 or over 65535, or `pixels` is short. The caller checks the budget.
Bytes ScaleBgra(std::span<const std::uint8_t> pixels, int width, int height, int toWidth,
                int toHeight);

}  // namespace iconvale
