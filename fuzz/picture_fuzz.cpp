// Reads arbitrary bytes as a picture of any format, and as an icon file at two cell sizes,
// seeded with small files of every format; whatever decodes must be whole and survive a PNG
// round trip unchanged.
#include <cstdlib>

#include "imaging/picture_codec.h"

namespace {

void Check(const iconvale::RgbaPicture& picture) {
    if (picture.empty()) return;
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.argb.size() != static_cast<std::size_t>(picture.width) * picture.height) {
        std::abort();
    }
    // Large pictures are skipped for speed only; their decoding has already run.
    if (picture.argb.size() > (1u << 16)) return;
    const iconvale::RgbaPicture again =
        iconvale::DecodePicture(iconvale::EncodePicture(picture, iconvale::PictureFormat::Png));
    if (again.argb != picture.argb) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    Check(iconvale::DecodePicture(bytes));
    Check(iconvale::DecodeIconFile(bytes, 16, 16));
    Check(iconvale::DecodeIconFile(bytes, 48, 48));
    return 0;
}
