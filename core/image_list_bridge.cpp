#include "core/image_list_bridge.h"

#include <algorithm>
#include <cstring>

#include "core/bit_rows.h"
#include "ui/large_buffer.h"

namespace iconvale {

namespace {

// Images handed to the platform per add: wide enough to keep calls few, narrow enough that a
// strip of large cells stays a modest bitmap.
constexpr int kStripBytesBudget = 1 << 20;

struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

void DescribeTopDown(BitmapInfo256& info, int width, int height, int bits) {
    std::memset(&info, 0, sizeof info);
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
}

struct Strip {
    UniqueBitmap bitmap;
    std::uint8_t* bits = nullptr;
    std::size_t stride = 0;
};

Strip CreateStrip(int width, int height, int bits, const std::vector<std::uint32_t>& palette) {
    BitmapInfo256 info;
    DescribeTopDown(info, width, height, bits);
    if (bits <= 8) {
        info.header.biClrUsed = 1u << bits;
        for (std::size_t i = 0; i < palette.size() && i < 256; ++i) {
            std::memcpy(&info.colours[i], &palette[i], sizeof(RGBQUAD));
        }
    }
    Strip strip;
    void* pixels = nullptr;
    strip.bitmap.reset(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info),
                                          DIB_RGB_COLORS, &pixels, nullptr, 0));
    strip.bits = static_cast<std::uint8_t*>(pixels);
    strip.stride = static_cast<std::size_t>(RowStride(width, bits));
    return strip;
}

// Lays images first..first+n-1 side by side into a strip, one row of cells.
void FillStrip(Strip& strip, const CellRows& cells, int bits, int cellWidth, int cellHeight,
               int first, int n) {
    const std::size_t cellBits = static_cast<std::size_t>(cellWidth) * bits;
    for (int k = 0; k < n; ++k) {
        for (int y = 0; y < cellHeight; ++y) {
            CopyBits(strip.bits + y * strip.stride, k * cellBits, cells.Row(first + k, y),
                     cells.FirstBit(first + k), cellBits);
        }
    }
}

// Reads a whole platform bitmap at the given depth, top row first.
struct Sheet {
    std::vector<std::uint8_t> bits;
    std::size_t stride = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette;
};

std::optional<Sheet> ReadSheet(HBITMAP bitmap, int bits) {
    BITMAP bm{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof bm, &bm) != sizeof bm) return std::nullopt;
    Sheet sheet;
    sheet.width = bm.bmWidth;
    sheet.height = bm.bmHeight;
    sheet.stride = static_cast<std::size_t>(RowStride(bm.bmWidth, bits));
    if (!TryResize(sheet.bits, sheet.stride * bm.bmHeight)) return std::nullopt;
    BitmapInfo256 info;
    DescribeTopDown(info, bm.bmWidth, bm.bmHeight, bits);
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) return std::nullopt;
    if (::GetDIBits(dc.get(), bitmap, 0, bm.bmHeight, sheet.bits.data(),
                    reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != bm.bmHeight) {
        return std::nullopt;
    }
    if (bits <= 8) {
        sheet.palette.resize(1u << bits);
        std::memcpy(sheet.palette.data(), info.colours, sheet.palette.size() * sizeof(RGBQUAD));
    }
    return sheet;
}

void CopyCell(const Sheet& sheet, const RECT& cell, int bits, std::uint8_t* image,
              std::size_t rowBytes, int cellWidth, int cellHeight) {
    const std::size_t cellBits = static_cast<std::size_t>(cellWidth) * bits;
    for (int y = 0; y < cellHeight; ++y) {
        CopyBits(image + y * rowBytes, 0, sheet.bits.data() + (cell.top + y) * sheet.stride,
                 static_cast<std::size_t>(cell.left) * bits, cellBits);
    }
}

// Where image i of the list lies in its bitmap, if the whole cell lies inside a bitmap of
// sheetWidth by sheetHeight.
std::optional<RECT> CellInSheet(HIMAGELIST list, int i, int width, int height, int sheetWidth,
                                int sheetHeight) {
    IMAGEINFO info{};
    if (!::ImageList_GetImageInfo(list, i, &info)) return std::nullopt;
    const RECT& cell = info.rcImage;
    if (cell.left < 0 || cell.top < 0 || cell.left + width > sheetWidth ||
        cell.top + height > sheetHeight) {
        return std::nullopt;
    }
    return cell;
}

