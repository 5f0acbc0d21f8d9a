#include "core/embedded_pictures.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace iconvale {
namespace {

//--- a PNG writer of the test's own, at any depth and colour type, interlaced or not

void Be32(Bytes& out, std::uint32_t v) {
    for (int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

struct Chunk {
    std::string type;
    Bytes data;
};

Bytes Png(const std::vector<Chunk>& chunks) {
    Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Chunk& chunk : chunks) {
        Be32(out, static_cast<std::uint32_t>(chunk.data.size()));
        const std::size_t start = out.size();
        out.insert(out.end(), chunk.type.begin(), chunk.type.end());
        out.insert(out.end(), chunk.data.begin(), chunk.data.end());
        Be32(out, static_cast<std::uint32_t>(crc32(0, out.data() + start, out.size() - start)));
    }
    return out;
}

Chunk Ihdr(std::uint32_t width, std::uint32_t height, int depth, int type, int interlace = 0) {
    Chunk chunk{"IHDR", {}};
    Be32(chunk.data, width);
    Be32(chunk.data, height);
    chunk.data.insert(chunk.data.end(),
                      {static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(type), 0, 0,
                       static_cast<std::uint8_t>(interlace)});
    return chunk;
}

Chunk Idat(const Bytes& raw) {
    uLongf size = compressBound(raw.size());
    Chunk chunk{"IDAT", Bytes(size)};
    compress2(chunk.data.data(), &size, raw.data(), raw.size(), 6);
    chunk.data.resize(size);
    return chunk;
}

// Samples of a picture whose pixel (x, y) takes colour (x + 2y) % 4 of `colours`.
struct Grid {
    int width, height, channels, depth;
    const std::vector<std::uint16_t>& colours;
};

// The rows of every pass, packed and filtered, the filter types taken in turn.
Bytes Raw(const Grid& grid, bool interlace) {
    const int whole[1][4] = {{0, 0, 1, 1}};
    const int adam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                             {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const int bpp = std::max(1, grid.channels * grid.depth / 8);
    Bytes raw;
    int turn = 0;
    const std::span<const int[4]> passes =
        interlace ? std::span<const int[4]>(adam7) : std::span<const int[4]>(whole);
    for (const auto& pass : passes) {
        Bytes prior;
        for (int y = pass[1]; y < grid.height; y += pass[3]) {
            Bytes row;
            int bits = 0;
            for (int x = pass[0]; x < grid.width; x += pass[2]) {
                for (int c = 0; c < grid.channels; ++c) {
                    const int v = grid.colours[(x + 2 * y) % 4 * grid.channels + c];
                    if (grid.depth == 16)
                        row.insert(row.end(), {std::uint8_t(v >> 8), std::uint8_t(v)});
                    if (grid.depth == 8) row.push_back(static_cast<std::uint8_t>(v));
                    if (grid.depth < 8) {
                        if (bits % 8 == 0) row.push_back(0);
                        row.back() |= static_cast<std::uint8_t>(v << (8 - grid.depth - bits % 8));
                        bits += grid.depth;
                    }
                }
            }
            if (row.empty()) break;
            const int filter = turn++ % 5;
            raw.push_back(static_cast<std::uint8_t>(filter));
            for (std::size_t i = 0; i < row.size(); ++i) {
                const int a = i >= std::size_t(bpp) ? row[i - bpp] : 0;
                const int b = prior.empty() ? 0 : prior[i];
                const int c = i >= std::size_t(bpp) && !prior.empty() ? prior[i - bpp] : 0;
                const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b);
                const int paeth = pa <= pb && pa <= std::abs(p - c) ? a
                                  : pb <= std::abs(p - c)           ? b
                                                                    : c;
                const int predicted[] = {0, a, b, (a + b) / 2, paeth};
                raw.push_back(static_cast<std::uint8_t>(row[i] - predicted[filter]));
            }
            prior = row;
        }
    }
    return raw;
}

std::uint32_t PixelAt(const BgraPicture& p, int x, int y) {
    const std::uint8_t* px = p.bgra.data() + 4 * (std::size_t(y) * p.width + x);
    return std::uint32_t(px[3]) << 24 | px[2] << 16 | px[1] << 8 | px[0];
}

struct ColourCase {
    const char* name;
    int type, depth;
    std::vector<std::uint16_t> colours;   // four colours, as the file stores their samples
    std::vector<std::uint32_t> expected;  // the four as 0xAARRGGBB
    Bytes plte = {}, trns = {};
};

const ColourCase kColours[] = {
    {"gray 1", 0, 1, {0, 1, 1, 0}, {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000}},
    {"gray 2", 0, 2, {0, 1, 2, 3}, {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}},
    {"gray 4", 0, 4, {1, 7, 14, 15}, {0xFF111111, 0xFF777777, 0xFFEEEEEE, 0xFFFFFFFF}},
    {"gray 8 keyed",
     0,
     8,
     {0x40, 0x41, 0, 255},
     {0x00404040, 0xFF414141, 0xFF000000, 0xFFFFFFFF},
     {},
     {0, 0x40}},
    // The key matches all 16 bits, not the high byte the picture keeps.
    {"gray 16 keyed",
     0,
     16,
     {0x1234, 0xFF00, 0x00FF, 0x0012},
     {0xFF121212, 0xFFFFFFFF, 0x00000000, 0xFF000000},
     {},
     {0x00, 0xFF}},
    {"gray alpha 8",
     4,
     8,
     {10, 0, 20, 128, 30, 255, 40, 64},
     {0x000A0A0A, 0x80141414, 0xFF1E1E1E, 0x40282828}},
    {"rgb 8 keyed",
     2,
     8,
     {1, 2, 3, 1, 2, 4, 255, 0, 0, 0, 0, 255},
     {0x00010203, 0xFF010204, 0xFFFF0000, 0xFF0000FF},
     {},
     {0, 1, 0, 2, 0, 3}},
    {"rgb 16",
     2,
     16,
     {0x1200, 0x3400, 0x56FF, 0xFFFF, 0, 0, 0xFF, 0xFF, 0xFF, 0x8080, 0x4040, 0x2020},
     {0xFF123456, 0xFFFF0000, 0xFF000000, 0xFF804020}},
    {"palette 2 with tRNS",
     3,
     2,
     {2, 0, 1, 2},
     {0xFF46505A, 0x000A141E, 0x8028323C, 0xFF46505A},
     {10, 20, 30, 40, 50, 60, 70, 80, 90},
     {0, 128}},
    {"rgba 8",
     6,
     8,
     {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 1, 2, 3, 4},
     {0xFFFF0000, 0x8000FF00, 0x000000FF, 0x04010203}},
    {"rgba 16",
     6,
     16,
     {0xFFFF, 0, 0, 0x80FF, 0, 0, 0, 0, 0x1111, 0x2222, 0x3333, 0x4444, 0, 0, 0, 0xFFFF},
     {0x80FF0000, 0, 0x44112233, 0xFF000000}},
};

Bytes ColourPng(const ColourCase& c, int width, int height, bool interlace) {
    static const int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
    const Bytes raw = Raw({width, height, kChannels[c.type], c.depth, c.colours}, interlace);
    std::vector<Chunk> chunks{Ihdr(width, height, c.depth, c.type, interlace)};
    if (!c.plte.empty()) chunks.push_back({"PLTE", c.plte});
    if (!c.trns.empty()) chunks.push_back({"tRNS", c.trns});
    chunks.push_back({"gAMA", {0, 0, 0xB1, 0x8F}});
    chunks.push_back(Idat(raw));
    chunks.push_back({"IEND", {}});
    return Png(chunks);
}

TEST(EmbeddedPng, EveryColourTypeAndDepthInterlacedOrNot) {
    for (const ColourCase& c : kColours) {
        // 3 x 2 leaves some interlace passes empty; 9 x 6 gives every pass pixels.
        for (auto [width, height] : {std::pair{9, 6}, std::pair{3, 2}}) {
            BgraPicture plain, interlaced;
            ASSERT_TRUE(DecodePngPicture(ColourPng(c, width, height, false), 1000, plain))
                << c.name;
            ASSERT_TRUE(DecodePngPicture(ColourPng(c, width, height, true), 1000, interlaced))
                << c.name;
            ASSERT_EQ(plain.width, width);
            ASSERT_EQ(plain.height, height);
            EXPECT_EQ(interlaced.bgra, plain.bgra) << c.name;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    ASSERT_EQ(PixelAt(plain, x, y), c.expected[(x + 2 * y) % 4])
                        << c.name << " at " << x << "," << y;
                }
            }
        }
    }
}

