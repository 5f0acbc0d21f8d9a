#include "support/test_pictures.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <optional>

#include "core/bytes.h"
#include "imaging/gdiplus_flat.h"
#include "imaging/image_formats.h"
#include "support/temp_folder.h"
#include "ui/platform_setup.h"
#include "ui/text.h"

namespace iconvale::testing {

namespace {

std::optional<CLSID> EncoderFor(const char* formatIdentifier) {
    const auto encoder = FindEncoder(formatIdentifier);
    if (!encoder) return std::nullopt;
    CLSID id;
    std::memcpy(&id, encoder->data(), sizeof id);
    return id;
}

bool SaveToFile(GpImage* image, const std::string& path, const char* formatIdentifier) {
    const auto encoder = EncoderFor(formatIdentifier);
    const WideText widePath = ToWide(path);
    return encoder && !widePath.empty() &&
           ::GdipSaveImageToFile(image, widePath.data(), &*encoder, nullptr) == kGpOk;
}

GpEncoderParameters SaveFlag(ULONG* value) {
    GpEncoderParameters parameters{};
    parameters.Count = 1;
    parameters.Parameter[0] = {kEncoderSaveFlag, 1, 4, value};
    return parameters;
}

Pixels LockedPixels(GpImage* image) {
    UINT width = 0;
    UINT height = 0;
    if (!image || ::GdipGetImageWidth(image, &width) != kGpOk ||
        ::GdipGetImageHeight(image, &height) != kGpOk || width == 0 || height == 0) {
        return {};
    }
    const GpRect whole{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    GpBitmapData data{};
    if (::GdipBitmapLockBits(image, &whole, kGpLockRead, kPixelFormat32bppArgb, &data) != kGpOk) {
        return {};
    }
    Pixels pixels;
    pixels.width = static_cast<int>(width);
    pixels.height = static_cast<int>(height);
    pixels.argb.resize(static_cast<std::size_t>(width) * height);
    for (UINT y = 0; y < height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(data.Scan0) + y * data.Stride;
        std::memcpy(&pixels.argb[y * width], row, width * 4);
    }
    ::GdipBitmapUnlockBits(image, &data);
    return pixels;
}

// A bitmap's pixels as 32-bit rows from the top.
std::vector<std::uint32_t> BitmapRows(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(width) * height);
    WindowDc screen(nullptr);
    if (::GetDIBits(screen.get(), bitmap, 0, height, rows.data(), &info, DIB_RGB_COLORS) !=
        height) {
        rows.clear();
    }
    return rows;
}

// Packs variable-width codes from the low bit up, as GIF's LZW data is laid out.
class CodeWriter {
public:
    void Put(unsigned code, int width) {
        bits_ |= code << count_;
        count_ += width;
        while (count_ >= 8) {
            bytes_.push_back(static_cast<std::uint8_t>(bits_));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    Bytes Finish() {
        if (count_ > 0) bytes_.push_back(static_cast<std::uint8_t>(bits_));
        return std::move(bytes_);
    }

private:
    Bytes bytes_;
    unsigned bits_ = 0;
    int count_ = 0;
};

// A GIF of up to 255 colours plus transparency (alpha 0), written by hand: Wine's encoder
// writes a frame without image data. Every pixel goes out as a literal code, with a clear code
// often enough that the code width never grows past 9 bits.
bool WriteGif(const std::string& path, int width, int height,
              const std::vector<std::uint32_t>& argb) {
    constexpr unsigned kClear = 256;
    constexpr unsigned kEnd = 257;
    constexpr int kLiteralsPerClear = 250;
    std::vector<std::uint32_t> palette = {0};  // index 0 stands for transparent
    std::vector<std::uint8_t> indices;
    for (std::uint32_t c : argb) {
        const std::uint32_t rgb = c & 0xFFFFFF;
        std::size_t index = 0;
        if ((c >> 24) != 0) {
            index = 1;
            while (index < palette.size() && palette[index] != rgb) ++index;
            if (index == palette.size()) palette.push_back(rgb);
        }
        if (index > 255) return false;
        indices.push_back(static_cast<std::uint8_t>(index));
    }
    CodeWriter codes;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % kLiteralsPerClear == 0) codes.Put(kClear, 9);
        codes.Put(indices[i], 9);
    }
    codes.Put(kEnd, 9);
    const Bytes data = codes.Finish();

