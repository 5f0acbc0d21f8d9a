#include "core/dib_bitmaps.h"

#include <climits>
#include <cstring>

#include "core/bit_rows.h"
#include "ui/large_buffer.h"

namespace iconvale {

TopDownInfo DescribeTopDown(int width, int height, int bits) {
    TopDownInfo info;
    std::memset(&info, 0, sizeof info);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    return info;
}

std::optional<DibPixels> DibSectionPixels(HBITMAP bitmap, int bits) {
    // Drawing calls may still be queued; the memory is only current once they are done.
    ::GdiFlush();
    DIBSECTION section{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof section, &section) != sizeof section ||
        !section.dsBm.bmBits || section.dsBm.bmBitsPixel != bits) {
        return std::nullopt;
    }
    return DibPixels{static_cast<std::uint8_t*>(section.dsBm.bmBits),
                     static_cast<std::size_t>(section.dsBm.bmWidthBytes), section.dsBm.bmWidth,
                     section.dsBm.bmHeight, section.dsBmih.biHeight > 0};
}

DibSection CreateTopDownSection(int width, int height, int bits,
                                std::span<const std::uint32_t> palette) {
    TopDownInfo info = DescribeTopDown(width, height, bits);
    if (bits <= 8) {
        info.header.biClrUsed = 1u << bits;
        for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
            std::memcpy(&info.colours[i], &palette[i], sizeof(RGBQUAD));
        }
    }
    DibSection section;
    void* pixels = nullptr;
    section.bitmap.reset(
        ::CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!section.bitmap) return {};
    section.pixels = {static_cast<std::uint8_t*>(pixels),
                      static_cast<std::size_t>(RowStride(width, bits)), width, height, false};
    return section;
}

std::optional<BitmapRows> ReadBitmapRows(HBITMAP bitmap, int bits) {
    BITMAP bm{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof bm, &bm) != sizeof bm) return std::nullopt;
    BitmapRows rows;
    rows.width = bm.bmWidth;
    rows.height = bm.bmHeight;
    rows.stride = static_cast<std::size_t>(RowStride(bm.bmWidth, bits));
    if (!TryResize(rows.bits, rows.stride * bm.bmHeight)) return std::nullopt;
    TopDownInfo info = DescribeTopDown(bm.bmWidth, bm.bmHeight, bits);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc || ::GetDIBits(dc.get(), bitmap, 0, bm.bmHeight, rows.bits.data(), info.get(),
                           DIB_RGB_COLORS) != bm.bmHeight) {
        return std::nullopt;
    }
    if (bits <= 8) {
        rows.palette.resize(1u << bits);
        std::memcpy(rows.palette.data(), info.colours, rows.palette.size() * sizeof(RGBQUAD));
    }
    return rows;
}

std::optional<BitmapRows> ReadMaskRows(HBITMAP bitmap) {
    // GetDIBits converts a monochrome bitmap pixel by pixel under Wine, some fifty milliseconds
    // for the mask of 4,096 icons; its own bits come out in one copy, already top row first.
    DIBSECTION section{};
    const int described = bitmap ? ::GetObjectW(bitmap, sizeof section, &section) : 0;
    if (described != sizeof(BITMAP) || section.dsBm.bmBitsPixel != 1 ||
        section.dsBm.bmPlanes != 1) {
        return ReadBitmapRows(bitmap, 1);
    }
    BitmapRows rows;
    rows.width = section.dsBm.bmWidth;
    rows.height = section.dsBm.bmHeight;
    rows.stride = static_cast<std::size_t>(WordRowStride(rows.width, 1));
    const std::size_t size = rows.stride * rows.height;
    if (static_cast<std::size_t>(section.dsBm.bmWidthBytes) != rows.stride ||
        size > static_cast<std::size_t>(LONG_MAX) || !TryResize(rows.bits, size) ||
        ::GetBitmapBits(bitmap, static_cast<LONG>(size), rows.bits.data()) !=
            static_cast<LONG>(size)) {
        return ReadBitmapRows(bitmap, 1);
    }
    rows.palette = {0x00000000, 0x00FFFFFF};
    return rows;
}

}  // namespace iconvale