BgraPicture Noise(int width, int height) {
    BgraPicture picture{width, height, Bytes(std::size_t(width) * height * 4)};
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : picture.bgra) {
        state = state * 1103515245 + 12345;
        byte = static_cast<std::uint8_t>((state >> 16) % 7 * 40);  // coarse, so rows repeat
    }
    return picture;
}

TEST(EmbeddedPng, EncodesRgbaThatDecodesToTheSamePixelsAndTheSameBytesEachTime) {
    for (auto [width, height] : {std::pair{1, 1}, std::pair{7, 3}, std::pair{64, 33}}) {
        const BgraPicture picture = Noise(width, height);
        const Bytes png = EncodePngPicture(picture);
        ASSERT_FALSE(png.empty());
        EXPECT_EQ(png[25], 6) << "colour type";
        EXPECT_EQ(ReadPngHeader(png)->width, std::uint32_t(width));
        BgraPicture back;
        ASSERT_TRUE(DecodePngPicture(png, std::uint64_t(width) * height, back));
        EXPECT_EQ(back.bgra, picture.bgra) << width;
        EXPECT_EQ(EncodePngPicture(picture), png) << width;
    }
    EXPECT_TRUE(EncodePngPicture({2, 2, Bytes(15)}).empty());
    EXPECT_TRUE(EncodePngPicture({0, 0, {}}).empty());
}

