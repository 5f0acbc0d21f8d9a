#include "imaging/clipboard_pictures.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/dib_bitmaps.h"
#include "imaging/image_formats.h"

namespace iconvale {

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr DWORD kRedMask = 0x00FF0000;
constexpr DWORD kGreenMask = 0x0000FF00;
constexpr DWORD kBlueMask = 0x000000FF;
constexpr DWORD kAlphaMask = 0xFF000000;

// One image's pixels, `width` apart in rows, written at column `left` of `strip`.
bool DrawImageInto(const ImageGroup& group, int index, ArgbPicture& strip, int left) {
    UniqueIcon icon = group.GetIcon(index, ILD_TRANSPARENT);
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon.get(), &info)) return false;
    UniqueBitmap colour(info.hbmColor);
    UniqueBitmap maskBitmap(info.hbmMask);
    const auto pixels = ReadBitmapRows(colour.get(), 32);
    const auto mask = ReadMaskRows(maskBitmap.get());
    if (!pixels || !mask) return false;
    const int width = std::min(pixels->width, strip.width - left);
    const int height = std::min(pixels->height, strip.height);
    bool hasAlpha = false;
    for (int y = 0; y < height && !hasAlpha; ++y) {
        const std::uint8_t* row = pixels->bits.data() + y * pixels->stride;
        for (int x = 0; x < width; ++x) hasAlpha = hasAlpha || row[4 * x + 3] != 0;
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels->bits.data() + y * pixels->stride;
        const std::uint8_t* maskRow = mask->bits.data() + y * mask->stride;
        Argb* out = strip.pixels.data() + static_cast<std::size_t>(y) * strip.width + left;
        for (int x = 0; x < width; ++x) {
            Argb bgra;
            std::memcpy(&bgra, row + 4 * x, 4);
            const bool masked = (maskRow[x / 8] >> (7 - x % 8)) & 1;
            if (hasAlpha) {
                out[x] = bgra;
            } else {
                out[x] = masked ? 0 : (bgra | kAlphaMask);
            }
        }
    }
    return true;
}

Bytes PackedBitmap(const ArgbPicture& picture, bool v5) {
    if (picture.empty()) return {};
    BITMAPV5HEADER header{};
    header.bV5Size = v5 ? sizeof(BITMAPV5HEADER) : sizeof(BITMAPINFOHEADER);
    header.bV5Width = picture.width;
    header.bV5Height = picture.height;  // rows from the bottom, as every reader takes them
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = v5 ? BI_BITFIELDS : BI_RGB;
    header.bV5SizeImage = static_cast<DWORD>(picture.pixels.size() * 4);
    header.bV5RedMask = kRedMask;
    header.bV5GreenMask = kGreenMask;
    header.bV5BlueMask = kBlueMask;
    header.bV5AlphaMask = kAlphaMask;
    header.bV5CSType = 0x73524742;  // LCS_sRGB, spelt out: the header writes it as a multi-character constant
    header.bV5Intent = LCS_GM_IMAGES;
    Bytes bytes;
    try {
        bytes.resize(header.bV5Size + header.bV5SizeImage);
    } catch (const std::bad_alloc&) {
        return {};
    }
    std::memcpy(bytes.data(), &header, header.bV5Size);
    const std::size_t stride = static_cast<std::size_t>(picture.width) * 4;
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(bytes.data() + header.bV5Size + (picture.height - 1 - y) * stride,
                    picture.pixels.data() + static_cast<std::size_t>(y) * picture.width, stride);
    }
    return bytes;
}

// The 32-bit forms whose bytes are plain BGRA: BI_RGB, or bit fields of the usual masks.
bool IsPlainBgra(const BITMAPINFOHEADER& info, std::span<const std::uint8_t> dib) {
    if (info.biBitCount != 32) return false;
    if (info.biCompression == BI_RGB) return true;
    if (info.biCompression != BI_BITFIELDS) return false;
    // The masks follow a plain header, and are part of the larger ones.
    if (dib.size() < sizeof(BITMAPINFOHEADER) + 12) return false;
    DWORD masks[3];
    std::memcpy(masks, dib.data() + sizeof(BITMAPINFOHEADER), sizeof masks);
    return masks[0] == kRedMask && masks[1] == kGreenMask && masks[2] == kBlueMask;
}

