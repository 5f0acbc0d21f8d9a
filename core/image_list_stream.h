// The image-list stream: a 28-byte header, the image bitmap and an optional mask bitmap,
// each in BMP file form. Version 0x0101 lays the cells out four to a row, the later versions one
// to a row. Portable; no platform headers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/bit_rows.h"
#include "core/bytes.h"
#include "core/cell_rows.h"

namespace iconvale {

inline constexpr std::uint32_t kNoColour = 0xFFFFFFFF;     // CLR_NONE
inline constexpr std::uint16_t kMaskFlag = 0x0001;         // ILC_MASK
inline constexpr std::uint16_t kDepthBits = 0x00FE;        // the colour-depth part of the flags
inline constexpr std::uint16_t kDeviceDepth = 0x00FE;      // ILC_COLORDDB: depth of the screen
inline constexpr std::uint16_t kStreamMagic = 0x4C49;      // "IL"
inline constexpr std::uint16_t kStreamVersion = 0x0101;    // the one we write
inline constexpr std::uint16_t kStreamVersionXp = 0x0600;  // comctl32 6 on XP and 2003
inline constexpr std::uint16_t kStreamVersionV6 = 0x0620;  // comctl32 6 on later systems
inline constexpr int kCellsPerRow = 4;
inline constexpr std::size_t kStreamHeaderSize = 28;

// No bitmap in a stream may hold more pixel bytes than this. It keeps a forged header from
// steering us into a huge allocation, and leaves room in a 32-bit process for the list itself.
inline constexpr std::uint64_t kMaxBitmapBytes = 256ull << 20;

bool IsSupportedDepth(int bitsPerPixel);

bool IsReadableVersion(std::uint16_t version);

// Cell rows and pixel bytes of a bitmap as the writer lays it out for `capacity` cells.
std::uint64_t WrittenSheetRows(std::uint64_t capacity);
std::uint64_t WrittenBitmapBytes(std::uint64_t width, std::uint64_t height, std::uint64_t capacity,
                                 int bitsPerPixel);

// One image list as the stream carries it. Pixels are kept per image, top row first, each row
// padded as a bitmap row of `width` pixels, so that one image is a contiguous block.
struct ImageListData {
    std::uint16_t count = 0;
    std::uint16_t capacity = 0;
    std::uint16_t grow = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint32_t background = kNoColour;
    std::uint16_t flags = 0;
    std::array<std::int16_t, 4> overlays{-1, -1, -1, -1};

    // Depth of the image bitmap. Equal to the flags' depth, except for device-dependent
    // lists, whose bitmap carries the depth of the screen that wrote it.
    int bitsPerPixel = 32;
    // Colour table of 4- and 8-bit images as stored (blue, green, red, 0 from the low byte up).
    std::vector<std::uint32_t> palette;
    Bytes pixels;  // count images of ImageBytes() each
    Bytes mask;    // count masks of MaskBytes() each when HasMask(); a set bit is transparent

    bool HasMask() const { return (flags & kMaskFlag) != 0; }
    std::size_t RowBytes() const { return RowStride(width, bitsPerPixel); }
    std::size_t ImageBytes() const { return RowBytes() * height; }
    std::size_t MaskRowBytes() const { return RowStride(width, 1); }
    std::size_t MaskBytes() const { return MaskRowBytes() * height; }

    std::uint8_t* ImageRow(int index, int y) {
        return &pixels[index * ImageBytes() + y * RowBytes()];
    }
    const std::uint8_t* ImageRow(int index, int y) const {
        return &pixels[index * ImageBytes() + y * RowBytes()];
    }
    std::uint8_t* MaskRow(int index, int y) {
        return &mask[index * MaskBytes() + y * MaskRowBytes()];
    }
    const std::uint8_t* MaskRow(int index, int y) const {
        return &mask[index * MaskBytes() + y * MaskRowBytes()];
    }

    // Raw pixel value: a palette index at 4 and 8 bits, the packed colour otherwise.
    std::uint32_t Pixel(int index, int x, int y) const;
    void SetPixel(int index, int x, int y, std::uint32_t value);
    bool Transparent(int index, int x, int y) const;
    void SetTransparent(int index, int x, int y, bool transparent);

    // Sizes the pixel and mask blocks for `count` zeroed images.
    void AllocateImages();
};

// One bitmap of a stream where it lies in the input, after its headers were checked: rows
// bottom-up, `columns` cells to a row.
struct StreamSheet {
    int bitsPerPixel = 0;
    int columns = kCellsPerRow;
    std::uint32_t heightPixels = 0;
    std::uint64_t stride = 0;
    std::vector<std::uint32_t> palette;
    const std::uint8_t* bits = nullptr;

    CellRows Cells(int cellWidth, int cellHeight) const {
        return CellRows::Sheet(bits, static_cast<std::size_t>(stride), heightPixels, cellHeight,
                               columns, static_cast<std::size_t>(cellWidth) * bitsPerPixel);
    }
};

// A checked stream whose pixels are left in the input: `list` has every field but no pixels
// or mask. Valid while the input is.
struct StreamSheets {
    ImageListData list;
    StreamSheet image;
    std::optional<StreamSheet> mask;
};

// Checks a stream that starts at data[0] exactly as ParseImageListStream does, without copying
// its pixels out.
std::optional<StreamSheets> ParseImageListSheets(std::span<const std::uint8_t> data);

// Parses a stream that starts at data[0]. Bytes after the last bitmap are ignored. Every count,
// size and offset is checked before anything is allocated; a malformed stream gives nullopt.
std::optional<ImageListData> ParseImageListStream(std::span<const std::uint8_t> data);

// The capacity the writer puts in the header: the list's own, raised to the count when below it,
// and lowered to the count when its bitmap would be over the budget.
std::uint16_t WritableCapacity(const ImageListData& list);

// Writes version 0x0101 with the cells four to a row and ceil(capacity / 4) rows, at least one,
// for the WritableCapacity; unused cells are zero. Returns empty bytes when the data is
// inconsistent or could not be read back (sizes out of range).
Bytes WriteImageListStream(const ImageListData& data);

// The same, with the cells read from `image` and `mask` (null when the flags ask for none)
// instead of the data's own pixels, which may then be empty.
Bytes WriteImageListStream(const ImageListData& fields, const CellRows& image,
                           const CellRows* mask);

// Image `index`'s pixel as 0x00RRGGBB: a palette entry at 4 and 8 bits (black past the end of
// `palette`), 5-5-5 widened to 8 bits a channel at 16, and at 32 bits the raw value, alpha on top.
std::uint32_t PixelColour(const ImageListData& list, const std::vector<std::uint32_t>& palette,
                          int index, int x, int y);

// The palettes the writer falls back on when a 4- or 8-bit list carries none: the sixteen
// standard VGA colours; for 8 bits those, then a 6x6x6 colour cube and a ramp of 24 greys.
std::vector<std::uint32_t> DefaultPalette(int bitsPerPixel);

}  // namespace iconvale
