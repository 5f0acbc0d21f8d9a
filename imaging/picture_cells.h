// Pictures into the cells of an image list and cells back into pictures, by the rules the
// Windows build's platform image list follows, for the builds that have none. Portable.
//
// A whole picture is stretched to the cell by nearest neighbour, each cell pixel taking the
// source pixel under its centre (the first of two when the centre falls on their edge). Colours are stored premultiplied by alpha, rounded; a 32-bit
// list's mask marks pixels of alpha below 26 transparent, a shallower list's those of alpha 0.
// A split picture is cut into cells from the left at the top; a picture shorter than a cell is
// stretched to its height. With a transparent colour, the matching pixels become black and
// masked, and the other pixels keep their colour without alpha.
#pragma once

#include <cstdint>
#include <optional>

#include "core/image_list_stream.h"
#include "imaging/picture_codec.h"

namespace iconvale {

// The stretching rule: each pixel of the result takes the source pixel under its centre, the
// first of two when the centre falls on their edge.
RgbaPicture StretchPicture(const RgbaPicture& picture, int width, int height);

// Cells in a list's own layout (ImageListData's pixels and mask blocks), ready to append.
struct CellBlock {
    int count = 0;
    Bytes pixels;
    Bytes mask;
};

// The shape of a list's cells. The palette is the one a 4- or 8-bit list is written with.
class CellFormat {
public:
    CellFormat(int width, int height, int bitsPerPixel, bool mask);

    // The whole picture stretched to one cell.
    CellBlock Whole(const RgbaPicture& picture) const;
    // The picture cut into cells; none when it is narrower than one. `transparent` is a colour
    // value 0x00BBGGRR.
    CellBlock Split(const RgbaPicture& picture, std::optional<std::uint32_t> transparent) const;

    const ImageListData& Fields() const { return fields_; }

private:
    void StoreCell(const RgbaPicture& source, int left, bool stretch,
                   std::optional<std::uint32_t> transparent, std::uint8_t* pixels,
                   std::uint8_t* mask) const;
    void StorePixel(std::uint8_t* row, int x, std::uint32_t rgb) const;
    std::uint32_t NearestIndex(std::uint32_t rgb) const;

    ImageListData fields_;  // no images: the width, height, depth, flags and palette
};

// Image `index` as extraction draws it: 0xAARRGGBB with the cell's colour values as stored (a
// 32-bit cell's premultiplied ones), alpha from the cell or, where it has none, from the mask.
// Transparent pixels are 0.
RgbaPicture CellPicture(const ImageListData& list, int index);

// The picture over an opaque colour (0x00RRGGBB), as formats without alpha get it.
RgbaPicture OverBackground(const RgbaPicture& picture, std::uint32_t rgb);

}  // namespace iconvale