// The platform's add makes the mask of a 32-bit image that has any alpha up from that alpha,
// transparent where the alpha is at most 25, and leaves every other mask as it was given.
// Whether some image's own mask is not what that would make.
bool AddRemakesAMask(const ImageListData& fields, const CellRows& image, const CellRows& mask) {
    if (fields.bitsPerPixel != 32) return false;
    const int width = fields.width;
    for (int i = 0; i < fields.count; ++i) {
        bool hasAlpha = false;
        bool differs = false;
        for (int y = 0; y < fields.height && !(hasAlpha && differs); ++y) {
            const std::uint8_t* row = image.Row(i, y) + image.FirstBit(i) / 8;
            const std::uint8_t* maskRow = mask.Row(i, y);
            const std::size_t first = mask.FirstBit(i);
            for (int x = 0; x < width; ++x) {
                const std::uint8_t alpha = row[4 * x + 3];
                const std::size_t bit = first + x;
                const bool transparent = (maskRow[bit / 8] & (0x80 >> (bit % 8))) != 0;
                hasAlpha = hasAlpha || alpha != 0;
                differs = differs || transparent != (alpha <= 25);
            }
        }
        if (hasAlpha && differs) return true;
    }
    return false;
}

bool CellHasAlpha(const CellRows& image, int index, int width, int height) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = image.Row(index, y) + image.FirstBit(index) / 8;
        for (int x = 0; x < width; ++x) {
            if (row[4 * x + 3] != 0) return true;
        }
    }
    return false;
}

// comctl32 6 takes a 32-bit image whose alpha is zero throughout as one without alpha and draws
// it through its mask, as lists saved from many form designers expect. Such an image is kept
// opaque where its mask is, so that it shows here as it does there.
void MakeOpaqueWhereMasked(std::uint8_t* row, const CellRows* mask, int index, int y, int width) {
    const std::uint8_t* maskRow = mask ? mask->Row(index, y) : nullptr;
    const std::size_t first = mask ? mask->FirstBit(index) : 0;
    for (int x = 0; x < width; ++x) {
        const std::size_t bit = first + x;
        if (!maskRow || (maskRow[bit / 8] & (0x80 >> (bit % 8))) == 0) row[4 * x + 3] = 0xFF;
    }
}

// Writes every cell's mask into the list's mask bitmap in one call. The cells past the count
// come out clear; nothing reads them.
bool StoreMasks(HIMAGELIST list, const ImageListData& fields, const CellRows& mask) {
    IMAGEINFO info{};
    BITMAP bm{};
    if (!::ImageList_GetImageInfo(list, 0, &info) ||
        ::GetObjectW(info.hbmMask, sizeof bm, &bm) != sizeof bm) {
        return false;
    }
    const auto stride = static_cast<std::size_t>(RowStride(bm.bmWidth, 1));
    std::vector<std::uint8_t> sheet;
    if (!TryResize(sheet, stride * bm.bmHeight)) return false;
    for (int i = 0; i < fields.count; ++i) {
        const auto cell =
            CellInSheet(list, i, fields.width, fields.height, bm.bmWidth, bm.bmHeight);
        if (!cell) return false;
        for (int y = 0; y < fields.height; ++y) {
            CopyBits(sheet.data() + (cell->top + y) * stride, static_cast<std::size_t>(cell->left),
                     mask.Row(i, y), mask.FirstBit(i), fields.width);
        }
    }
    BitmapInfo256 maskInfo;
    DescribeTopDown(maskInfo, bm.bmWidth, bm.bmHeight, 1);
    maskInfo.colours[1] = {0xFF, 0xFF, 0xFF, 0};
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    return dc &&
           ::SetDIBits(dc.get(), info.hbmMask, 0, bm.bmHeight, sheet.data(),
                       reinterpret_cast<BITMAPINFO*>(&maskInfo), DIB_RGB_COLORS) == bm.bmHeight;
}

// The platform list may adjust what it is given (alpha made up from the mask, colour cleared
// under it, a mask made up from alpha). A stream's images must come back exactly as they were
// stored, so the cells are written once more, bit for bit, straight into the list's image
// bitmap. Masks go through GDI, which is slow for them, so only when the add changed one.
bool StoreExactCells(HIMAGELIST list, const ImageListData& fields, const CellRows& image,
                     const std::optional<CellRows>& mask) {
    IMAGEINFO info{};
    if (fields.count == 0) return true;
    if (!::ImageList_GetImageInfo(list, 0, &info)) return false;
    const int bits = fields.bitsPerPixel;

    ::GdiFlush();
    DIBSECTION section{};
    if (::GetObjectW(info.hbmImage, sizeof section, &section) != sizeof section ||
        !section.dsBm.bmBits || section.dsBm.bmBitsPixel != bits) {
        return false;
    }
    auto* base = static_cast<std::uint8_t*>(section.dsBm.bmBits);
    const auto stride = static_cast<std::size_t>(section.dsBm.bmWidthBytes);
    const int sheetHeight = section.dsBm.bmHeight;
    const bool bottomUp = section.dsBmih.biHeight > 0;

    const std::size_t cellBits = static_cast<std::size_t>(fields.width) * bits;
    for (int i = 0; i < fields.count; ++i) {
        const auto cell =
            CellInSheet(list, i, fields.width, fields.height, section.dsBm.bmWidth, sheetHeight);
        if (!cell) return false;
        const bool opaqueThroughMask =
            bits == 32 && !CellHasAlpha(image, i, fields.width, fields.height);
        for (int y = 0; y < fields.height; ++y) {
            int row = bottomUp ? sheetHeight - 1 - (cell->top + y) : cell->top + y;
            std::uint8_t* dst = base + row * stride;
            CopyBits(dst, static_cast<std::size_t>(cell->left) * bits, image.Row(i, y),
                     image.FirstBit(i), cellBits);
            if (opaqueThroughMask) {
                MakeOpaqueWhereMasked(dst + cell->left * 4, mask ? &*mask : nullptr, i, y,
                                      fields.width);
            }
        }
    }
    if (!mask || !AddRemakesAMask(fields, image, *mask)) return true;
    return StoreMasks(list, fields, *mask);
}

}  // namespace

