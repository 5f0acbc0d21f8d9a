// Loading: a checked stream's cells into a new platform image list, exactly as stored.
#include <algorithm>
#include <cstring>
#include <utility>

#include "core/bit_rows.h"
#include "core/dib_bitmaps.h"
#include "core/image_list_bridge.h"
#include "core/list_cells.h"
#include "core/list_growth.h"
#include "ui/large_buffer.h"

namespace iconvale {

namespace {

// Images handed to the platform per add: wide enough to keep calls few, narrow enough that a
// strip of large cells stays a modest bitmap.
constexpr int kStripBytesBudget = 1 << 20;

// Lays images first..first+n-1 side by side into a strip, one row of cells.
void FillStrip(const DibPixels& strip, const CellRows& cells, int bits, int cellWidth,
               int cellHeight, int first, int n) {
    const std::size_t cellBits = static_cast<std::size_t>(cellWidth) * bits;
    for (int k = 0; k < n; ++k) {
        for (int y = 0; y < cellHeight; ++y) {
            CopyBits(strip.Row(y), k * cellBits, cells.Row(first + k, y), cells.FirstBit(first + k),
                     cellBits);
        }
    }
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
                const bool transparent = BitAt(maskRow, first + x);
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
        if (!maskRow || !BitAt(maskRow, first + x)) row[4 * x + 3] = 0xFF;
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
    TopDownInfo maskInfo = DescribeTopDown(bm.bmWidth, bm.bmHeight, 1);
    maskInfo.colours[1] = {0xFF, 0xFF, 0xFF, 0};
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    return dc && ::SetDIBits(dc.get(), info.hbmMask, 0, bm.bmHeight, sheet.data(), maskInfo.get(),
                             DIB_RGB_COLORS) == bm.bmHeight;
}

// The platform list may adjust what it is given (alpha made up from the mask, colour cleared
// under it, a mask made up from alpha). A stream's images must come back exactly as they were
// stored, so the cells are written once more, bit for bit, straight into the list's image
// bitmap. Masks go through GDI, which is slow for them, so only when the add changed one.
bool StoreExactCellsThroughGdi(HIMAGELIST list, const ImageListData& fields, const CellRows& image,
                               const std::optional<CellRows>& mask, AlphalessImages alphaless) {
    IMAGEINFO info{};
    if (fields.count == 0) return true;
    if (!::ImageList_GetImageInfo(list, 0, &info)) return false;
    const int bits = fields.bitsPerPixel;
    const auto sheet = DibSectionPixels(info.hbmImage, bits);
    if (!sheet) return false;

    const std::size_t cellBits = static_cast<std::size_t>(fields.width) * bits;
    for (int i = 0; i < fields.count; ++i) {
        const auto cell =
            CellInSheet(list, i, fields.width, fields.height, sheet->width, sheet->height);
        if (!cell) return false;
        const bool opaqueThroughMask = alphaless == AlphalessImages::kOpaqueWhereMasked &&
                                       bits == 32 &&
                                       !CellHasAlpha(image, i, fields.width, fields.height);
        for (int y = 0; y < fields.height; ++y) {
            std::uint8_t* dst = sheet->Row(cell->top + y);
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

// The same in the list's own bitmaps, touching only what the add changed: a 32-bit image with
// alpha keeps its pixels through the add, and only its mask is remade; every other image keeps
// its mask and has its pixels adjusted.
bool StoreExactCells(HIMAGELIST list, const ImageListData& fields, const CellRows& image,
                     const std::optional<CellRows>& mask, AlphalessImages alphaless) {
    if (fields.count == 0) return true;
    const int bits = fields.bitsPerPixel;
    auto cells = ListCells::Open(list, {fields.width, fields.height, bits, mask.has_value()});
    if (!cells) return StoreExactCellsThroughGdi(list, fields, image, mask, alphaless);
    const std::size_t cellBits = static_cast<std::size_t>(fields.width) * bits;
    for (int i = 0; i < fields.count; ++i) {
        const bool hasAlpha = bits == 32 && CellHasAlpha(image, i, fields.width, fields.height);
        if (hasAlpha) {
            // Checked rather than trusted: a platform that adjusted them gets them again.
            for (int y = 0; y < fields.height; ++y) {
                std::uint8_t* dst = cells->ImageRow(i, y) + cells->ImageBit(i) / 8;
                const std::uint8_t* src = image.Row(i, y) + image.FirstBit(i) / 8;
                if (std::memcmp(dst, src, cellBits / 8) != 0) std::memcpy(dst, src, cellBits / 8);
            }
            for (int y = 0; mask && y < fields.height; ++y) {
                CopyBits(cells->MaskRow(i, y), cells->MaskBit(i), mask->Row(i, y),
                         mask->FirstBit(i), fields.width);
            }
            if (mask) cells->MaskWritten();
            continue;
        }
        const bool opaqueThroughMask =
            alphaless == AlphalessImages::kOpaqueWhereMasked && bits == 32;
        for (int y = 0; y < fields.height; ++y) {
            std::uint8_t* dst = cells->ImageRow(i, y);
            CopyBits(dst, cells->ImageBit(i), image.Row(i, y), image.FirstBit(i), cellBits);
            if (opaqueThroughMask) {
                MakeOpaqueWhereMasked(dst + cells->ImageBit(i) / 8, mask ? &*mask : nullptr, i, y,
                                      fields.width);
            }
        }
    }
    return cells->Commit();
}

// How much of the list's image bitmap a part of an in-place build adds at once.
constexpr std::size_t kPartBytes = 16u << 20;

int ImagesPerStrip(const ImageListData& data) {
    const std::size_t cellBytes = data.ImageBytes() + data.MaskBytes();
    return static_cast<int>(
        std::clamp<std::size_t>(kStripBytesBudget / std::max<std::size_t>(cellBytes, 1), 1, 1024));
}

UniqueImageList CreateList(const ImageListData& data) {
    const UINT createFlags = static_cast<UINT>(data.bitsPerPixel) | (data.HasMask() ? ILC_MASK : 0);
    UniqueImageList list(::ImageList_Create(data.width, data.height, createFlags,
                                            std::max<int>(data.count, 1),
                                            std::max<int>(data.grow, 4)));
    if (list) ::ImageList_SetBkColor(list.get(), data.background);
    return list;
}

// Gathers the sheet rows that are finished with and hands them on a megabyte or more at a time.
class SheetRelease {
public:
    explicit SheetRelease(SheetBytesDone done) : done_(std::move(done)) {}

    bool Released() const { return released_; }

    void Add(const std::uint8_t* begin, const std::uint8_t* end) {
        if (!done_) return;
        if (begin_ && (end == begin_ || begin == end_)) {
            begin_ = std::min(begin_, begin);
            end_ = std::max(end_, end);
        } else {
            Flush();
            begin_ = begin;
            end_ = end;
        }
        if (end_ - begin_ >= (1 << 20)) Flush();
    }

    void Flush() {
        if (!begin_) return;
        done_(begin_, end_);
        released_ = true;
        begin_ = end_ = nullptr;
    }

private:
    SheetBytesDone done_;
    const std::uint8_t* begin_ = nullptr;
    const std::uint8_t* end_ = nullptr;
    bool released_ = false;
};

// The list made with room for its final count and every cell written once, straight into the list's
// bitmaps. Null where that cannot be done: a palette list, whose colour table only an add sets,
// or bitmaps the platform does not hand out for writing; the caller then builds through adds.
// It grows a part at a time, since the platform's add writes every cell it makes: the sheet's
// rows that are put in can then be handed back before the next part touches more of the list.
UniqueImageList BuildInPlace(const ImageListData& data, const CellRows& image,
                             const std::optional<CellRows>& mask, AlphalessImages alphaless,
                             const ProgressSteps& steps, SheetRelease& release) {
    const int bits = data.bitsPerPixel;
    if (bits <= 8 || data.count == 0 || data.HasMask() != mask.has_value()) return {};
    std::vector<std::uint8_t> carriesAlpha;
    if (!TryResize(carriesAlpha, data.count)) return {};
    for (int i = 0; bits == 32 && i < data.count; ++i) {
        carriesAlpha[i] = CellHasAlpha(image, i, data.width, data.height);
    }
    UniqueImageList list = CreateList(data);
    if (!list) return {};
    const int perStrip = ImagesPerStrip(data);
    const std::size_t cellBits = static_cast<std::size_t>(data.width) * bits;
    const int perPart = static_cast<int>(
        std::max<std::size_t>(kPartBytes / std::max<std::size_t>(data.ImageBytes(), 1) / 4 * 4, 4));
    for (int first = 0; first < data.count; first += perPart) {
        const int n = std::min(perPart, data.count - first);
        const auto partSteps = [&](int done, int) {
            if (steps) steps(first + done, data.count);
        };
        if (!GrowList(list.get(), bits, std::span(carriesAlpha).subspan(first, n), perStrip,
                      partSteps)) {
            return {};
        }
        auto cells = ListCells::Open(list.get(), {data.width, data.height, bits, mask.has_value()});
        if (!cells) return {};
        for (int i = first; i < first + n; ++i) {
            const bool opaqueThroughMask =
                alphaless == AlphalessImages::kOpaqueWhereMasked && bits == 32 && !carriesAlpha[i];
            for (int y = 0; y < data.height; ++y) {
                std::uint8_t* dst = cells->ImageRow(i, y);
                CopyBits(dst, cells->ImageBit(i), image.Row(i, y), image.FirstBit(i), cellBits);
                if (opaqueThroughMask) {
                    MakeOpaqueWhereMasked(dst + cells->ImageBit(i) / 8, mask ? &*mask : nullptr, i,
                                          y, data.width);
                }
                if (mask) {
                    CopyBits(cells->MaskRow(i, y), cells->MaskBit(i), mask->Row(i, y),
                             mask->FirstBit(i), data.width);
                }
            }
            // A finished row of the sheet's cells is not read again.
            if ((i + 1) % image.PerRow() == 0) {
                const std::uint8_t* top = image.Row(i, 0);
                const std::uint8_t* bottom = image.Row(i, data.height - 1);
                release.Add(std::min(top, bottom), std::max(top, bottom) + image.Stride());
            }
        }
        release.Flush();
        if (mask) cells->MaskWritten();
        if (!cells->Commit()) return {};
        if (steps && first + n < data.count) steps(first + n, data.count);
    }
    if (steps) steps(data.count, data.count);
    return list;
}

}  // namespace

UniqueImageList BuildImageList(const StreamSheets& sheets, const ProgressSteps& steps,
                               const SheetBytesDone& done) {
    const ImageListData& data = sheets.list;
    std::optional<CellRows> mask;
    if (sheets.mask) mask = sheets.mask->Cells(data.width, data.height);
    const CellRows image = sheets.image.Cells(data.width, data.height);
    SheetRelease release(done);
    const auto alphaless = AlphalessImages::kOpaqueWhereMasked;
    if (UniqueImageList list = BuildInPlace(data, image, mask, alphaless, steps, release))
        return list;
    // Rows already given back cannot be read again for the platform's way.
    if (release.Released()) return {};
    return BuildThroughAdds(data, image, mask, alphaless, steps);
}

UniqueImageList BuildImageList(const ImageListData& data, const CellRows& image,
                               const std::optional<CellRows>& mask, AlphalessImages alphaless,
                               const ProgressSteps& steps) {
    SheetRelease keep(nullptr);
    if (UniqueImageList list = BuildInPlace(data, image, mask, alphaless, steps, keep)) return list;
    return BuildThroughAdds(data, image, mask, alphaless, steps);
}

UniqueImageList BuildThroughAdds(const ImageListData& data, const CellRows& image,
                                 const std::optional<CellRows>& mask, AlphalessImages alphaless,
                                 const ProgressSteps& steps) {
    const int bits = data.bitsPerPixel;
    UniqueImageList list = CreateList(data);
    if (!list) return {};
    const int perStrip = ImagesPerStrip(data);
    const auto& palette = data.palette.empty() && bits <= 8 ? DefaultPalette(bits) : data.palette;
    const std::vector<std::uint32_t> maskPalette = {0x00000000, 0x00FFFFFF};

    // The strips are made once and refilled: fresh bitmap memory for every strip cost more than
    // filling it. Only a last, shorter strip needs bitmaps of its own.
    DibSection imageStrip;
    DibSection maskStrip;
    for (int first = 0, made = 0; first < data.count; first += perStrip) {
        const int n = std::min(perStrip, data.count - first);
        if (n != made) {
            imageStrip = CreateTopDownSection(n * data.width, data.height, bits, palette);
            if (mask) maskStrip = CreateTopDownSection(n * data.width, data.height, 1, maskPalette);
            if (!imageStrip.bitmap || (mask && !maskStrip.bitmap)) return {};
            made = n;
        }
        ::GdiFlush();
        FillStrip(imageStrip.pixels, image, bits, data.width, data.height, first, n);
        if (mask) FillStrip(maskStrip.pixels, *mask, 1, data.width, data.height, first, n);
        ::GdiFlush();
        if (::ImageList_Add(list.get(), imageStrip.bitmap.get(), maskStrip.bitmap.get()) != first) {
            return {};
        }
        if (steps) steps(first + n, data.count);
    }
    if (!StoreExactCells(list.get(), data, image, mask, alphaless)) return {};
    return list;
}

}  // namespace iconvale
