#include "core/image_list_stream.h"

#include <algorithm>

#include "core/bit_rows.h"

namespace iconvale {

namespace {

constexpr std::uint16_t kBitmapType = 0x4D42;  // "BM"
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;

struct BitmapExpectation {
    std::uint32_t cellWidth;
    std::uint32_t cellHeight;
    std::uint32_t count;
    std::uint32_t columns;  // 0: any whole number of cells to a row
    int bitsPerPixel;       // 0: any supported depth (device-dependent lists)
};

std::uint64_t CellRowsFor(std::uint64_t cells, std::uint64_t columns = kCellsPerRow) {
    return (cells + columns - 1) / columns;
}

std::optional<StreamSheet> ReadBitmap(ByteReader& in, const BitmapExpectation& want) {
    // The file header's size and offset fields are not trusted: the pixels follow the colour
    // table directly, which is where every writer of this format puts them.
    const std::uint8_t* fileHeader = in.Span(kFileHeaderSize);
    if (!fileHeader || ReadU16(fileHeader) != kBitmapType) return std::nullopt;

    std::uint32_t infoSize = in.U32();
    std::int32_t width = in.I32();
    std::int32_t height = in.I32();
    std::uint16_t planes = in.U16();
    std::uint16_t bits = in.U16();
    std::uint32_t compression = in.U32();
    in.Span(12);  // image size and resolutions: derived or meaningless here
    std::uint32_t coloursUsed = in.U32();
    in.U32();  // important colours
    if (!in.ok() || infoSize != kInfoHeaderSize || planes != 1 || compression != 0) {
        return std::nullopt;
    }
    // A negative height would be a top-down bitmap; the format stores rows bottom-up only.
    if (width <= 0 || height <= 0 || static_cast<std::uint32_t>(width) % want.cellWidth != 0) {
        return std::nullopt;
    }
    const std::uint32_t columns = static_cast<std::uint32_t>(width) / want.cellWidth;
    if (want.columns != 0 && columns != want.columns) return std::nullopt;
    if (want.bitsPerPixel != 0 ? bits != want.bitsPerPixel : !IsSupportedDepth(bits)) {
        return std::nullopt;
    }
    auto heightPixels = static_cast<std::uint32_t>(height);
    if (heightPixels % want.cellHeight != 0 ||
        heightPixels / want.cellHeight < CellRowsFor(want.count, columns)) {
        return std::nullopt;
    }

    StreamSheet view;
    view.bitsPerPixel = bits;
    view.columns = static_cast<int>(columns);
    view.heightPixels = heightPixels;
    view.stride = RowStride(static_cast<std::uint32_t>(width), bits);
    if (view.stride * heightPixels > kMaxBitmapBytes) return std::nullopt;

    // The platform's reader takes a full table at 8 bits or fewer and none above, whatever
    // "colours used" says; a header that says otherwise is not one it wrote.
    const std::uint64_t entries = bits <= 8 ? 1ull << bits : 0;
    if (coloursUsed != 0 && coloursUsed != entries) return std::nullopt;
    const std::uint8_t* table = in.Span(static_cast<std::size_t>(entries * 4));
    if (!in.ok()) return std::nullopt;
    for (std::uint64_t i = 0; i < entries; ++i) view.palette.push_back(ReadU32(table + 4 * i));

    std::uint64_t pixelBytes = view.stride * heightPixels;
    if (pixelBytes > in.remaining()) return std::nullopt;
    view.bits = in.Span(static_cast<std::size_t>(pixelBytes));
    return view;
}

// Copies the first `count` cells out of a bitmap into per-image blocks, top row first.
void CutCells(const StreamSheet& sheet, std::uint32_t cellWidth, std::uint32_t cellHeight,
              std::uint32_t count, std::size_t rowBytes, std::uint8_t* out) {
    const CellRows cells = sheet.Cells(static_cast<int>(cellWidth), static_cast<int>(cellHeight));
    const std::size_t cellBits = static_cast<std::size_t>(cellWidth) * sheet.bitsPerPixel;
    for (std::uint32_t i = 0; i < count; ++i) {
        const int index = static_cast<int>(i);
        for (std::uint32_t y = 0; y < cellHeight; ++y) {
            std::uint8_t* dst = out + (static_cast<std::size_t>(i) * cellHeight + y) * rowBytes;
            CopyBits(dst, 0, cells.Row(index, static_cast<int>(y)), cells.FirstBit(index),
                     cellBits);
        }
    }
}

void AppendBitmap(Bytes& out, std::uint32_t widthPixels, std::uint32_t heightPixels, int bits,
                  const std::vector<std::uint32_t>& palette) {
    std::uint32_t tableBytes = bits <= 8 ? 4u << bits : 0;
    std::uint32_t headersSize = kFileHeaderSize + kInfoHeaderSize + tableBytes;
    std::uint64_t imageSize = RowStride(widthPixels, bits) * heightPixels;

    AppendU16(out, kBitmapType);
    AppendU32(out, headersSize);  // the format's writers put the header size here, not the file's
    AppendU32(out, 0);
    AppendU32(out, headersSize);
    AppendU32(out, kInfoHeaderSize);
    AppendU32(out, widthPixels);
    AppendU32(out, heightPixels);
    AppendU16(out, 1);
    AppendU16(out, static_cast<std::uint32_t>(bits));
    AppendU32(out, 0);
    AppendU32(out, static_cast<std::uint32_t>(imageSize));
    for (int i = 0; i < 4; ++i) AppendU32(out, 0);
    if (tableBytes != 0) {
        for (std::uint32_t i = 0; i < (1u << bits); ++i) {
            AppendU32(out, i < palette.size() ? palette[i] : 0);
        }
    }
}

// Appends the pixel rows of a bitmap four cells wide holding the first `count` cells of `cells`.
void AppendCells(Bytes& out, const CellRows& cells, int bits, std::uint32_t cellWidth,
                 std::uint32_t cellHeight, std::uint32_t count, std::uint32_t heightPixels) {
    const std::size_t stride = RowStride(std::uint64_t{cellWidth} * kCellsPerRow, bits);
    const std::size_t start = out.size();
    out.resize(start + stride * heightPixels, 0);
    const std::size_t cellBits = static_cast<std::size_t>(cellWidth) * bits;
    for (std::uint32_t i = 0; i < count; ++i) {
        const int index = static_cast<int>(i);
        std::size_t column = i % kCellsPerRow;
        std::size_t top = static_cast<std::size_t>(i / kCellsPerRow) * cellHeight;
        for (std::uint32_t y = 0; y < cellHeight; ++y) {
            std::size_t fileRow = heightPixels - 1 - (top + y);
            CopyBits(&out[start + fileRow * stride], column * cellBits,
                     cells.Row(index, static_cast<int>(y)), cells.FirstBit(index), cellBits);
        }
    }
}

}  // namespace

bool IsReadableVersion(std::uint16_t version) {
    return version == kStreamVersion || version == kStreamVersionXp || version == kStreamVersionV6;
}

bool IsSupportedDepth(int bitsPerPixel) {
    return bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 ||
           bitsPerPixel == 32;
}

std::uint64_t WrittenSheetRows(std::uint64_t capacity) {
    return std::max<std::uint64_t>(1, CellRowsFor(capacity));
}

std::uint64_t WrittenBitmapBytes(std::uint64_t width, std::uint64_t height, std::uint64_t capacity,
                                 int bitsPerPixel) {
    return RowStride(width * kCellsPerRow, bitsPerPixel) * WrittenSheetRows(capacity) * height;
}

std::uint32_t ImageListData::Pixel(int index, int x, int y) const {
    const std::uint8_t* row = ImageRow(index, y);
    switch (bitsPerPixel) {
        case 4:
            return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
        case 8:
            return row[x];
        case 16:
            return ReadU16(row + 2 * x);
        case 24:
            return row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
        default:
            return ReadU32(row + 4 * x);
    }
}

void ImageListData::SetPixel(int index, int x, int y, std::uint32_t value) {
    std::uint8_t* row = ImageRow(index, y);
    switch (bitsPerPixel) {
        case 4: {
            int shift = x % 2 ? 0 : 4;
            row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & ~(0x0F << shift)) |
                                                   ((value & 0x0F) << shift));
            break;
        }
        case 8:
            row[x] = static_cast<std::uint8_t>(value);
            break;
        default:
            for (int b = 0; b < bitsPerPixel / 8; ++b) {
                row[bitsPerPixel / 8 * x + b] = static_cast<std::uint8_t>(value >> (8 * b));
            }
    }
}

