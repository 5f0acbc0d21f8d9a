#include "core/list_pictures.h"

namespace iconvale {

BgraPicture ImageAsPicture(const ImageListData& images, const std::vector<std::uint32_t>& palette,
                           int index) {
    BgraPicture picture;
    picture.width = images.width;
    picture.height = images.height;
    picture.bgra.resize(static_cast<std::size_t>(images.width) * images.height * 4);
    bool anyAlpha = false;
    std::uint8_t* p = picture.bgra.data();
    for (int y = 0; y < images.height; ++y) {
        for (int x = 0; x < images.width; ++x, p += 4) {
            const std::uint32_t c = PixelColour(images, palette, index, x, y);
            p[0] = static_cast<std::uint8_t>(c);
            p[1] = static_cast<std::uint8_t>(c >> 8);
            p[2] = static_cast<std::uint8_t>(c >> 16);
            p[3] = images.bitsPerPixel == 32 ? static_cast<std::uint8_t>(c >> 24) : 0xFF;
            anyAlpha = anyAlpha || p[3] != 0;
        }
    }
    p = picture.bgra.data();
    for (int y = 0; y < images.height; ++y) {
        for (int x = 0; x < images.width; ++x, p += 4) {
            if (!anyAlpha) p[3] = 0xFF;
            if (images.HasMask() && images.Transparent(index, x, y)) p[3] = 0;
        }
    }
    return picture;
}

}  // namespace iconvale
