// GIF through giflib: the first image only, read record by record so that the frames after it
// are never decoded; written with one colour table of at most 256 entries.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "imaging/picture_formats.h"

namespace iconvale {
namespace {

struct GifInput {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int wanted) {
    auto* reader = static_cast<GifInput*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max(wanted, 0)),
                                                reader->bytes.size() - reader->at);
    std::memcpy(out, reader->bytes.data() + reader->at, n);
    reader->at += n;
    return static_cast<int>(n);
}

int WriteToMemory(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

struct GifReading {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifReader = std::unique_ptr<GifFileType, GifReading>;

struct GifWriting {
    void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};
using GifWriter = std::unique_ptr<GifFileType, GifWriting>;

struct ColourMap {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using UniqueColourMap = std::unique_ptr<ColorMapObject, ColourMap>;

// Skips an extension's blocks; the transparent index of a graphic control block is kept.
bool ReadExtension(GifFileType* gif, int& transparent) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
    while (block) {
        if (code == GRAPHICS_EXT_FUNC_CODE) {
            GraphicsControlBlock control;
            if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                transparent = control.TransparentColor;
        }
        if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
    }
    return true;
}

// The rows of the first image in the order they are stored (interlaced in four passes).
std::vector<int> StoredRowOrder(int height, bool interlaced) {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y) rows.push_back(y);
        return rows;
    }
    constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
    }
    return rows;
}

bool ReadFirstImage(GifFileType* gif, int transparent, RgbaPicture& picture) {
    if (DGifGetImageDesc(gif) != GIF_OK) return false;
    const GifImageDesc& image = gif->Image;
    const ColorMapObject* colours = image.ColorMap ? image.ColorMap : gif->SColorMap;
    if (!colours || image.Width <= 0 || image.Height <= 0) return false;
    std::vector<GifPixelType> line(static_cast<std::size_t>(image.Width));
    for (int y : StoredRowOrder(image.Height, image.Interlace)) {
        if (DGifGetLine(gif, line.data(), image.Width) != GIF_OK) return false;
        const int top = image.Top + y;
        if (top < 0 || top >= picture.height) continue;
        std::uint32_t* row = picture.Row(top);
        for (int x = 0; x < image.Width; ++x) {
            const int left = image.Left + x;
            const int index = line[static_cast<std::size_t>(x)];
            if (left < 0 || left >= picture.width || index == transparent) continue;
            if (index >= colours->ColorCount) continue;
            const GifColorType& c = colours->Colors[index];
            row[left] =
                0xFF000000u | std::uint32_t{c.Red} << 16 | std::uint32_t{c.Green} << 8 | c.Blue;
        }
    }
    return true;
}

}  // namespace

// The picture has the size of the file's screen, transparent where the first image leaves it.
RgbaPicture DecodeGif(std::span<const std::uint8_t> bytes) {
    GifInput reader{bytes};
    int error = 0;
    GifReader gif(DGifOpen(&reader, ReadFromMemory, &error));
    if (!gif) return {};
    RgbaPicture picture;
    if (!picture.Allocate(gif->SWidth, gif->SHeight)) return {};
    int transparent = -1;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    while (DGifGetRecordType(gif.get(), &record) == GIF_OK) {
        if (record == EXTENSION_RECORD_TYPE) {
            if (!ReadExtension(gif.get(), transparent)) return {};
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            return ReadFirstImage(gif.get(), transparent, picture) ? std::move(picture)
                                                                   : RgbaPicture{};
        } else {
            return {};  // the end came before any image
        }
    }
    return {};
}

Bytes EncodeGif(const RgbaPicture& picture) {
    if (picture.empty()) return {};
    const std::size_t count = picture.argb.size();
    // Exact colours when there are few enough, the library's median cut otherwise; the last
    // entry is kept for transparent pixels.
    constexpr int kTransparentIndex = 255;
    std::vector<GifPixelType> indices(count);
    std::vector<GifColorType> table;
    std::unordered_map<std::uint32_t, int> seen;
    bool exact = true;
    for (std::size_t i = 0; i < count && exact; ++i) {
        const std::uint32_t pixel = picture.argb[i];
        if ((pixel >> 24) == 0) {
            indices[i] = kTransparentIndex;
            continue;
        }
        auto [at, added] = seen.emplace(pixel & 0xFFFFFF, static_cast<int>(table.size()));
        if (added) {
            if (table.size() == kTransparentIndex) exact = false;
            table.push_back({static_cast<GifByteType>(pixel >> 16),
                             static_cast<GifByteType>(pixel >> 8),
                             static_cast<GifByteType>(pixel)});
        }
        indices[i] = static_cast<GifPixelType>(at->second);
    }
    if (!exact) {
        std::vector<GifByteType> red(count), green(count), blue(count);
        for (std::size_t i = 0; i < count; ++i) {
            red[i] = static_cast<GifByteType>(picture.argb[i] >> 16);
            green[i] = static_cast<GifByteType>(picture.argb[i] >> 8);
            blue[i] = static_cast<GifByteType>(picture.argb[i]);
        }
        int size = kTransparentIndex;
        table.assign(256, GifColorType{});
        if (GifQuantizeBuffer(static_cast<unsigned>(picture.width),
                              static_cast<unsigned>(picture.height), &size, red.data(),
                              green.data(), blue.data(), indices.data(), table.data()) != GIF_OK) {
            return {};
        }
        for (std::size_t i = 0; i < count; ++i) {
            if ((picture.argb[i] >> 24) == 0) indices[i] = kTransparentIndex;
        }
    }
    table.resize(256);
    UniqueColourMap map(GifMakeMapObject(256, table.data()));
    Bytes file;
    int error = 0;
    GifWriter gif(EGifOpen(&file, WriteToMemory, &error));
    if (!map || !gif) return {};
    EGifSetGifVersion(gif.get(), true);
    GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, kTransparentIndex};
    GifByteType extension[4];
    const auto length = EGifGCBToExtension(&control, extension);
    if (EGifPutScreenDesc(gif.get(), picture.width, picture.height, 8, 0, map.get()) != GIF_OK ||
        EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) !=
            GIF_OK ||
        EGifPutImageDesc(gif.get(), 0, 0, picture.width, picture.height, false, nullptr) !=
            GIF_OK) {
        return {};
    }
    for (int y = 0; y < picture.height; ++y) {
        if (EGifPutLine(gif.get(), indices.data() + static_cast<std::size_t>(y) * picture.width,
                        picture.width) != GIF_OK) {
            return {};
        }
    }
    // Closing writes the trailer; only then is the file complete.
    GifFileType* open = gif.release();
    if (EGifCloseFile(open, &error) != GIF_OK) return {};
    return file;
}

}  // namespace iconvale