bool ImageListData::Transparent(int index, int x, int y) const {
    // An image without a mask is opaque everywhere.
    return HasMask() && BitAt(MaskRow(index, y), static_cast<std::size_t>(x));
}

void ImageListData::SetTransparent(int index, int x, int y, bool transparent) {
    if (HasMask()) SetBitAt(MaskRow(index, y), static_cast<std::size_t>(x), transparent);
}

void ImageListData::AllocateImages() {
    pixels.assign(ImageBytes() * count, 0);
    mask.assign(HasMask() ? MaskBytes() * count : 0, 0);
}

std::optional<StreamSheets> ParseImageListSheets(std::span<const std::uint8_t> data) {
    ByteReader in(data.data(), data.size());
    StreamSheets sheets;
    ImageListData& list = sheets.list;
    std::uint16_t magic = in.U16();
    std::uint16_t version = in.U16();
    list.count = in.U16();
    list.capacity = in.U16();
    list.grow = in.U16();
    list.width = in.U16();
    list.height = in.U16();
    list.background = in.U32();
    list.flags = in.U16();
    for (auto& overlay : list.overlays) overlay = static_cast<std::int16_t>(in.U16());
    if (!in.ok() || magic != kStreamMagic || !IsReadableVersion(version)) return std::nullopt;
    if (list.width == 0 || list.height == 0 || list.capacity < list.count) return std::nullopt;

    int depth = list.flags & kDepthBits;
    if (depth != kDeviceDepth && !IsSupportedDepth(depth)) return std::nullopt;

    // The later versions keep one cell to a row; the geometry is taken from the bitmaps, which
    // often hold fewer cells than the capacity says.
    const std::uint32_t columns = version == kStreamVersion ? kCellsPerRow : 0;
    auto image = ReadBitmap(
        in, {list.width, list.height, list.count, columns, depth == kDeviceDepth ? 0 : depth});
    if (!image) return std::nullopt;
    list.bitsPerPixel = image->bitsPerPixel;
    list.palette = image->palette;
    // Refuse what the writer could not write back: count cells over budget four to a row.
    if (WrittenBitmapBytes(list.width, list.height, list.count, list.bitsPerPixel) >
        kMaxBitmapBytes) {
        return std::nullopt;
    }
    sheets.image = std::move(*image);

    if (list.HasMask()) {
        const auto maskColumns = static_cast<std::uint32_t>(sheets.image.columns);
        sheets.mask = ReadBitmap(in, {list.width, list.height, list.count, maskColumns, 1});
        if (!sheets.mask) return std::nullopt;
    }
    return sheets;
}

