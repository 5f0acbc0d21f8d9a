// Device-independent bitmaps as the platform hands them over: top-down headers, the pixel memory
// of a DIB section, and whole bitmaps read out row by row. Win32 glue beside core/bit_rows.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "ui/win_handles.h"

namespace iconvale {

// A BITMAPINFO with room for the colour table of any depth up to 8 bits.
struct TopDownInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];

    BITMAPINFO* get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// An uncompressed bitmap of that size and depth, top row first; the colour table is all zero.
TopDownInfo DescribeTopDown(int width, int height, int bits);

// Where a DIB section keeps its pixels.
struct DibPixels {
    std::uint8_t* bits = nullptr;
    std::size_t stride = 0;
    int width = 0;
    int height = 0;
    bool bottomUp = false;

    // Row y counted from the top, whichever way the rows are stored.
    std::uint8_t* Row(int y) const {
        return bits + static_cast<std::size_t>(bottomUp ? height - 1 - y : y) * stride;
    }
};

// The pixels of a DIB section of exactly `bits` depth, once GDI has finished drawing into it;
// none for any other bitmap.
std::optional<DibPixels> DibSectionPixels(HBITMAP bitmap, int bits);

struct DibSection {
    UniqueBitmap bitmap;
    DibPixels pixels;
};

// A new top-down DIB section, its pixels zero; at 8 bits and fewer its colour table is the
// palette (0x00RRGGBB entries), padded with black. A null bitmap on failure.
DibSection CreateTopDownSection(int width, int height, int bits,
                                std::span<const std::uint32_t> palette);

// A copy of a whole bitmap's pixels at `bits` depth, top row first, with the colour table GDI
// chose at 8 bits and fewer.
struct BitmapRows {
    std::vector<std::uint8_t> bits;
    std::size_t stride = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette;
};

std::optional<BitmapRows> ReadBitmapRows(HBITMAP bitmap, int bits);

// A mask bitmap's pixels at 1 bit, a set bit white. A monochrome device-dependent bitmap, which
// image lists keep their masks in, is copied as it is held, rows padded to 16 bits.
std::optional<BitmapRows> ReadMaskRows(HBITMAP bitmap);

}  // namespace iconvale
