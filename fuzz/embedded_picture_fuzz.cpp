// Reads arbitrary bytes as the PNG and BMP pictures that forms embed, seeded with pictures of every
// PNG colour type and depth and the BMP layouts; whatever decodes must be whole and come back
// unchanged through the PNG writer.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    iconvale::BgraPicture picture;
    Check(iconvale::DecodePngPicture(bytes, kMaxPixels, picture), picture);
    Check(iconvale::DecodeBmpPicture(bytes, kMaxPixels, picture), picture);
    return 0;
}
