// TIFF through libtiff, over memory: its RGBA interface reads every photometric kind the library
// knows. Errors are reported to the handle's own handlers, which stay silent.
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "imaging/picture_budget.h"
#include "imaging/picture_formats.h"

namespace iconvale {
namespace {

// A file in memory: read from a span, or written into bytes that grow.
struct MemoryFile {
    std::span<const std::uint8_t> input;
    Bytes* output = nullptr;
    std::uint64_t at = 0;

    std::uint64_t Size() const { return output ? output->size() : input.size(); }
};

MemoryFile& FileOf(thandle_t handle) {
    return *static_cast<MemoryFile*>(handle);
}

tmsize_t Read(thandle_t handle, void* out, tmsize_t wanted) {
    MemoryFile& file = FileOf(handle);
    const std::uint64_t size = file.Size();
    if (wanted <= 0 || file.at >= size) return 0;
    const auto n = std::min<std::uint64_t>(static_cast<std::uint64_t>(wanted), size - file.at);
    const std::uint8_t* from = file.output ? file.output->data() : file.input.data();
    std::memcpy(out, from + file.at, static_cast<std::size_t>(n));
    file.at += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t Write(thandle_t handle, void* data, tmsize_t length) {
    MemoryFile& file = FileOf(handle);
    if (!file.output || length < 0) return -1;
    const auto end = file.at + static_cast<std::uint64_t>(length);
    if (end > file.output->size()) file.output->resize(static_cast<std::size_t>(end));
    std::memcpy(file.output->data() + file.at, data, static_cast<std::size_t>(length));
    file.at = end;
    return length;
}

toff_t Seek(thandle_t handle, toff_t offset, int whence) {
    MemoryFile& file = FileOf(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR) base = file.at;
    if (whence == SEEK_END) base = file.Size();
    file.at = base + offset;
    return file.at;
}

int Close(thandle_t) {
    return 0;
}

toff_t Size(thandle_t handle) {
    return FileOf(handle).Size();
}

int Silent(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffClosing {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using UniqueTiff = std::unique_ptr<TIFF, TiffClosing>;

struct OptionsFreeing {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

UniqueTiff Open(MemoryFile& file, const char* mode) {
    std::unique_ptr<TIFFOpenOptions, OptionsFreeing> options(TIFFOpenOptionsAlloc());
    if (!options) return {};
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), Silent, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), Silent, nullptr);
    // No single buffer of the library may be larger than one copy of the largest picture.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxPicturePixels * 4);
    return UniqueTiff(TIFFClientOpenExt("memory", mode, &file, Read, Write, Seek, Close, Size,
                                        nullptr, nullptr, options.get()));
}

}  // namespace

RgbaPicture DecodeTiff(std::span<const std::uint8_t> bytes) {
    MemoryFile file{bytes};
    UniqueTiff tiff = Open(file, "rm");
    if (!tiff) return {};
    std::uint32_t width = 0, height = 0;
    if (!TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) || width > 0x7FFFFFFF ||
        height > 0x7FFFFFFF) {
        return {};
    }
    char message[1024];
    if (!TIFFRGBAImageOK(tiff.get(), message)) return {};
    RgbaPicture picture;
    if (!picture.Allocate(static_cast<int>(width), static_cast<int>(height))) return {};
    if (!TIFFReadRGBAImageOriented(tiff.get(), width, height, picture.argb.data(),
                                   ORIENTATION_TOPLEFT, 1)) {
        return {};
    }
    // The library gives R, G, B, A from the low byte up, with alpha premultiplied.
    for (std::uint32_t& pixel : picture.argb) {
        const std::uint32_t alpha = TIFFGetA(pixel);
        std::uint32_t red = TIFFGetR(pixel), green = TIFFGetG(pixel), blue = TIFFGetB(pixel);
        if (alpha != 0 && alpha != 255) {
            red = std::min(255u, (red * 255 + alpha / 2) / alpha);
            green = std::min(255u, (green * 255 + alpha / 2) / alpha);
            blue = std::min(255u, (blue * 255 + alpha / 2) / alpha);
        }
        pixel = alpha << 24 | red << 16 | green << 8 | blue;
    }
    return picture;
}

// Written as 8-bit RGB with LZW, or RGBA (unassociated alpha) when any pixel is not opaque.
Bytes EncodeTiff(const RgbaPicture& picture) {
    if (picture.empty()) return {};
    const bool alpha = std::any_of(picture.argb.begin(), picture.argb.end(),
                                   [](std::uint32_t p) { return (p >> 24) != 255; });
    const int samples = alpha ? 4 : 3;
    Bytes bytes;
    MemoryFile file{{}, &bytes};
    {
        UniqueTiff tiff = Open(file, "w");
        if (!tiff) return {};
        TIFF* t = tiff.get();
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(picture.width));
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(picture.height));
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
        if (alpha) {
            const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
            TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
        }
        std::vector<std::uint8_t> row(static_cast<std::size_t>(picture.width) * samples);
        for (int y = 0; y < picture.height; ++y) {
            const std::uint32_t* pixels =
                picture.argb.data() + static_cast<std::size_t>(y) * picture.width;
            for (int x = 0; x < picture.width; ++x) {
                std::uint8_t* out = row.data() + static_cast<std::size_t>(x) * samples;
                out[0] = static_cast<std::uint8_t>(pixels[x] >> 16);
                out[1] = static_cast<std::uint8_t>(pixels[x] >> 8);
                out[2] = static_cast<std::uint8_t>(pixels[x]);
                if (alpha) out[3] = static_cast<std::uint8_t>(pixels[x] >> 24);
            }
            if (TIFFWriteScanline(t, row.data(), static_cast<std::uint32_t>(y), 0) < 0) return {};
        }
        if (!TIFFWriteDirectory(t)) return {};
    }
    return bytes;
}

}  // namespace iconvale
