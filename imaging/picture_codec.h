// Pictures decoded from and encoded to files through the system's picture libraries, for the
// builds that have no platform picture codec of their own. Portable; no platform headers.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/bytes.h"

namespace iconvale {

// One decoded picture: 0xAARRGGBB pixels with straight (not premultiplied) alpha, rows from the
// top.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;

    bool empty() const { return argb.empty(); }
    std::uint32_t At(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t* Row(int y) { return argb.data() + static_cast<std::size_t>(y) * width; }

    // Sizes the picture to w x h pixels, all zero (transparent). False, leaving it empty, when
    // the size is outside the pixel budget or memory runs out.
    bool Allocate(int w, int h);
};

enum class PictureFormat { Png, Jpeg, Bmp, Tiff, Gif, Icon };

// The format the first bytes announce; nullopt for none we read.
std::optional<PictureFormat> SniffPictureFormat(std::span<const std::uint8_t> bytes);

// The picture (the first frame or page, the first image of an icon file) of a file's bytes in
// any format we read. Empty when the bytes hold no picture or one over the pixel budget.
RgbaPicture DecodePicture(std::span<const std::uint8_t> bytes);

// The image of an icon file that best fits a cell of width x height, at its own size: the least
// difference in width plus height, then the most bits per pixel. Empty on failure.
RgbaPicture DecodeIconFile(std::span<const std::uint8_t> bytes, int width, int height);

// The picture as a file of that format (not Icon). Formats without alpha get the colours as
// they are; GIF keeps alpha 0 as its transparent colour. Empty on failure.
Bytes EncodePicture(const RgbaPicture& picture, PictureFormat format);

}  // namespace iconvale
