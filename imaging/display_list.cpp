#include "imaging/display_list.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/image_list_stream.h"

namespace iconvale {
namespace {

// Pixels handed to the platform list in one bitmap: a few images side by side.
constexpr std::uint64_t kChunkBytes = 4u << 20;
constexpr int kMaxChunkWidth = 16384;

std::uint64_t DisplayBytes(IconSize size, int count, int zoom) {
    return static_cast<std::uint64_t>(size.width) * zoom * size.height * zoom * 4 * count;
}

int FittingZoom(IconSize size, int count, int zoom) {
    if (zoom != 2 && zoom != 4) zoom = 1;
    while (zoom > 1 && DisplayBytes(size, count, zoom) > kMaxDisplayListBytes) zoom /= 2;
    return DisplayBytes(size, count, zoom) <= kMaxDisplayListBytes ? zoom : 0;
}

std::uint32_t Blend(std::uint32_t colour, std::uint32_t alpha, std::uint32_t under) {
    std::uint32_t result = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t c = (colour >> shift) & 0xFF;
        const std::uint32_t u = (under >> shift) & 0xFF;
        result |= ((c * alpha + u * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

// Image `index` as straight 0xAARRGGBB, top row first. A 32-bit image with any alpha is drawn
// through its alpha; any other through its mask, as the platform draws them.
std::vector<std::uint32_t> SourcePixels(const ImageListData& list,
                                        const std::vector<std::uint32_t>& palette, int index) {
    const int width = list.width;
    const int height = list.height;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    bool hasAlpha = false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = PixelColour(list, palette, index, x, y);
            pixels[static_cast<std::size_t>(y) * width + x] = colour;
            hasAlpha = hasAlpha || (list.bitsPerPixel == 32 && (colour >> 24) != 0);
        }
    }
    if (hasAlpha) return pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool clear = list.HasMask() && list.Transparent(index, x, y);
            std::uint32_t& pixel = pixels[static_cast<std::size_t>(y) * width + x];
            pixel = clear ? 0 : (pixel & 0x00FFFFFF) | 0xFF000000;
        }
    }
    return pixels;
}

struct Chunk {
    UniqueBitmap image;
    std::uint32_t* pixels = nullptr;  // top-down rows of `width` pixels
    std::vector<std::uint8_t> mask;   // rows padded to 16 bits; a set bit is transparent
    int width = 0;
    std::size_t maskStride = 0;
};

bool MakeChunk(int width, int height, Chunk& chunk) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    chunk.image.reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!chunk.image || !bits) return false;
    chunk.pixels = static_cast<std::uint32_t*>(bits);
    chunk.width = width;
    chunk.maskStride = static_cast<std::size_t>((width + 15) / 16) * 2;
    chunk.mask.assign(chunk.maskStride * height, 0);
    return true;
}

// Draws one source image, enlarged, into the chunk at column `left`.
void PaintCell(const std::vector<std::uint32_t>& source, IconSize size, int zoom, bool checkerboard,
               int left, Chunk& chunk) {
    const int square = std::max(4, 2 * zoom);
    for (int y = 0; y < size.height * zoom; ++y) {
        std::uint32_t* row = chunk.pixels + static_cast<std::size_t>(y) * chunk.width + left;
        std::uint8_t* maskRow = chunk.mask.data() + static_cast<std::size_t>(y) * chunk.maskStride;
        const std::uint32_t* sourceRow =
            source.data() + static_cast<std::size_t>(y / zoom) * size.width;
        for (int x = 0; x < size.width * zoom; ++x) {
            std::uint32_t pixel = sourceRow[x / zoom];
            const std::uint32_t alpha = pixel >> 24;
            if (checkerboard) {
                const bool light = (x / square + y / square) % 2 == 0;
                pixel = Blend(pixel, alpha, light ? kCheckerLight : kCheckerDark);
            } else if (alpha == 0) {
                pixel = 0;
                const int bit = left + x;
                maskRow[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
            }
            row[x] = pixel;
        }
    }
}

}  // namespace

UniqueImageList MakeDisplayList(const ImageGroup& group, DisplayOptions options) {
    const int count = group.GetCount();
    const IconSize size = group.GetIconSize();
    if (count <= 0 || size.width <= 0 || size.height <= 0) return {};
    const int zoom = FittingZoom(size, count, options.zoom);
    if (zoom == 0) return {};
    const Bytes stream = group.SaveToBytes(0);
    const auto list = ParseImageListStream(stream);
    if (!list || list->count != count) return {};
    const std::vector<std::uint32_t> palette =
        list->palette.empty() ? DefaultPalette(list->bitsPerPixel) : list->palette;

    const int cellWidth = size.width * zoom;
    const int cellHeight = size.height * zoom;
    UniqueImageList display(
        ::ImageList_Create(cellWidth, cellHeight, ILC_COLOR32 | ILC_MASK, count, 16));
    if (!display) return {};
    const std::uint64_t cellBytes = static_cast<std::uint64_t>(cellWidth) * cellHeight * 4;
    const int perChunk = static_cast<int>(std::clamp<std::uint64_t>(
        std::min<std::uint64_t>(kChunkBytes / cellBytes, kMaxChunkWidth / cellWidth), 1,
        static_cast<std::uint64_t>(count)));
    for (int first = 0; first < count; first += perChunk) {
        const int inChunk = std::min(perChunk, count - first);
        Chunk chunk;
        if (!MakeChunk(inChunk * cellWidth, cellHeight, chunk)) return {};
        for (int i = 0; i < inChunk; ++i) {
            PaintCell(SourcePixels(*list, palette, first + i), size, zoom, options.checkerboard,
                      i * cellWidth, chunk);
        }
        UniqueBitmap mask(::CreateBitmap(chunk.width, cellHeight, 1, 1, chunk.mask.data()));
        if (!mask || ::ImageList_Add(display.get(), chunk.image.get(), mask.get()) < 0) return {};
    }
    return display;
}

}  // namespace iconvale