StreamFields FieldsOf(const ImageListData& data) {
    return {data.flags, data.capacity, data.grow, data.overlays, data.bitsPerPixel};
}

int ScreenDepth() {
    WindowDc screen(nullptr);
    int bits = screen ? ::GetDeviceCaps(screen.get(), BITSPIXEL) : 32;
    return IsSupportedDepth(bits) ? bits : 32;
}

UniqueImageList BuildImageList(const StreamSheets& sheets) {
    const ImageListData& data = sheets.list;
    const int bits = data.bitsPerPixel;
    const UINT createFlags = static_cast<UINT>(bits) | (data.HasMask() ? ILC_MASK : 0);
    UniqueImageList list(::ImageList_Create(data.width, data.height, createFlags,
                                            std::max<int>(data.count, 1),
                                            std::max<int>(data.grow, 4)));
    if (!list) return {};
    ::ImageList_SetBkColor(list.get(), data.background);

    const CellRows image = sheets.image.Cells(data.width, data.height);
    std::optional<CellRows> mask;
    if (sheets.mask) mask = sheets.mask->Cells(data.width, data.height);

    const std::size_t stripCellBytes = data.ImageBytes() + data.MaskBytes();
    const int perStrip = static_cast<int>(std::clamp<std::size_t>(
        kStripBytesBudget / std::max<std::size_t>(stripCellBytes, 1), 1, 1024));
    const auto& palette = data.palette.empty() && bits <= 8 ? DefaultPalette(bits) : data.palette;
    const std::vector<std::uint32_t> maskPalette = {0x00000000, 0x00FFFFFF};

    for (int first = 0; first < data.count; first += perStrip) {
        int n = std::min(perStrip, data.count - first);
        Strip imageStrip = CreateStrip(n * data.width, data.height, bits, palette);
        if (!imageStrip.bitmap) return {};
        FillStrip(imageStrip, image, bits, data.width, data.height, first, n);
        Strip maskStrip;
        if (mask) {
            maskStrip = CreateStrip(n * data.width, data.height, 1, maskPalette);
            if (!maskStrip.bitmap) return {};
            FillStrip(maskStrip, *mask, 1, data.width, data.height, first, n);
        }
        ::GdiFlush();
        if (::ImageList_Add(list.get(), imageStrip.bitmap.get(), maskStrip.bitmap.get()) != first) {
            return {};
        }
    }
    if (!StoreExactCells(list.get(), data, image, mask)) return {};
    return list;
}