    Bytes file = {'G', 'I', 'F', '8', '9', 'a'};
    AppendU16(file, static_cast<std::uint32_t>(width));
    AppendU16(file, static_cast<std::uint32_t>(height));
    file.insert(file.end(), {0xF7, 0, 0});  // a global table of 256 colours
    for (std::size_t i = 0; i < 256; ++i) {
        const std::uint32_t rgb = i < palette.size() ? palette[i] : 0;
        file.insert(file.end(),
                    {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                     static_cast<std::uint8_t>(rgb)});
    }
    file.insert(file.end(), {0x21, 0xF9, 4, 1, 0, 0, 0, 0});  // index 0 is transparent
    file.insert(file.end(), {0x2C, 0, 0, 0, 0});
    AppendU16(file, static_cast<std::uint32_t>(width));
    AppendU16(file, static_cast<std::uint32_t>(height));
    file.insert(file.end(), {0, 8});  // no local table; LZW of 8-bit symbols
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t length = std::min<std::size_t>(255, data.size() - at);
        file.push_back(static_cast<std::uint8_t>(length));
        file.insert(file.end(), data.begin() + at, data.begin() + at + length);
    }
    file.insert(file.end(), {0, 0x3B});
    return WriteBytes(path, file);
}

}  // namespace

void EnsurePictureLibrary() {
    static PlatformSetup app;
    if (app.GdiplusToken() == 0) app.Initialise({}, 0);
}

bool WritePicture(const std::string& path, int width, int height,
                  const std::function<Argb(int, int)>& pixel, const char* formatIdentifier) {
    if (width <= 0 || height <= 0) return false;
    std::vector<std::uint32_t> argb(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) argb[static_cast<std::size_t>(y) * width + x] = pixel(x, y);
    }
    if (std::string_view(formatIdentifier) == kGifFormat)
        return WriteGif(path, width, height, argb);
    UniqueGpImage bitmap;
    if (::GdipCreateBitmapFromScan0(width, height, width * 4, kPixelFormat32bppArgb,
                                    reinterpret_cast<BYTE*>(argb.data()), bitmap.put()) != kGpOk) {
        return false;
    }
    return SaveToFile(bitmap.get(), path, formatIdentifier);
}

bool WriteBlankPicture(const std::string& path, int width, int height, int pixelFormat,
                       const char* formatIdentifier) {
    GdipImage blank;
    return blank.CreateBlank(width, height, pixelFormat) &&
           SaveToFile(blank.Handle(), path, formatIdentifier);
}

bool WriteTwoFrameTiff(const std::string& path, int width, int height, Argb first, Argb second) {
    std::vector<std::uint32_t> firstPixels(static_cast<std::size_t>(width) * height, first);
    std::vector<std::uint32_t> secondPixels(firstPixels.size(), second);
    UniqueGpImage firstPage;
    UniqueGpImage secondPage;
    if (::GdipCreateBitmapFromScan0(width, height, width * 4, kPixelFormat32bppArgb,
                                    reinterpret_cast<BYTE*>(firstPixels.data()),
                                    firstPage.put()) != kGpOk ||
        ::GdipCreateBitmapFromScan0(width, height, width * 4, kPixelFormat32bppArgb,
                                    reinterpret_cast<BYTE*>(secondPixels.data()),
                                    secondPage.put()) != kGpOk) {
        return false;
    }
    const auto encoder = EncoderFor(kTiffFormat);
    const WideText widePath = ToWide(path);
    if (!encoder || widePath.empty()) return false;
    ULONG multiFrame = kEncoderValueMultiFrame;
    ULONG page = kEncoderValueFrameDimensionPage;
    ULONG flush = kEncoderValueFlush;
    const GpEncoderParameters start = SaveFlag(&multiFrame);
    const GpEncoderParameters add = SaveFlag(&page);
    const GpEncoderParameters finish = SaveFlag(&flush);
    return ::GdipSaveImageToFile(firstPage.get(), widePath.data(), &*encoder, &start) == kGpOk &&
           ::GdipSaveAddImage(firstPage.get(), secondPage.get(), &add) == kGpOk &&
           ::GdipSaveAdd(firstPage.get(), &finish) == kGpOk;
}

