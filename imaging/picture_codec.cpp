#include "imaging/picture_codec.h"

#include <algorithm>
#include <new>

#include "imaging/picture_budget.h"
#include "imaging/picture_formats.h"

namespace iconvale {

bool RgbaPicture::Allocate(int w, int h) {
    argb.clear();
    width = height = 0;
    if (!PictureSizeAllowed(w, h)) return false;
    try {
        argb.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

std::optional<PictureFormat> SniffPictureFormat(std::span<const std::uint8_t> bytes) {
    const auto startsWith = [&](std::initializer_list<std::uint8_t> magic) {
        return bytes.size() >= magic.size() &&
               std::equal(magic.begin(), magic.end(), bytes.begin());
    };
    if (startsWith({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) return PictureFormat::Png;
    if (startsWith({0xFF, 0xD8, 0xFF})) return PictureFormat::Jpeg;
    if (startsWith({'G', 'I', 'F', '8'})) return PictureFormat::Gif;
    if (startsWith({'B', 'M'})) return PictureFormat::Bmp;
    if (startsWith({'I', 'I', 42, 0}) || startsWith({'M', 'M', 0, 42})) return PictureFormat::Tiff;
    if (startsWith({0, 0, 1, 0}) || startsWith({0, 0, 2, 0})) return PictureFormat::Icon;
    return std::nullopt;
}

RgbaPicture DecodePicture(std::span<const std::uint8_t> bytes) {
    const auto format = SniffPictureFormat(bytes);
    if (!format) return {};
    // Out of memory in a library's own containers is a failure to read like any other.
    try {
        switch (*format) {
            case PictureFormat::Png:
                return DecodePng(bytes);
            case PictureFormat::Jpeg:
                return DecodeJpeg(bytes);
            case PictureFormat::Gif:
                return DecodeGif(bytes);
            case PictureFormat::Bmp:
                return DecodeBmp(bytes);
            case PictureFormat::Tiff:
                return DecodeTiff(bytes);
            case PictureFormat::Icon:
                return DecodeFirstIcon(bytes);
        }
    } catch (const std::bad_alloc&) {
    }
    return {};
}

RgbaPicture DecodeIconFile(std::span<const std::uint8_t> bytes, int width, int height) {
    try {
        return DecodeNearestIcon(bytes, width, height);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

Bytes EncodePicture(const RgbaPicture& picture, PictureFormat format) {
    try {
        switch (format) {
            case PictureFormat::Png:
                return EncodePng(picture);
            case PictureFormat::Jpeg:
                return EncodeJpeg(picture);
            case PictureFormat::Bmp:
                return EncodeBmp(picture);
            case PictureFormat::Tiff:
                return EncodeTiff(picture);
            case PictureFormat::Gif:
                return EncodeGif(picture);
            case PictureFormat::Icon:
                return {};
        }
    } catch (const std::bad_alloc&) {
    }
    return {};
}

}  // namespace iconvale