TEST(EmbeddedPng, DamagedFilesAreRefusedAndLeaveThePictureEmpty) {
    static const std::vector<std::uint16_t> kGrays{0, 80, 160, 240};
    const Bytes raw = Raw({4, 4, 1, 8, kGrays}, false);
    const Chunk ihdr = Ihdr(4, 4, 8, 0), idat = Idat(raw), iend{"IEND", {}};
    const Bytes good = Png({ihdr, idat, iend});
    auto with = [&](Bytes bytes, std::size_t at, std::uint8_t value) {
        bytes[at] = value;
        return bytes;
    };
    Bytes cut = good, badFilter = raw, trailing = idat.data;
    cut.resize(cut.size() - 6);
    badFilter[5] = 5;
    trailing.insert(trailing.end(), {1, 2});
    Bytes shortRaw(raw.begin(), raw.end() - 3), longRaw = raw;
    longRaw.push_back(0);
    const Chunk firstHalf{"IDAT", Bytes(idat.data.begin(), idat.data.begin() + 5)};
    const Chunk secondHalf{"IDAT", Bytes(idat.data.begin() + 5, idat.data.end())};
    const Chunk text{"tEXt", {'a', 0, 'b'}};
    const Bytes beyondPalette = Png({Ihdr(4, 4, 2, 3),
                                     {"PLTE", Bytes(6, 9)},
                                     Idat(Raw({4, 4, 1, 2, {0, 1, 3, 0}}, false)),
                                     iend});
    struct Case {
        const char* name;
        Bytes png;
        std::uint64_t maxPixels = 16;
    };
    const Case cases[] = {
        {"bad CRC", with(good, 32, good[32] ^ 1)},
        {"bad signature", with(good, 1, 'p')},
        {"IDAT holds too little", Png({ihdr, Idat(shortRaw), iend})},
        {"IDAT holds too much", Png({ihdr, Idat(longRaw), iend})},
        {"bytes after the zlib stream", Png({ihdr, {"IDAT", trailing}, iend})},
        {"filter type 5", Png({ihdr, Idat(badFilter), iend})},
        {"IHDR not first", Png({text, ihdr, idat, iend})},
        {"second IHDR", Png({ihdr, ihdr, idat, iend})},
        {"over maxPixels", good, 15},
        {"palette index beyond PLTE", beyondPalette},
        {"palette picture without PLTE", Png({Ihdr(4, 4, 8, 3), idat, iend})},
        {"PLTE for gray", Png({ihdr, {"PLTE", Bytes(6, 9)}, idat, iend})},
        {"gray tRNS of the wrong length", Png({ihdr, {"tRNS", {0}}, idat, iend})},
        {"missing IEND", Png({ihdr, idat})},
        {"IEND without IDAT", Png({ihdr, iend})},
        {"IDAT split by another chunk", Png({ihdr, firstHalf, text, secondHalf, iend})},
        {"unknown critical chunk", Png({ihdr, {"CRIT", {}}, idat, iend})},
        {"cut inside a chunk", cut},
        {"RGB at 4 bits", Png({Ihdr(4, 4, 4, 2), idat, iend})},
        {"interlace method 2", Png({Ihdr(4, 4, 8, 0, 2), idat, iend})},
        {"width 2^31", Png({Ihdr(0x80000000u, 1, 8, 0), idat, iend}), ~0ull},
    };
    BgraPicture picture;
    ASSERT_TRUE(DecodePngPicture(Png({ihdr, firstHalf, secondHalf, iend}), 16, picture));
    for (const Case& c : cases) {
        picture = Noise(2, 2);
        EXPECT_FALSE(DecodePngPicture(c.png, c.maxPixels, picture)) << c.name;
        EXPECT_TRUE(picture.bgra.empty() && picture.width == 0 && picture.height == 0) << c.name;
    }
    EXPECT_EQ(ReadPngHeader(good)->height, 4u);
    EXPECT_FALSE(ReadPngHeader(cases[0].png));
}

