// The two picture formats that forms embed in their image containers: PNG (Delphi's image
// collections and PNG image lists) and BMP files (DevExpress image lists). Decoded here rather
// than by the platform, so that a form reads the same on every build, is fuzzed with the rest of
// the form readers, and writes back byte for byte the same. Portable; no platform headers.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/bytes.h"

namespace iconvale {

// A decoded picture: 4 bytes a pixel (blue, green, red, alpha; straight alpha), rows top first
// without padding.
struct BgraPicture {
    int width = 0;
    int height = 0;
    Bytes bgra;
};

// What a picture's header says, read without decoding it.
struct PictureHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// The size from a PNG's signature and IHDR chunk (length, type, CRC and every field checked);
// nullopt when the bytes are not a PNG or its header is damaged.
std::optional<PictureHeader> ReadPngHeader(std::span<const std::uint8_t> bytes);

// Decodes a whole PNG of any bit depth and colour type the format allows, interlaced or not, with
// tRNS. Every chunk's length and CRC, the zlib data and the filter bytes are checked; a picture
// whose width x height exceeds `maxPixels` is refused before anything is allocated. False, with
// `out` left empty, on any fault.
bool DecodePngPicture(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
                      BgraPicture& out);

// The picture as an 8-bit RGBA PNG (colour type 6), each row filtered and compressed the same
// way on every platform, so that equal pictures give equal bytes. Empty on failure.
Bytes EncodePngPicture(const BgraPicture& picture);

// The size from a BMP file's headers ("BM", then a BITMAPINFOHEADER or a later one).
std::optional<PictureHeader> ReadBmpHeader(std::span<const std::uint8_t> bytes);

// Decodes an uncompressed BMP file (BI_RGB or BI_BITFIELDS at 32 bits, BI_RGB at 1, 4, 8 and
// 24), bottom-up or top-down. 32-bit pixels keep their alpha bytes as stored; other depths come
// out opaque. False, with `out` left empty, on any fault or over `maxPixels`.
bool DecodeBmpPicture(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
                      BgraPicture& out);

}  // namespace iconvale
