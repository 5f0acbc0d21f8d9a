#include "imaging/picture_cells.h"

#include <algorithm>

#include "core/bit_rows.h"

namespace iconvale {
namespace {

constexpr std::uint32_t kMaskedBelowAlpha32 = 26;

std::uint32_t Alpha(std::uint32_t argb) {
    return argb >> 24;
}

std::uint32_t Premultiplied(std::uint32_t channel, std::uint32_t alpha) {
    return (channel * alpha + 127) / 255;
}

// The colour part of a pixel with each channel premultiplied, alpha on top as it was.
std::uint32_t PremultipliedPixel(std::uint32_t argb) {
    const std::uint32_t a = Alpha(argb);
    if (a == 255) return argb;
    return a << 24 | Premultiplied((argb >> 16) & 0xFF, a) << 16 |
           Premultiplied((argb >> 8) & 0xFF, a) << 8 | Premultiplied(argb & 0xFF, a);
}

// The source index under the centre of destination pixel `at` of `to`, from `from` pixels; a
// centre that falls on the edge between two goes to the first.
int CentreSource(int at, int from, int to) {
    return static_cast<int>(((2 * static_cast<long long>(at) + 1) * from - 1) / (2LL * to));
}

std::uint32_t ColourRefToRgb(std::uint32_t colorRef) {
    return (colorRef & 0xFF) << 16 | (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF);
}

}  // namespace

RgbaPicture StretchPicture(const RgbaPicture& picture, int width, int height) {
    if (picture.width == width && picture.height == height) return picture;
    RgbaPicture stretched;
    if (picture.empty() || !stretched.Allocate(width, height)) return {};
    std::vector<int> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) columns[x] = CentreSource(x, picture.width, width);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* from =
            picture.argb.data() +
            static_cast<std::size_t>(CentreSource(y, picture.height, height)) * picture.width;
        std::uint32_t* to = stretched.Row(y);
        for (int x = 0; x < width; ++x) to[x] = from[columns[x]];
    }
    return stretched;
}

CellFormat::CellFormat(int width, int height, int bitsPerPixel, bool mask) {
    fields_.width = static_cast<std::uint16_t>(width);
    fields_.height = static_cast<std::uint16_t>(height);
    fields_.bitsPerPixel = bitsPerPixel;
    fields_.flags = static_cast<std::uint16_t>(bitsPerPixel | (mask ? kMaskFlag : 0));
    if (bitsPerPixel <= 8) fields_.palette = DefaultPalette(bitsPerPixel);
}

std::uint32_t CellFormat::NearestIndex(std::uint32_t rgb) const {
    std::uint32_t best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < fields_.palette.size(); ++i) {
        // Palette entries are blue, green, red from the low byte up, as 0x00RRGGBB.
        const std::uint32_t entry = fields_.palette[i];
        const int dr =
            static_cast<int>((entry >> 16) & 0xFF) - static_cast<int>((rgb >> 16) & 0xFF);
        const int dg = static_cast<int>((entry >> 8) & 0xFF) - static_cast<int>((rgb >> 8) & 0xFF);
        const int db = static_cast<int>(entry & 0xFF) - static_cast<int>(rgb & 0xFF);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) bestDistance = distance, best = static_cast<std::uint32_t>(i);
    }
    return best;
}

// `rgb` is 0x00RRGGBB at depths below 32; at 32 bits the whole pixel with alpha.
void CellFormat::StorePixel(std::uint8_t* row, int x, std::uint32_t rgb) const {
    const auto at = static_cast<std::size_t>(x);
    switch (fields_.bitsPerPixel) {
        case 32:
            row[at * 4] = static_cast<std::uint8_t>(rgb);
            row[at * 4 + 1] = static_cast<std::uint8_t>(rgb >> 8);
            row[at * 4 + 2] = static_cast<std::uint8_t>(rgb >> 16);
            row[at * 4 + 3] = static_cast<std::uint8_t>(rgb >> 24);
            break;
        case 24:
            row[at * 3] = static_cast<std::uint8_t>(rgb);
            row[at * 3 + 1] = static_cast<std::uint8_t>(rgb >> 8);
            row[at * 3 + 2] = static_cast<std::uint8_t>(rgb >> 16);
            break;
        case 16: {
            const std::uint32_t value =
                ((rgb >> 19) & 0x1F) << 10 | ((rgb >> 11) & 0x1F) << 5 | ((rgb >> 3) & 0x1F);
            row[at * 2] = static_cast<std::uint8_t>(value);
            row[at * 2 + 1] = static_cast<std::uint8_t>(value >> 8);
            break;
        }
        case 8:
            row[at] = static_cast<std::uint8_t>(NearestIndex(rgb));
            break;
        default: {
            const std::uint32_t index = NearestIndex(rgb);
            const auto shift = (x % 2 == 0) ? 4 : 0;
            row[at / 2] =
                static_cast<std::uint8_t>((row[at / 2] & ~(0xF << shift)) | index << shift);
        }
    }
}