std::optional<ImageListData> ParseImageListStream(std::span<const std::uint8_t> data) {
    auto sheets = ParseImageListSheets(data);
    if (!sheets) return std::nullopt;
    ImageListData& list = sheets->list;
    list.AllocateImages();
    CutCells(sheets->image, list.width, list.height, list.count, list.RowBytes(),
             list.pixels.data());
    if (sheets->mask) {
        CutCells(*sheets->mask, list.width, list.height, list.count, list.MaskRowBytes(),
                 list.mask.data());
    }
    return std::move(sheets->list);
}

Bytes WriteImageListStream(const ImageListData& list) {
    if (list.pixels.size() != list.ImageBytes() * list.count) return {};
    if (list.mask.size() != (list.HasMask() ? list.MaskBytes() * list.count : 0)) return {};
    const CellRows image = CellRows::Blocks(list.pixels.data(), list.RowBytes(), list.height);
    const CellRows mask = CellRows::Blocks(list.mask.data(), list.MaskRowBytes(), list.height);
    return WriteImageListStream(list, image, list.HasMask() ? &mask : nullptr);
}

std::uint16_t WritableCapacity(const ImageListData& list) {
    const std::uint16_t capacity = std::max(list.capacity, list.count);
    const std::uint64_t bytes =
        WrittenBitmapBytes(list.width, list.height, capacity, list.bitsPerPixel);
    return bytes > kMaxBitmapBytes ? list.count : capacity;
}

