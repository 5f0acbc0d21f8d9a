// PNG through libpng's simplified interface, which keeps its setjmp error handling inside the
// library, so no jump ever crosses our frames.
#include <png.h>

#include <cstring>
#include <memory>

#include "imaging/picture_formats.h"

namespace iconvale {
namespace {

// Frees what png_image_begin_read left allocated on every way out.
struct PngImageOwner {
    png_image image;
    PngImageOwner() {
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
    }
    ~PngImageOwner() { png_image_free(&image); }
    PngImageOwner(const PngImageOwner&) = delete;
    PngImageOwner& operator=(const PngImageOwner&) = delete;
};

// 0xAARRGGBB in memory on a little-endian machine is B, G, R, A.
constexpr png_uint_32 kArgbLayout = PNG_FORMAT_BGRA;

}  // namespace

RgbaPicture DecodePng(std::span<const std::uint8_t> bytes) {
    PngImageOwner owner;
    png_image& image = owner.image;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
    RgbaPicture picture;
    if (image.width > 0x7FFFFFFF || image.height > 0x7FFFFFFF ||
        !picture.Allocate(static_cast<int>(image.width), static_cast<int>(image.height))) {
        return {};
    }
    image.format = kArgbLayout;
    if (!png_image_finish_read(&image, nullptr, picture.argb.data(), 0, nullptr)) return {};
    return picture;
}

Bytes EncodePng(const RgbaPicture& picture) {
    if (picture.empty()) return {};
    PngImageOwner owner;
    png_image& image = owner.image;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = kArgbLayout;
    // The bound the library promises, so that the picture is compressed once.
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
    Bytes file(size);
    if (!png_image_write_to_memory(&image, file.data(), &size, 0, picture.argb.data(), 0,
                                   nullptr)) {
        return {};
    }
    file.resize(size);
    return file;
}

}  // namespace iconvale