namespace {

// The stream fields of a platform list, without its pixels.
std::optional<ImageListData> ListFields(HIMAGELIST list, const StreamFields& fields) {
    ImageListData data;
    int width = 0;
    int height = 0;
    if (!list || !::ImageList_GetIconSize(list, &width, &height)) return std::nullopt;
    int count = ::ImageList_GetImageCount(list);
    if (width < 1 || height < 1 || width > 65535 || height > 65535 || count < 0 || count > 65535) {
        return std::nullopt;
    }
    data.width = static_cast<std::uint16_t>(width);
    data.height = static_cast<std::uint16_t>(height);
    data.count = static_cast<std::uint16_t>(count);
    data.flags = fields.flags;
    data.capacity = std::max<std::uint16_t>(fields.capacity, data.count);
    data.grow = fields.grow;
    data.overlays = fields.overlays;
    data.bitsPerPixel = fields.bitsPerPixel;
    data.background = ::ImageList_GetBkColor(list);
    return data;
}

// Writes the stream straight from the list's own bitmaps: the image bitmap's memory is read in
// place, the mask in one call. Lists laid out other than as a grid of cells, palette depths
// and masks that read back inverted are left to the general path.
std::optional<Bytes> WriteFromListBitmaps(HIMAGELIST list, const ImageListData& data) {
    const int bits = data.bitsPerPixel;
    IMAGEINFO info{};
    if (data.count == 0 || bits <= 8 || !::ImageList_GetImageInfo(list, 0, &info))
        return std::nullopt;
    ::GdiFlush();
    DIBSECTION section{};
    if (::GetObjectW(info.hbmImage, sizeof section, &section) != sizeof section ||
        !section.dsBm.bmBits || section.dsBm.bmBitsPixel != bits) {
        return std::nullopt;
    }
    const int sheetWidth = section.dsBm.bmWidth;
    const int sheetHeight = section.dsBm.bmHeight;
    const int perRow = sheetWidth / data.width;
    if (perRow < 1) return std::nullopt;
    for (int i = 0; i < data.count; ++i) {
        const auto cell = CellInSheet(list, i, data.width, data.height, sheetWidth, sheetHeight);
        if (!cell || cell->left != i % perRow * data.width ||
            cell->top != i / perRow * data.height) {
            return std::nullopt;
        }
    }
    const CellRows image =
        CellRows::Sheet(static_cast<const std::uint8_t*>(section.dsBm.bmBits),
                        static_cast<std::size_t>(section.dsBm.bmWidthBytes),
                        static_cast<std::size_t>(sheetHeight), data.height, perRow,
                        static_cast<std::size_t>(data.width) * bits, section.dsBmih.biHeight > 0);
    if (!data.HasMask()) return WriteImageListStream(data, image, nullptr);

    auto mask = ReadSheet(info.hbmMask, 1);
    if (!mask || mask->width != sheetWidth || mask->height != sheetHeight ||
        (mask->palette[1] & 0x00FFFFFF) == 0) {
        return std::nullopt;
    }
    const CellRows maskRows =
        CellRows::Sheet(mask->bits.data(), mask->stride, static_cast<std::size_t>(mask->height),
                        data.height, perRow, static_cast<std::size_t>(data.width), false);
    return WriteImageListStream(data, image, &maskRows);
}

}  // namespace

Bytes WriteListStream(HIMAGELIST list, const StreamFields& fields) {
    auto data = ListFields(list, fields);
    if (!data) return {};
    if (auto written = WriteFromListBitmaps(list, *data)) return std::move(*written);
    auto full = ReadImageList(list, fields);
    return full ? WriteImageListStream(*full) : Bytes{};
}

std::optional<ImageListData> ReadImageList(HIMAGELIST list, const StreamFields& fields) {
    auto fieldsOnly = ListFields(list, fields);
    if (!fieldsOnly) return std::nullopt;
    ImageListData data = std::move(*fieldsOnly);
    const int width = data.width;
    const int height = data.height;
    const int count = data.count;
    data.AllocateImages();
    if (count == 0) {
        if (data.bitsPerPixel <= 8) data.palette = DefaultPalette(data.bitsPerPixel);
        return data;
    }

    IMAGEINFO info{};
    if (!::ImageList_GetImageInfo(list, 0, &info)) return std::nullopt;
    auto image = ReadSheet(info.hbmImage, data.bitsPerPixel);
    if (!image) return std::nullopt;
    data.palette = image->palette;
    std::optional<Sheet> mask;
    if (data.HasMask()) {
        mask = ReadSheet(info.hbmMask, 1);
        if (!mask || mask->width < image->width || mask->height < image->height)
            return std::nullopt;
    }
    // A mono bitmap reads back with whichever palette order GDI chooses; a set bit must mean
    // transparent (white) in the stream.
    const bool maskInverted = mask && (mask->palette[1] & 0x00FFFFFF) == 0;

    for (int i = 0; i < count; ++i) {
        const auto cell = CellInSheet(list, i, width, height, image->width, image->height);
        if (!cell) return std::nullopt;
        CopyCell(*image, *cell, data.bitsPerPixel, data.ImageRow(i, 0), data.RowBytes(), width,
                 height);
        if (mask) {
            CopyCell(*mask, *cell, 1, data.MaskRow(i, 0), data.MaskRowBytes(), width, height);
        }
    }
    if (maskInverted) {
        for (auto& b : data.mask) b = static_cast<std::uint8_t>(~b);
        // Keep the row padding zero, as the writer expects of it.
        const int pad = static_cast<int>(data.MaskRowBytes() * 8) - width;
        if (pad > 0) {
            for (std::size_t off = 0; off < data.mask.size(); off += data.MaskRowBytes()) {
                std::uint8_t* row = &data.mask[off];
                for (int x = width; x < width + pad; ++x)
                    row[x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
            }
        }
    }
    return data;
}

}  // namespace iconvale
