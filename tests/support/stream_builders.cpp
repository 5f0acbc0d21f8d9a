#include "support/stream_builders.h"

#include <algorithm>
#include <sstream>

#include "core/bit_rows.h"
#include "core/image_list_container.h"
#include "core/lazarus_form.h"
#include "core/text_codecs.h"

namespace iconvale::testing {

namespace {

std::uint32_t Mix(std::uint32_t i, std::uint32_t x, std::uint32_t y) {
    std::uint32_t h = i * 0x9E3779B1u ^ (x + 1) * 0x85EBCA77u ^ (y + 7) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

void AppendSheet(Bytes& out, const ImageListData& list, const StreamLayout& layout, int rows,
                 bool mask) {
    const int bits = mask ? 1 : list.bitsPerPixel;
    const std::uint32_t width = static_cast<std::uint32_t>(list.width * layout.columns);
    const std::uint32_t height = static_cast<std::uint32_t>(list.height * rows);
    const std::size_t stride = RowStride(width, bits);
    const std::uint32_t tableBytes = bits <= 8 ? 4u << bits : 0;
    AppendU16(out, 0x4D42);
    AppendU32(out, 54 + tableBytes);
    AppendU32(out, 0);
    AppendU32(out, 54 + tableBytes);
    for (std::uint32_t v : {40u, width, height}) AppendU32(out, v);
    AppendU16(out, 1);
    AppendU16(out, static_cast<std::uint32_t>(bits));
    for (std::uint32_t v : {0u, static_cast<std::uint32_t>(stride * height), 0u, 0u, 0u, 0u}) {
        AppendU32(out, v);
    }
    const auto palette = mask ? std::vector<std::uint32_t>{0, 0x00FFFFFF} : list.palette;
    for (std::uint32_t i = 0; i < tableBytes / 4; ++i) {
        AppendU32(out, i < palette.size() ? palette[i] : 0);
    }
    const std::size_t start = out.size();
    out.resize(start + stride * height, 0);
    const std::size_t cellBits = static_cast<std::size_t>(list.width) * bits;
    // A layout too small for the count keeps the cells that fit, as a damaged stream would.
    for (int i = 0; i < std::min<int>(list.count, rows * layout.columns); ++i) {
        const int top = i / layout.columns * list.height;
        for (int y = 0; y < list.height; ++y) {
            const std::uint8_t* src = mask ? list.MaskRow(i, y) : list.ImageRow(i, y);
            CopyBits(&out[start + (height - 1 - (top + y)) * stride], i % layout.columns * cellBits,
                     src, 0, cellBits);
        }
    }
}

}  // namespace

Bytes LaidOutStream(const ImageListData& list, const StreamLayout& layout) {
    const int rows =
        layout.rows ? layout.rows : std::max(1, (list.count + layout.columns - 1) / layout.columns);
    Bytes out;
    for (std::uint32_t v :
         {std::uint32_t{kStreamMagic}, std::uint32_t{layout.version}, std::uint32_t{list.count},
          std::uint32_t{list.capacity}, std::uint32_t{list.grow}, std::uint32_t{list.width},
          std::uint32_t{list.height}}) {
        AppendU16(out, v);
    }
    AppendU32(out, list.background);
    AppendU16(out, list.flags);
    for (auto overlay : list.overlays) AppendU16(out, static_cast<std::uint16_t>(overlay));
    AppendSheet(out, list, layout, rows, false);
    if (list.HasMask()) AppendSheet(out, list, layout, rows, true);
    return out;
}

void ClearAlpha(ImageListData& list) {
    for (int i = 0; i < list.count; ++i)
        for (int y = 0; y < list.height; ++y)
            for (int x = 0; x < list.width; ++x)
                list.SetPixel(i, x, y, list.Pixel(i, x, y) & 0x00FFFFFF);
}

ImageListData OneRedPerImage(int width, int height, int count) {
    ImageListData list = PatternList({.width = width, .height = height, .count = count});
    for (int i = 0; i < count; ++i)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                list.SetPixel(i, x, y, 0xFF000000u | (0x10 * (i + 1)) << 16);
                list.SetTransparent(i, x, y, false);
            }
    return list;
}

void ClearAlphaOfEveryThird(ImageListData& list) {
    for (int i = 0; list.bitsPerPixel == 32 && i < list.count; i += 3) {
        for (int y = 0; y < list.height; ++y)
            for (int x = 0; x < list.width; ++x)
                list.SetPixel(i, x, y, list.Pixel(i, x, y) & 0x00FFFFFFu);
    }
}

ImageListData PatternList(const ListShape& shape) {
    ImageListData list;
    list.width = static_cast<std::uint16_t>(shape.width);
    list.height = static_cast<std::uint16_t>(shape.height);
    list.bitsPerPixel = shape.bitsPerPixel;
    list.flags = static_cast<std::uint16_t>(shape.bitsPerPixel | (shape.mask ? kMaskFlag : 0));
    list.count = static_cast<std::uint16_t>(shape.count);
    list.capacity = static_cast<std::uint16_t>(shape.capacity ? shape.capacity : shape.count + 3);
    list.grow = 4;
    list.background = 0x00336699;
    if (shape.bitsPerPixel <= 8) list.palette = DefaultPalette(shape.bitsPerPixel);
    list.AllocateImages();
    const std::uint32_t valueMask = shape.bitsPerPixel == 32   ? 0xFFFFFFFFu
                                    : shape.bitsPerPixel == 16 ? 0x7FFFu
                                                               : (1u << shape.bitsPerPixel) - 1;
    for (int i = 0; i < shape.count; ++i) {
        for (int y = 0; y < shape.height; ++y) {
            for (int x = 0; x < shape.width; ++x) {
                std::uint32_t h = Mix(i, x, y);
                list.SetPixel(i, x, y, h & valueMask);
                if (shape.mask) list.SetTransparent(i, x, y, (h >> 27) % 3 == 0);
            }
        }
    }
    return list;
}

void MakeCanonical(ImageListData& list) {
    for (int i = 0; i < list.count; ++i) {
        for (int y = 0; y < list.height; ++y) {
            for (int x = 0; x < list.width; ++x) {
                bool clear = list.HasMask() && list.Transparent(i, x, y);
                if (clear) {
                    list.SetPixel(i, x, y, 0);
                } else if (list.bitsPerPixel == 32) {
                    list.SetPixel(i, x, y, list.Pixel(i, x, y) | 0xFF000000u);
                }
            }
        }
    }
}

std::uint32_t PixelColour(const ImageListData& list, int index, int x, int y) {
    if (list.bitsPerPixel > 8 || !list.palette.empty()) {
        return iconvale::PixelColour(list, list.palette, index, x, y);
    }
    return iconvale::PixelColour(list, DefaultPalette(list.bitsPerPixel), index, x, y);
}

::testing::AssertionResult SameImages(const ImageListData& expected, const ImageListData& actual) {
    if (expected.count != actual.count || expected.width != actual.width ||
        expected.height != actual.height || expected.HasMask() != actual.HasMask()) {
        return ::testing::AssertionFailure()
               << "shape differs: expected " << expected.count << " of " << expected.width << "x"
               << expected.height << (expected.HasMask() ? " masked" : "") << ", got "
               << actual.count << " of " << actual.width << "x" << actual.height
               << (actual.HasMask() ? " masked" : "");
    }
    for (int i = 0; i < expected.count; ++i) {
        for (int y = 0; y < expected.height; ++y) {
            for (int x = 0; x < expected.width; ++x) {
                std::uint32_t want = PixelColour(expected, i, x, y);
                std::uint32_t got = PixelColour(actual, i, x, y);
                if (want != got) {
                    return ::testing::AssertionFailure()
                           << "image " << i << " pixel (" << x << "," << y << "): expected 0x"
                           << std::hex << want << ", got 0x" << got;
                }
                if (expected.HasMask() &&
                    expected.Transparent(i, x, y) != actual.Transparent(i, x, y)) {
                    return ::testing::AssertionFailure()
                           << "image " << i << " mask bit (" << x << "," << y << ") differs";
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

Bytes LazarusSizes(const std::vector<ImageListData>& sizes) {
    Bytes out{'L', 'i'};
    AppendU32(out, static_cast<std::uint32_t>(sizes.size()));
    for (const ImageListData& size : sizes) {
        const Bytes block = EncodeLazarusImages(size);
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

std::string LazarusFormWithSizes(std::string_view name, const ImageListData& base,
                                 const Bytes& sizes) {
    std::string form = "object Form1: TForm1\r\n  Left = 10\r\n  object " + std::string(name) +
                       ": TImageList\r\n    Height = " + std::to_string(base.height) +
                       "\r\n    Width = " + std::to_string(base.width) + "\r\n    Bitmap = {\r\n" +
                       HexLines(EncodeLazarusImages(base), 32, "      ", "\r\n") + "\r\n    }\r\n";
    if (!sizes.empty())
        form += "    BitmapAdv = {\r\n" + HexLines(sizes, 32, "      ", "\r\n") + "\r\n    }\r\n";
    return form + "  end\r\nend\r\n";
}

ImageListData CanonicalPattern(const ListShape& shape) {
    ImageListData list = PatternList(shape);
    MakeCanonical(list);
    return list;
}

std::string DelphiBlock(const ImageListData& list, std::string_view name) {
    const Bytes block = WriteContainer(ContainerForm::kDelphiForm, list, name);
    return std::string(block.begin(), block.end());
}

}  // namespace iconvale::testing
