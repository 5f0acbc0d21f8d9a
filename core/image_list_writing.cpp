// Writing: a platform image list's cells read back out into the stream's form.
#include <algorithm>

#include "core/bit_rows.h"
#include "core/dib_bitmaps.h"
#include "core/image_list_bridge.h"

namespace iconvale {

namespace {

void CopyCell(const BitmapRows& sheet, const RECT& cell, int bits, std::uint8_t* image,
              std::size_t rowBytes, int cellWidth, int cellHeight) {
    const std::size_t cellBits = static_cast<std::size_t>(cellWidth) * bits;
    for (int y = 0; y < cellHeight; ++y) {
        CopyBits(image + y * rowBytes, 0, sheet.bits.data() + (cell.top + y) * sheet.stride,
                 static_cast<std::size_t>(cell.left) * bits, cellBits);
    }
}

// The stream fields of a platform list, without its pixels.
std::optional<ImageListData> ListFields(HIMAGELIST list, const StreamFields& fields, int count) {
    ImageListData data;
    int width = 0;
    int height = 0;
    if (!list || !::ImageList_GetIconSize(list, &width, &height)) return std::nullopt;
    if (count < 0) count = ::ImageList_GetImageCount(list);
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
std::optional<Bytes> WriteFromListBitmaps(HIMAGELIST list, const ImageListData& data,
                                          const ListCellWriter& write) {
    const int bits = data.bitsPerPixel;
    IMAGEINFO info{};
    if (data.count == 0 || bits <= 8 || !::ImageList_GetImageInfo(list, 0, &info))
        return std::nullopt;
    const auto sheet = DibSectionPixels(info.hbmImage, bits);
    if (!sheet) return std::nullopt;
    const int perRow = sheet->width / data.width;
    if (perRow < 1) return std::nullopt;
    for (int i = 0; i < data.count; ++i) {
        const auto cell =
            CellInSheet(list, i, data.width, data.height, sheet->width, sheet->height);
        if (!cell || cell->left != i % perRow * data.width ||
            cell->top != i / perRow * data.height) {
            return std::nullopt;
        }
    }
    const CellRows image = CellRows::Sheet(
        sheet->bits, sheet->stride, static_cast<std::size_t>(sheet->height), data.height, perRow,
        static_cast<std::size_t>(data.width) * bits, sheet->bottomUp);
    if (!data.HasMask()) return write(data, image, nullptr);

    auto mask = ReadMaskRows(info.hbmMask);
    if (!mask || mask->width != sheet->width || mask->height != sheet->height ||
        (mask->palette[1] & 0x00FFFFFF) == 0) {
        return std::nullopt;
    }
    const CellRows maskRows =
        CellRows::Sheet(mask->bits.data(), mask->stride, static_cast<std::size_t>(mask->height),
                        data.height, perRow, static_cast<std::size_t>(data.width), false);
    return write(data, image, &maskRows);
}

}  // namespace

Bytes WriteListStream(HIMAGELIST list, const StreamFields& fields, int count) {
    return WriteListCells(
        list, fields, count,
        [](const ImageListData& data, const CellRows& image, const CellRows* mask) {
            return WriteImageListStream(data, image, mask);
        });
}

Bytes WriteListCells(HIMAGELIST list, const StreamFields& fields, int count,
                     const ListCellWriter& write) {
    auto data = ListFields(list, fields, count);
    if (!data) return {};
    if (auto written = WriteFromListBitmaps(list, *data, write)) return std::move(*written);
    auto full = ReadImageList(list, fields, count);
    if (!full) return {};
    const CellRows image = CellRows::Blocks(full->pixels.data(), full->RowBytes(), full->height);
    const CellRows mask = CellRows::Blocks(full->mask.data(), full->MaskRowBytes(), full->height);
    return write(*full, image, full->HasMask() ? &mask : nullptr);
}

std::optional<ImageListData> ReadImageList(HIMAGELIST list, const StreamFields& fields,
                                           int images) {
    auto fieldsOnly = ListFields(list, fields, images);
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
    auto image = ReadBitmapRows(info.hbmImage, data.bitsPerPixel);
    if (!image) return std::nullopt;
    data.palette = image->palette;
    std::optional<BitmapRows> mask;
    if (data.HasMask()) {
        mask = ReadMaskRows(info.hbmMask);
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
        const std::size_t rowBits = data.MaskRowBytes() * 8;
        for (std::size_t off = 0; off < data.mask.size(); off += data.MaskRowBytes()) {
            for (std::size_t x = width; x < rowBits; ++x) SetBitAt(&data.mask[off], x, false);
        }
    }
    return data;
}

}  // namespace iconvale
