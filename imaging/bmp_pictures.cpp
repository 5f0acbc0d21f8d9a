// BMP through stb_image and stb_image_write, built here with their BMP code only.
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <climits>
#include <memory>

#include "core/bit_rows.h"
#include "core/bytes.h"
#include "imaging/picture_budget.h"
#include "imaging/picture_formats.h"

namespace iconvale {
namespace {

struct StbFreeing {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

constexpr std::size_t kInfoHeaderAt = 14;

// A 32-bit BMP file without colour masks keeps padding, not alpha, in its fourth byte.
bool FourthByteIsPadding(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kInfoHeaderAt + 20) return false;
    const std::uint32_t headerSize = ReadU32(bytes.data() + kInfoHeaderAt);
    const std::uint16_t bits = ReadU16(bytes.data() + kInfoHeaderAt + 14);
    const std::uint32_t compression = ReadU32(bytes.data() + kInfoHeaderAt + 16);
    return headerSize >= 40 && bits == 32 && compression == 0;
}

// The decoder reads past the end of the bytes as zeros, so a cut file is refused here: the
// rows an uncompressed bitmap promises must all be there.
bool HoldsItsRows(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kInfoHeaderAt + 20) return false;
    const std::uint32_t pixelsAt = ReadU32(bytes.data() + 10);
    const auto width = static_cast<std::int32_t>(ReadU32(bytes.data() + kInfoHeaderAt + 4));
    const auto height = static_cast<std::int32_t>(ReadU32(bytes.data() + kInfoHeaderAt + 8));
    const std::uint16_t bits = ReadU16(bytes.data() + kInfoHeaderAt + 14);
    const std::uint32_t compression = ReadU32(bytes.data() + kInfoHeaderAt + 16);
    if (compression != 0 && compression != 3) return true;  // left to the decoder
    if (width <= 0 || height == 0 || height == INT32_MIN) return false;
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    const std::uint64_t needed =
        pixelsAt + RowStride(static_cast<std::uint64_t>(width), bits) * rows;
    return needed <= bytes.size();
}

void WriteToBytes(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    const auto* from = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), from, from + size);
}

}  // namespace

RgbaPicture DecodeBmp(std::span<const std::uint8_t> bytes, bool iconImage) {
    if (bytes.size() > INT_MAX) return {};
    const auto* data = bytes.data();
    const int length = static_cast<int>(bytes.size());
    int width = 0, height = 0, channels = 0;
    // The size is checked against the budget before anything is decoded.
    if (!stbi_info_from_memory(data, length, &width, &height, &channels) ||
        !PictureSizeAllowed(width, height) || !HoldsItsRows(bytes)) {
        return {};
    }
    std::unique_ptr<stbi_uc, StbFreeing> rgba(
        stbi_load_from_memory(data, length, &width, &height, &channels, 4));
    RgbaPicture picture;
    if (!rgba || !picture.Allocate(width, height)) return {};
    const bool opaque = !iconImage && FourthByteIsPadding(bytes);
    const stbi_uc* from = rgba.get();
    for (std::uint32_t& pixel : picture.argb) {
        const std::uint32_t alpha = opaque ? 255 : from[3];
        pixel = alpha << 24 | std::uint32_t{from[0]} << 16 | std::uint32_t{from[1]} << 8 | from[2];
        from += 4;
    }
    return picture;
}

// 24 bits a pixel: extraction writes BMP only over an opaque background.
Bytes EncodeBmp(const RgbaPicture& picture) {
    if (picture.empty()) return {};
    std::vector<std::uint8_t> rgb(picture.argb.size() * 3);
    std::uint8_t* to = rgb.data();
    for (std::uint32_t pixel : picture.argb) {
        *to++ = static_cast<std::uint8_t>(pixel >> 16);
        *to++ = static_cast<std::uint8_t>(pixel >> 8);
        *to++ = static_cast<std::uint8_t>(pixel);
    }
    Bytes file;
    if (!stbi_write_bmp_to_func(WriteToBytes, &file, picture.width, picture.height, 3,
                                rgb.data())) {
        return {};
    }
    return file;
}

}  // namespace iconvale