std::size_t ColourTableBytes(const BITMAPINFOHEADER& info) {
    if (info.biBitCount > 8) return info.biClrUsed * 4;
    const std::size_t entries = info.biClrUsed ? info.biClrUsed : std::size_t{1} << info.biBitCount;
    return std::min<std::size_t>(entries, 256) * 4;
}

bool PictureFromBgra(std::span<const std::uint8_t> dib, const BITMAPINFOHEADER& info,
                     std::size_t pixelsAt, GdipImage& picture) {
    const int width = info.biWidth;
    const int height = info.biHeight < 0 ? -info.biHeight : info.biHeight;
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    if (pixelsAt > dib.size() || (dib.size() - pixelsAt) / stride < static_cast<std::size_t>(height))
        return false;
    std::vector<Argb> pixels;
    try {
        pixels.resize(static_cast<std::size_t>(width) * height);
    } catch (const std::bad_alloc&) {
        return false;
    }
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const int stored = info.biHeight < 0 ? y : height - 1 - y;
        std::memcpy(pixels.data() + static_cast<std::size_t>(y) * width,
                    dib.data() + pixelsAt + stored * stride, stride);
    }
    for (Argb pixel : pixels) anyAlpha = anyAlpha || (pixel & kAlphaMask) != 0;
    if (!anyAlpha) {
        for (Argb& pixel : pixels) pixel |= kAlphaMask;
    }
    return picture.CreateFromArgb(width, height, pixels);
}

}  // namespace

ArgbPicture StripOfImages(const ImageGroup& group, std::span<const int> indices) {
    const IconSize cell = group.GetIconSize();
    const int count = group.GetCount();
    const long long width = static_cast<long long>(cell.width) * static_cast<long long>(indices.size());
    if (indices.empty() || !PictureSizeAllowed(width, cell.height)) return {};
    ArgbPicture strip;
    strip.width = static_cast<int>(width);
    strip.height = cell.height;
    try {
        strip.pixels.assign(static_cast<std::size_t>(strip.width) * strip.height, 0);
    } catch (const std::bad_alloc&) {
        return {};
    }
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (indices[i] < 0 || indices[i] >= count ||
            !DrawImageInto(group, indices[i], strip, static_cast<int>(i) * cell.width)) {
            return {};
        }
    }
    return strip;
}

Bytes DibV5Bytes(const ArgbPicture& picture) {
    return PackedBitmap(picture, true);
}

Bytes DibBytes(const ArgbPicture& picture) {
    return PackedBitmap(picture, false);
}

Bytes PngBytes(const ArgbPicture& picture) {
    GdipImage image;
    if (picture.empty() || !image.CreateFromArgb(picture.width, picture.height, picture.pixels))
        return {};
    return image.SaveToBytes(kPngFormat);
}

bool PictureFromDib(std::span<const std::uint8_t> dib, GdipImage& picture) {
    picture.Dispose();
    if (dib.size() < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER info;
    std::memcpy(&info, dib.data(), sizeof info);
    if (info.biSize < sizeof info || info.biSize > dib.size() || info.biWidth <= 0 ||
        info.biHeight == 0 || info.biHeight == LONG(0x80000000) || info.biPlanes != 1 ||
        !PictureSizeAllowed(info.biWidth, info.biHeight < 0 ? -info.biHeight : info.biHeight)) {
        return false;
    }
    // Bit fields after a plain header take three masks of their own.
    const std::size_t masks =
        info.biSize == sizeof info && info.biCompression == BI_BITFIELDS ? 12 : 0;
    const std::size_t pixelsAt = info.biSize + masks + ColourTableBytes(info);
    if (IsPlainBgra(info, dib)) return PictureFromBgra(dib, info, pixelsAt, picture);
    if (pixelsAt >= dib.size()) return false;
    // Any other depth is decoded as the BMP file it becomes with a file header in front.
    Bytes file;
    try {
        file.reserve(kFileHeaderBytes + dib.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    file.push_back('B');
    file.push_back('M');
    AppendU32(file, static_cast<std::uint32_t>(kFileHeaderBytes + dib.size()));
    AppendU32(file, 0);
    AppendU32(file, static_cast<std::uint32_t>(kFileHeaderBytes + pixelsAt));
    file.insert(file.end(), dib.begin(), dib.end());
    return picture.CreateFromBytes(file);
}

}  // namespace iconvale
