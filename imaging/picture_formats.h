// One decoder (and encoder) per picture format, each over the library that does it best; the
// dispatch by format is imaging/picture_codec.h. Each decoder gives an empty picture for bytes
// that hold none, or a picture over the pixel budget. Portable.
#pragma once

#include <span>

#include "imaging/picture_codec.h"

namespace iconvale {

RgbaPicture DecodePng(std::span<const std::uint8_t> bytes);
RgbaPicture DecodeJpeg(std::span<const std::uint8_t> bytes);
RgbaPicture DecodeGif(std::span<const std::uint8_t> bytes);
RgbaPicture DecodeTiff(std::span<const std::uint8_t> bytes);
// A BMP file. In a 32-bit file without colour masks the fourth byte is padding, unless
// `iconImage` says the file was made from an icon's bitmap, where it is alpha.
RgbaPicture DecodeBmp(std::span<const std::uint8_t> bytes, bool iconImage = false);
// The first image of an icon file, and the one nearest a cell size (see DecodeIconFile).
RgbaPicture DecodeFirstIcon(std::span<const std::uint8_t> bytes);
RgbaPicture DecodeNearestIcon(std::span<const std::uint8_t> bytes, int width, int height);

Bytes EncodePng(const RgbaPicture& picture);
Bytes EncodeJpeg(const RgbaPicture& picture);
Bytes EncodeBmp(const RgbaPicture& picture);
Bytes EncodeTiff(const RgbaPicture& picture);
Bytes EncodeGif(const RgbaPicture& picture);

}  // namespace iconvale
