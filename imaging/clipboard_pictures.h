// Images of a group as the clipboard carries pictures, and pictures from the clipboard's forms:
// device-independent bitmaps with or without a V5 header, and PNG files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "core/bytes.h"
#include "core/image_group.h"
#include "imaging/gdip_image.h"

namespace iconvale {

// 32-bit pixels, 0xAARRGGBB, rows from the top; alpha is not premultiplied.
struct ArgbPicture {
    int width = 0;
    int height = 0;
    std::vector<Argb> pixels;

    bool empty() const { return pixels.empty(); }
};

// The images at `indices`, in that order, side by side from the left. An image's transparent
// parts get alpha 0: from its own alpha where it has any, else from its mask. Empty on failure.
ArgbPicture StripOfImages(const ImageGroup& group, std::span<const int> indices);

// A packed bitmap with a BITMAPV5HEADER whose masks name the alpha, rows from the bottom.
Bytes DibV5Bytes(const ArgbPicture& picture);
// A packed bitmap with a BITMAPINFOHEADER, 32 bits, alpha in the fourth byte as most readers
// take it.
Bytes DibBytes(const ArgbPicture& picture);
Bytes PngBytes(const ArgbPicture& picture);

// A packed bitmap of any header and depth the platform knows. A 32-bit bitmap keeps its alpha,
// unless every alpha is 0, which old writers leave there for opaque pixels. False, with the
// picture empty, when the bytes do not hold the pixels their header promises.
bool PictureFromDib(std::span<const std::uint8_t> dib, GdipImage& picture);

}  // namespace iconvale
