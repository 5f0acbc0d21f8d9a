// The BMP half of the embedded pictures (core/embedded_pictures.h).
#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "core/bit_rows.h"
#include "core/embedded_pictures.h"

namespace iconvale {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

// Where the parts of a BMP file lie, each already checked to be inside it.
struct BmpLayout {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool topDown = false;
    int bits = 0;
    std::size_t paletteOffset = 0;
    std::size_t paletteCount = 0;
    std::size_t pixelOffset = 0;
};

bool KnownInfoSize(std::uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Only the masks of the usual 8-bit-per-channel layout are read; anything else would need
// per-channel shifting that no image-list writer has been seen to need.
bool UsualMasks(const std::uint8_t* masks, bool withAlpha) {
    const std::uint32_t alpha = withAlpha ? ReadU32(masks + 12) : 0;
    return ReadU32(masks) == 0x00FF0000 && ReadU32(masks + 4) == 0x0000FF00 &&
           ReadU32(masks + 8) == 0x000000FF && (alpha == 0 || alpha == 0xFF000000);
}

std::optional<BmpLayout> ReadLayout(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kFileHeaderSize + 4 || bytes[0] != 'B' || bytes[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t infoSize = ReadU32(bytes.data() + kFileHeaderSize);
    if (!KnownInfoSize(infoSize) || infoSize > bytes.size() - kFileHeaderSize) return std::nullopt;
    const std::uint8_t* info = bytes.data() + kFileHeaderSize;
    const auto width = static_cast<std::int32_t>(ReadU32(info + 4));
    const auto height = static_cast<std::int32_t>(ReadU32(info + 8));
    const std::uint16_t planes = ReadU16(info + 12);
    const int bits = ReadU16(info + 14);
    const std::uint32_t compression = ReadU32(info + 16);
    const std::uint32_t coloursUsed = ReadU32(info + 32);
    if (width <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min() ||
        planes != 1) {
        return std::nullopt;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
    if (compression != kBiRgb && !(compression == kBiBitfields && bits == 32)) {
        return std::nullopt;
    }

    BmpLayout layout{.width = static_cast<std::uint32_t>(width),
                     .height = height < 0 ? 0u - static_cast<std::uint32_t>(height)
                                          : static_cast<std::uint32_t>(height),
                     .topDown = height < 0,
                     .bits = bits};
    std::size_t tables = kFileHeaderSize + infoSize;
    if (compression == kBiBitfields) {
        // A plain info header is followed by the three masks; the later headers hold them.
        if (infoSize == 40) {
            if (bytes.size() - tables < 12 || !UsualMasks(bytes.data() + tables, false)) {
                return std::nullopt;
            }
            tables += 12;
        } else if (!UsualMasks(info + 40, infoSize >= 56)) {
            return std::nullopt;
        }
    }
    if (bits <= 8) {
        layout.paletteCount =
            coloursUsed == 0 ? std::size_t{1} << bits : std::min<std::size_t>(coloursUsed, 256);
        if ((bytes.size() - tables) / 4 < layout.paletteCount) return std::nullopt;
        layout.paletteOffset = tables;
    }
    const std::uint32_t pixelOffset = ReadU32(bytes.data() + 10);
    if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset > bytes.size()) {
        return std::nullopt;
    }
    layout.pixelOffset = pixelOffset;
    return layout;
}

bool Decode(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels, BgraPicture& picture) {
    const std::optional<BmpLayout> layout = ReadLayout(bytes);
    if (!layout) return false;
    const std::uint64_t width = layout->width;
    const std::uint64_t height = layout->height;
    const std::uint64_t pixels = width * height;
    if (pixels > maxPixels || pixels > std::numeric_limits<std::size_t>::max() / 4) return false;
    // The last row may go without its padding, as some writers leave it off.
    const std::uint64_t stride = RowStride(width, layout->bits);
    const std::uint64_t rowBytes = (width * static_cast<std::uint64_t>(layout->bits) + 7) / 8;
    const std::uint64_t available = bytes.size() - layout->pixelOffset;
    if (rowBytes > available || (height > 1 && (available - rowBytes) / (height - 1) < stride)) {
        return false;
    }

    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.bgra.resize(static_cast<std::size_t>(pixels) * 4);
    const std::uint8_t* palette = bytes.data() + layout->paletteOffset;
    for (std::uint64_t y = 0; y < height; ++y) {
        const std::uint64_t stored = layout->topDown ? y : height - 1 - y;
        const std::uint8_t* row = bytes.data() + layout->pixelOffset + stored * stride;
        std::uint8_t* out = picture.bgra.data() + y * width * 4;
        switch (layout->bits) {
            case 32:
                std::memcpy(out, row, static_cast<std::size_t>(width) * 4);
                break;
            case 24:
                for (std::size_t x = 0; x < width; ++x) {
                    std::copy_n(row + 3 * x, 3, out + 4 * x);
                    out[4 * x + 3] = 255;
                }
                break;
            default:
                for (std::size_t x = 0; x < width; ++x) {
                    const std::size_t bit = x * static_cast<std::size_t>(layout->bits);
                    const std::size_t index =
                        (row[bit / 8] >> (8 - layout->bits - bit % 8)) & ((1u << layout->bits) - 1);
                    if (index >= layout->paletteCount) return false;
                    std::copy_n(palette + 4 * index, 3, out + 4 * x);
                    out[4 * x + 3] = 255;
                }
                break;
        }
    }
    return true;
}

}  // namespace

std::optional<PictureHeader> ReadBmpHeader(std::span<const std::uint8_t> bytes) {
    const std::optional<BmpLayout> layout = ReadLayout(bytes);
    if (!layout) return std::nullopt;
    return PictureHeader{layout->width, layout->height};
}

bool DecodeBmpPicture(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels,
                      BgraPicture& out) {
    out = {};
    try {
        if (Decode(bytes, maxPixels, out)) return true;
    } catch (const std::bad_alloc&) {
    }
    out = {};
    return false;
}

}  // namespace iconvale