//--- BMP

// A BMP file: headers, `tables` (masks or palette), then `rows` as stored, each padded to 4 bytes.
Bytes Bmp(std::uint32_t infoSize, std::int32_t width, std::int32_t height, int bits,
          std::uint32_t compression, const Bytes& tables, const std::vector<Bytes>& rows,
          std::uint32_t coloursUsed = 0) {
    Bytes out{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
    AppendU32(out, 14 + infoSize + static_cast<std::uint32_t>(tables.size()));
    for (std::uint32_t v : {infoSize, std::uint32_t(width), std::uint32_t(height)})
        AppendU32(out, v);
    AppendU16(out, 1);
    AppendU16(out, bits);
    for (std::uint32_t v : {compression, 0u, 0u, 0u, coloursUsed, 0u}) AppendU32(out, v);
    // The later headers carry the masks of the usual 8-bit channels.
    for (std::uint32_t mask : {0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u}) {
        if (out.size() < 14 + infoSize) AppendU32(out, mask);
    }
    out.resize(14 + infoSize);
    out.insert(out.end(), tables.begin(), tables.end());
    for (Bytes row : rows) {
        row.resize((row.size() + 3) / 4 * 4);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

const Bytes kMasks{0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
const Bytes kPalette{10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0};

TEST(EmbeddedBmp, DepthsLayoutsAndHeaders) {
    struct Case {
        const char* name;
        Bytes bmp;
        std::vector<std::uint32_t> expected;  // 2 x 2, top row first, as 0xAARRGGBB
    };
    const std::vector<std::uint32_t> opaque{0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A};
    const std::vector<std::uint32_t> withAlpha{0x80030201, 0x00060504, 0xFF090807, 0x400C0B0A};
    const Bytes top32{1, 2, 3, 0x80, 4, 5, 6, 0}, bottom32{7, 8, 9, 0xFF, 10, 11, 12, 0x40};
    const Case cases[] = {
        {"24-bit bottom-up", Bmp(40, 2, 2, 24, 0, {}, {{7, 8, 9, 10, 11, 12}, {1, 2, 3, 4, 5, 6}}),
         opaque},
        {"32-bit top-down keeps alpha", Bmp(124, 2, -2, 32, 0, {}, {top32, bottom32}), withAlpha},
        {"bitfields after a plain header", Bmp(40, 2, 2, 32, 3, kMasks, {bottom32, top32}),
         withAlpha},
        {"bitfields in a v4 header", Bmp(108, 2, -2, 32, 3, {}, {top32, bottom32}), withAlpha},
        {"bitfields in a v3 header", Bmp(56, 2, -2, 32, 3, {}, {top32, bottom32}), withAlpha},
        {"8-bit palette",
         Bmp(40, 2, 2, 8, 0, kPalette, {{2, 2}, {0, 1}}, 3),
         {0xFF1E140A, 0xFF3C3228, 0xFF5A5046, 0xFF5A5046}},
        {"1-bit",
         Bmp(40, 2, -2, 1, 0, Bytes(kPalette.begin(), kPalette.begin() + 8), {{0x40}, {0x80}}),
         {0xFF1E140A, 0xFF3C3228, 0xFF3C3228, 0xFF1E140A}},
    };
    for (const Case& c : cases) {
        BgraPicture picture;
        ASSERT_TRUE(DecodeBmpPicture(c.bmp, 4, picture)) << c.name;
        ASSERT_EQ(ReadBmpHeader(c.bmp)->height, 2u) << c.name;
        ASSERT_EQ(picture.width, 2);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(PixelAt(picture, i % 2, i / 2), c.expected[i]) << c.name;
    }
    // Some writers leave off the last row's padding.
    Bytes unpadded = cases[0].bmp;
    unpadded.resize(unpadded.size() - 2);
    BgraPicture picture;
    EXPECT_TRUE(DecodeBmpPicture(unpadded, 4, picture));
    unpadded.pop_back();
    EXPECT_FALSE(DecodeBmpPicture(unpadded, 4, picture));
}

TEST(EmbeddedBmp, DamagedHeadersAreRefusedAndLeaveThePictureEmpty) {
    const std::vector<Bytes> rows{{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    const Bytes good = Bmp(40, 2, 2, 24, 0, {}, rows);
    auto with = [](Bytes bytes, std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        return bytes;
    };
    Bytes cut = good, masks565 = kMasks;
    cut.resize(cut.size() - 5);
    masks565[1] = 0xF8;
    struct Case {
        const char* name;
        Bytes bmp;
        std::uint64_t maxPixels = 4;
    };
    const Case cases[] = {
        {"not BM", with(good, 0, 0x4142)},
        {"pixels offset beyond the file", with(good, 10, 1000)},
        {"pixels offset inside the headers", with(good, 10, 20)},
        {"info header of 64 bytes", with(good, 14, 64)},
        {"info header beyond the file", Bytes(good.begin(), good.begin() + 40)},
        {"rows cut short", cut},
        {"width 0", with(good, 18, 0)},
        {"height -2^31", with(good, 22, 0x80000000u)},
        {"two planes", with(good, 26, 0x180002)},
        {"16 bits", with(good, 28, 16)},
        {"RLE8", Bmp(40, 2, 2, 8, 1, kPalette, rows)},
        {"bitfields of 5-6-5", Bmp(40, 2, 2, 32, 3, masks565, rows)},
        {"palette beyond the file", Bmp(40, 2, 2, 8, 0, kPalette, {{0, 0}, {0, 0}}, 200)},
        {"index beyond the palette", Bmp(40, 2, 2, 8, 0, kPalette, {{0, 3}, {0, 0}}, 3)},
        {"over maxPixels", good, 3},
    };
    BgraPicture picture;
    for (const Case& c : cases) {
        picture = Noise(2, 2);
        EXPECT_FALSE(DecodeBmpPicture(c.bmp, c.maxPixels, picture)) << c.name;
        EXPECT_TRUE(picture.bgra.empty() && picture.width == 0) << c.name;
    }
}

// Seeds for the embedded picture fuzz target, written to ICONVALE_SEED_DIR when that is set.
TEST(SeedCorpus, EmbeddedPictures) {
    const char* dir = std::getenv("ICONVALE_SEED_DIR");
    std::vector<Bytes> seeds;
    for (const ColourCase& c : kColours) {
        for (bool interlace : {false, true}) seeds.push_back(ColourPng(c, 9, 6, interlace));
    }
    seeds.push_back(EncodePngPicture(Noise(5, 4)));
    seeds.push_back(Bmp(40, 2, 2, 8, 0, kPalette, {{2, 2}, {0, 1}}, 3));
    seeds.push_back(
        Bmp(124, 2, -2, 32, 3, {}, {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 0, 1, 2, 3, 4, 5, 6}}));
    seeds.push_back(Bmp(40, 3, 2, 24, 0, {}, {Bytes(9, 7), Bytes(9, 9)}));
    for (std::size_t n = 0; n < seeds.size(); ++n) {
        BgraPicture picture;
        ASSERT_TRUE(DecodePngPicture(seeds[n], 100, picture) ||
                    DecodeBmpPicture(seeds[n], 100, picture));
        if (dir) {
            std::ofstream(std::filesystem::path(dir) / ("embedded" + std::to_string(n)),
                          std::ios::binary)
                .write(reinterpret_cast<const char*>(seeds[n].data()),
                       static_cast<std::streamsize>(seeds[n].size()));
        }
    }
}

}  // namespace
}  // namespace iconvale
