// Reads arbitrary bytes as the PNG and BMP pictures that forms embed, seeded with pictures of every
// PNG colour type and depth and the BMP layouts; whatever decodes must be whole and come back
// unchanged through the PNG writer.
#include <zlib.h>

#include <cstdlib>

#include "core/embedded_pictures.h"

namespace {

constexpr std::uint64_t kMaxPixels = 1 << 20;

void Check(bool decoded, const iconvale::BgraPicture& picture) {
    if (!decoded) {
        if (picture.width != 0 || picture.height != 0 || !picture.bgra.empty()) std::abort();
        return;
    }
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.bgra.size() != std::size_t{4} * picture.width * picture.height) {
        std::abort();
    }
    const iconvale::Bytes png = iconvale::EncodePngPicture(picture);
    iconvale::BgraPicture again;
    if (!iconvale::DecodePngPicture(png, kMaxPixels, again) || again.bgra != picture.bgra ||
        again.width != picture.width) {
        std::abort();
    }
}

// A mutated chunk almost never keeps a right CRC, so the input is also tried with every CRC made
// right; otherwise the fuzzer would rarely get past the chunk reader into inflate and the filters.
iconvale::Bytes WithRightCrcs(std::span<const std::uint8_t> bytes) {
    iconvale::Bytes fixed(bytes.begin(), bytes.end());
    for (std::size_t at = 8; at <= fixed.size() && fixed.size() - at >= 12;) {
        std::uint8_t* p = fixed.data() + at;
        const std::uint32_t length = std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3];
        if (length > fixed.size() - at - 12) break;
        const auto crc = static_cast<std::uint32_t>(crc32(0, p + 4, length + 4));
        for (int i = 0; i < 4; ++i)
            p[8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += std::size_t{12} + length;
    }
    return fixed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    iconvale::BgraPicture picture;
    Check(iconvale::DecodePngPicture(bytes, kMaxPixels, picture), picture);
    Check(iconvale::DecodePngPicture(WithRightCrcs(bytes), kMaxPixels, picture), picture);
    Check(iconvale::DecodeBmpPicture(bytes, kMaxPixels, picture), picture);
    return 0;
}