Bytes WriteImageListStream(const ImageListData& list, const CellRows& image, const CellRows* mask) {
    int depth = list.flags & kDepthBits;
    if (list.width == 0 || list.height == 0 || !IsSupportedDepth(list.bitsPerPixel)) return {};
    if (depth != kDeviceDepth && depth != list.bitsPerPixel) return {};
    if (list.HasMask() != (mask != nullptr)) return {};
    if (list.bitsPerPixel <= 8 && list.palette.size() > (1u << list.bitsPerPixel)) return {};

    const std::uint16_t capacity = WritableCapacity(list);
    const std::uint64_t heightPixels = WrittenSheetRows(capacity) * list.height;
    const std::uint32_t sheetWidth = std::uint32_t{list.width} * kCellsPerRow;
    const std::uint64_t imageBytes =
        WrittenBitmapBytes(list.width, list.height, capacity, list.bitsPerPixel);
    const std::uint64_t maskBytes = WrittenBitmapBytes(list.width, list.height, capacity, 1);
    if (imageBytes > kMaxBitmapBytes) return {};

    Bytes out;
    out.reserve(static_cast<std::size_t>(kStreamHeaderSize + 2 * (54 + 1024) + imageBytes +
                                         (list.HasMask() ? maskBytes : 0)));
    AppendU16(out, kStreamMagic);
    AppendU16(out, kStreamVersion);
    AppendU16(out, list.count);
    AppendU16(out, capacity);
    AppendU16(out, list.grow);
    AppendU16(out, list.width);
    AppendU16(out, list.height);
    AppendU32(out, list.background);
    AppendU16(out, list.flags);
    for (auto overlay : list.overlays) AppendU16(out, static_cast<std::uint16_t>(overlay));

    const auto height = static_cast<std::uint32_t>(heightPixels);
    const auto& palette = list.palette.empty() && list.bitsPerPixel <= 8
                              ? DefaultPalette(list.bitsPerPixel)
                              : list.palette;
    AppendBitmap(out, sheetWidth, height, list.bitsPerPixel, palette);
    AppendCells(out, image, list.bitsPerPixel, list.width, list.height, list.count, height);
    if (mask) {
        AppendBitmap(out, sheetWidth, height, 1, {0x00000000, 0x00FFFFFF});
        AppendCells(out, *mask, 1, list.width, list.height, list.count, height);
    }
    return out;
}

std::vector<std::uint32_t> DefaultPalette(int bitsPerPixel) {
    static const std::vector<std::uint32_t> kVga = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    if (bitsPerPixel == 4) return kVga;
    if (bitsPerPixel != 8) return {};
    std::vector<std::uint32_t> table = kVga;
    for (std::uint32_t r = 0; r < 6; ++r)
        for (std::uint32_t g = 0; g < 6; ++g)
            for (std::uint32_t b = 0; b < 6; ++b)
                table.push_back((r * 51) << 16 | (g * 51) << 8 | b * 51);
    for (std::uint32_t i = 0; i < 24; ++i) {
        std::uint32_t v = 8 + i * 10;
        table.push_back(v << 16 | v << 8 | v);
    }
    return table;
}

std::uint32_t PixelColour(const ImageListData& list, const std::vector<std::uint32_t>& palette,
                          int index, int x, int y) {
    const std::uint32_t v = list.Pixel(index, x, y);
    switch (list.bitsPerPixel) {
        case 4:
        case 8:
            return v < palette.size() ? palette[v] & 0x00FFFFFF : 0;
        case 16: {
            auto widen = [](std::uint32_t c) { return (c << 3) | (c >> 2); };
            return widen((v >> 10) & 31) << 16 | widen((v >> 5) & 31) << 8 | widen(v & 31);
        }
        case 24:
            return v & 0x00FFFFFF;
        default:
            return v;
    }
}

}  // namespace iconvale