Bytes IconFileBytes(const std::vector<std::pair<int, std::uint32_t>>& sizeAndColour, bool cursor) {
    constexpr std::size_t kDirectoryBytes = 6;
    constexpr std::size_t kEntryBytes = 16;
    Bytes file;
    AppendU16(file, 0);
    AppendU16(file, cursor ? 2 : 1);
    AppendU16(file, static_cast<std::uint32_t>(sizeAndColour.size()));
    std::size_t imageAt = kDirectoryBytes + kEntryBytes * sizeAndColour.size();
    Bytes images;
    for (const auto& [side, colour] : sizeAndColour) {
        const std::size_t maskStride = (static_cast<std::size_t>(side) + 31) / 32 * 4;
        const std::size_t imageBytes =
            40 + static_cast<std::size_t>(side) * side * 4 + maskStride * side;
        file.push_back(static_cast<std::uint8_t>(side == 256 ? 0 : side));
        file.push_back(static_cast<std::uint8_t>(side == 256 ? 0 : side));
        file.push_back(0);  // no palette
        file.push_back(0);
        AppendU16(file, cursor ? side / 2 : 1);   // planes, or the hot spot's x
        AppendU16(file, cursor ? side / 2 : 32);  // bits per pixel, or the hot spot's y
        AppendU32(file, static_cast<std::uint32_t>(imageBytes));
        AppendU32(file, static_cast<std::uint32_t>(imageAt));
        imageAt += imageBytes;

        // BITMAPINFOHEADER of twice the height: the colour rows, then the mask rows.
        AppendU32(images, 40);
        AppendU32(images, static_cast<std::uint32_t>(side));
        AppendU32(images, static_cast<std::uint32_t>(side * 2));
        AppendU16(images, 1);
        AppendU16(images, 32);
        for (int i = 0; i < 6; ++i) AppendU32(images, 0);
        for (int i = 0; i < side * side; ++i) AppendU32(images, colour);
        const std::uint8_t maskByte = (colour >> 24) == 0 ? 0xFF : 0x00;
        images.insert(images.end(), maskStride * side, maskByte);
    }
    file.insert(file.end(), images.begin(), images.end());
    return file;
}

bool WriteIconFile(const std::string& path,
                   const std::vector<std::pair<int, std::uint32_t>>& sizeAndColour) {
    for (const auto& entry : sizeAndColour) {
        if (entry.first < 1 || entry.first > 256) return false;
    }
    return WriteBytes(path, IconFileBytes(sizeAndColour));
}

Pixels PicturePixels(const GdipImage& picture) {
    return LockedPixels(picture.Handle());
}

Pixels DecodePixels(const std::string& path) {
    GdipImage picture;
    return picture.CreateFromFile(path) ? PicturePixels(picture) : Pixels{};
}

int PageCount(const std::string& path) {
    GdipImage picture;
    UINT count = 0;
    if (!picture.CreateFromFile(path) ||
        ::GdipImageGetFrameCount(picture.Handle(), &kFrameDimensionPage, &count) != kGpOk) {
        return 0;
    }
    return static_cast<int>(count);
}

Pixels DecodePage(const std::string& path, int page) {
    GdipImage picture;
    if (!picture.CreateFromFile(path) ||
        ::GdipImageSelectActiveFrame(picture.Handle(), &kFrameDimensionPage,
                                     static_cast<UINT>(page)) != kGpOk) {
        return {};
    }
    return PicturePixels(picture);
}

Pixels IconPixels(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return {};
    UniqueBitmap colour(info.hbmColor);
    UniqueBitmap mask(info.hbmMask);
    BITMAP maskInfo{};
    if (!::GetObjectW(mask.get(), sizeof maskInfo, &maskInfo)) return {};
    Pixels pixels;
    pixels.width = maskInfo.bmWidth;
    // A monochrome icon's mask holds the AND rows above the XOR rows.
    pixels.height = colour ? maskInfo.bmHeight : maskInfo.bmHeight / 2;
    const std::vector<std::uint32_t> maskRows =
        BitmapRows(mask.get(), pixels.width, maskInfo.bmHeight);
    std::vector<std::uint32_t> colourRows;
    if (colour) {
        colourRows = BitmapRows(colour.get(), pixels.width, pixels.height);
    } else if (!maskRows.empty()) {
        colourRows.assign(
            maskRows.begin() + static_cast<std::ptrdiff_t>(pixels.width) * pixels.height,
            maskRows.end());
    }
    if (maskRows.empty() || colourRows.empty()) return {};
    bool hasAlpha = false;
    for (std::uint32_t c : colourRows) hasAlpha = hasAlpha || (c >> 24) != 0;
    pixels.argb = std::move(colourRows);
    if (!hasAlpha) {
        for (std::size_t i = 0; i < pixels.argb.size(); ++i) {
            const bool transparent = (maskRows[i] & 0xFFFFFF) != 0;
            pixels.argb[i] = (pixels.argb[i] & 0xFFFFFF) | (transparent ? 0 : 0xFF000000u);
        }
    }
    return pixels;
}

}  // namespace iconvale::testing