void CellFormat::StoreCell(const RgbaPicture& source, int left, bool whole,
                           std::optional<std::uint32_t> transparent, std::uint8_t* pixels,
                           std::uint8_t* mask) const {
    const int width = fields_.width, height = fields_.height;
    const bool deep = fields_.bitsPerPixel == 32;
    const std::uint32_t maskedBelow = deep ? kMaskedBelowAlpha32 : 1;
    const std::uint32_t key = transparent ? ColourRefToRgb(*transparent) : 0;
    for (int y = 0; y < height; ++y) {
        // A strip shorter than the cell is stretched to its height; a taller one gives its top.
        const int sourceY = source.height < height ? CentreSource(y, source.height, height) : y;
        const std::uint32_t* from =
            source.argb.data() + static_cast<std::size_t>(sourceY) * source.width + left;
        std::uint8_t* row = pixels + y * fields_.RowBytes();
        std::uint8_t* maskRow = mask ? mask + y * fields_.MaskRowBytes() : nullptr;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t argb = from[x];
            bool masked = false;
            std::uint32_t stored;
            if (transparent) {
                // Keyed pixels go through a bitmap without alpha: the colours are kept as they
                // are and a 32-bit cell's alpha is left 0.
                masked = (argb & 0xFFFFFF) == key;
                stored = masked ? 0 : argb & 0xFFFFFF;
            } else {
                stored = PremultipliedPixel(argb);
                if (!deep) stored &= 0xFFFFFF;
                masked = whole && Alpha(argb) < maskedBelow;
            }
            StorePixel(row, x, stored);
            if (maskRow && masked) SetBitAt(maskRow, static_cast<std::size_t>(x), true);
        }
    }
}

CellBlock CellFormat::Whole(const RgbaPicture& picture) const {
    const RgbaPicture cell = StretchPicture(picture, fields_.width, fields_.height);
    CellBlock block;
    if (cell.empty()) return block;
    block.count = 1;
    block.pixels.assign(fields_.ImageBytes(), 0);
    if (fields_.HasMask()) block.mask.assign(fields_.MaskBytes(), 0);
    StoreCell(cell, 0, true, std::nullopt, block.pixels.data(),
              fields_.HasMask() ? block.mask.data() : nullptr);
    return block;
}

CellBlock CellFormat::Split(const RgbaPicture& picture,
                            std::optional<std::uint32_t> transparent) const {
    CellBlock block;
    block.count = picture.width / fields_.width;
    block.pixels.assign(block.count * fields_.ImageBytes(), 0);
    if (fields_.HasMask()) block.mask.assign(block.count * fields_.MaskBytes(), 0);
    for (int i = 0; i < block.count; ++i) {
        std::uint8_t* mask =
            fields_.HasMask() ? block.mask.data() + i * fields_.MaskBytes() : nullptr;
        StoreCell(picture, i * fields_.width, false, transparent,
                  block.pixels.data() + i * fields_.ImageBytes(), mask);
    }
    return block;
}

RgbaPicture CellPicture(const ImageListData& list, int index) {
    RgbaPicture picture;
    if (index < 0 || index >= list.count || !picture.Allocate(list.width, list.height)) return {};
    bool anyAlpha = false;
    if (list.bitsPerPixel == 32) {
        for (int y = 0; y < list.height && !anyAlpha; ++y) {
            for (int x = 0; x < list.width && !anyAlpha; ++x) {
                anyAlpha = (list.Pixel(index, x, y) >> 24) != 0;
            }
        }
    }
    const std::vector<std::uint32_t>& palette = list.palette.empty() && list.bitsPerPixel <= 8
                                                    ? DefaultPalette(list.bitsPerPixel)
                                                    : list.palette;
    for (int y = 0; y < list.height; ++y) {
        std::uint32_t* row = picture.Row(y);
        for (int x = 0; x < list.width; ++x) {
            std::uint32_t argb;
            if (anyAlpha) {
                argb = list.Pixel(index, x, y);
            } else {
                const bool clear = list.HasMask() && list.Transparent(index, x, y);
                argb = clear ? 0 : 0xFF000000u | PixelColour(list, palette, index, x, y);
            }
            row[x] = Alpha(argb) == 0 ? 0 : argb;
        }
    }
    return picture;
}

RgbaPicture OverBackground(const RgbaPicture& picture, std::uint32_t rgb) {
    RgbaPicture result = picture;
    for (std::uint32_t& pixel : result.argb) {
        const std::uint32_t a = Alpha(pixel);
        std::uint32_t out = 0xFF000000u;
        for (int shift = 0; shift <= 16; shift += 8) {
            const std::uint32_t over = (pixel >> shift) & 0xFF, under = (rgb >> shift) & 0xFF;
            out |= ((over * a + under * (255 - a)) / 255) << shift;
        }
        pixel = out;
    }
    return result;
}

}  // namespace iconvale
