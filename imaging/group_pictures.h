// Images of a group drawn out as pictures: one image as extraction writes it, or all of them
// side by side as one strip.
#pragma once

#include <string_view>

#include "core/bytes.h"
#include "core/image_group.h"

namespace iconvale {

// Image `index` on a canvas of the cell size, encoded in the format. PNG keeps the canvas
// transparent under the image's transparent parts; the other formats get the group's
// background colour there, or white when it has none. Empty on failure.
Bytes EncodeGroupImage(const ImageGroup& group, int index, std::string_view formatIdentifier);

// Every image, `columns` to a row from the top left (all in one row when `columns` is 0), on a
// transparent canvas, as PNG. Empty on failure or for an empty group.
Bytes EncodeGroupStrip(const ImageGroup& group, int columns);

}  // namespace iconvale
