// An image of a list as a picture file stores it, for the writers that put images out one
// picture each (picture collections of forms, resource files of bitmaps).
#pragma once

#include <cstdint>
#include <vector>

#include "core/embedded_pictures.h"
#include "core/image_list_stream.h"

namespace iconvale {

// Image `index` with straight alpha, 0 wherever the mask is set. An image of 32 bits whose alpha
// is 0 throughout has none, and is opaque; so are images of lower depths. `palette` is the
// list's own or, without one, DefaultPalette of its depth.
BgraPicture ImageAsPicture(const ImageListData& images, const std::vector<std::uint32_t>& palette,
                           int index);

}  // namespace iconvale
