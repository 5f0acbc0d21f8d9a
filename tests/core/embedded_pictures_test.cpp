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
    for (int v : {depth, type, 0, 0, interlace}) chunk.data.push_back(std::uint8_t(v));
    return chunk;
}

Chunk Idat(const Bytes& raw) {
    uLongf size = compressBound(raw.size());
    Chunk chunk{"IDAT", Bytes(size)};
    compress2(chunk.data.data(), &size, raw.data(), raw.size(), 6);
    chunk.data.resize(size);
    return chunk;
}

// The rows of each pass of a picture whose pixel (x, y) has colour (x + 2y) % 4 of `colours`,
// packed and filtered, the five filter types taken in turn.
Bytes Raw(int width, int height, int channels, int depth, const std::vector<std::uint16_t>& colours,
          bool interlace) {
    const int whole[1][4] = {{0, 0, 1, 1}};
    const int adam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                             {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const std::size_t bpp = std::max(1, channels * depth / 8);
    Bytes raw;
    int turn = 0;
    for (const auto& pass : interlace ? std::span<const int[4]>(adam7) : std::span(whole)) {
        Bytes prior;
        for (int y = pass[1]; y < height && pass[0] < width; y += pass[3]) {
            Bytes row;
            for (int x = pass[0], bits = 0; x < width; x += pass[2]) {
                for (int c = 0; c < channels; ++c, bits += depth) {
                    const int v = colours[(x + 2 * y) % 4 * channels + c];
                    if (depth == 16) row.push_back(std::uint8_t(v >> 8));
                    if (bits % 8 == 0) row.push_back(0);
                    row.back() |= std::uint8_t(depth < 8 ? v << (8 - depth - bits % 8) : v);
                }
            }
            const int filter = turn++ % 5;
            raw.push_back(std::uint8_t(filter));
            for (std::size_t i = 0; i < row.size(); ++i) {
                const int a = i >= bpp ? row[i - bpp] : 0, b = prior.empty() ? 0 : prior[i];
                const int c = i >= bpp && !prior.empty() ? prior[i - bpp] : 0;
                const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
                const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                const int predicted[] = {0, a, b, (a + b) / 2, paeth};
                raw.push_back(std::uint8_t(row[i] - predicted[filter]));
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

// clang-format off
const ColourCase kColours[] = {
    {"gray 1", 0, 1, {0, 1, 1, 0}, {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000}},
    {"gray 2", 0, 2, {0, 1, 2, 3}, {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}},
    {"gray 4", 0, 4, {1, 7, 14, 15}, {0xFF111111, 0xFF777777, 0xFFEEEEEE, 0xFFFFFFFF}},
    // Samples where Paeth's above and above-left predictions tie.
    {"gray 8 keyed", 0, 8, {0x40, 40, 10, 55}, {0x00404040, 0xFF282828, 0xFF0A0A0A, 0xFF373737},
     {}, {0, 0x40}},
    // The key matches all 16 bits, not the high byte the picture keeps.
    {"gray 16 keyed", 0, 16, {0x1234, 0xFF00, 0x00FF, 0x0012},
     {0xFF121212, 0xFFFFFFFF, 0x00000000, 0xFF000000}, {}, {0x00, 0xFF}},
    {"gray alpha 8", 4, 8, {10, 0, 20, 128, 30, 255, 40, 64},
     {0x000A0A0A, 0x80141414, 0xFF1E1E1E, 0x40282828}},
    {"rgb 8 keyed", 2, 8, {1, 2, 3, 1, 2, 4, 255, 0, 0, 0, 0, 255},
     {0x00010203, 0xFF010204, 0xFFFF0000, 0xFF0000FF}, {}, {0, 1, 0, 2, 0, 3}},
    {"rgb 16", 2, 16, {0x1200, 0x3400, 0x56FF, 0xFFFF, 0, 0, 0xFF, 0xFF, 0xFF, 0x8080, 0x4040, 0x2020},
     {0xFF123456, 0xFFFF0000, 0xFF000000, 0xFF804020}},
    {"palette 2 with tRNS", 3, 2, {2, 0, 1, 2}, {0xFF46505A, 0x000A141E, 0x8028323C, 0xFF46505A},
     {10, 20, 30, 40, 50, 60, 70, 80, 90}, {0, 128}},
    {"rgba 8", 6, 8, {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 1, 2, 3, 4},
     {0xFFFF0000, 0x8000FF00, 0x000000FF, 0x04010203}},
    {"rgba 16", 6, 16, {0xFFFF, 0, 0, 0x80FF, 0, 0, 0, 0, 0x1111, 0x2222, 0x3333, 0x4444, 0, 0, 0, 0xFFFF},
     {0x80FF0000, 0, 0x44112233, 0xFF000000}},
};
// clang-format on

Bytes ColourPng(const ColourCase& c, int width, int height, bool interlace) {
    const int channels[] = {1, 0, 3, 1, 2, 0, 4};
    std::vector<Chunk> chunks{Ihdr(width, height, c.depth, c.type, interlace)};
    if (!c.plte.empty()) chunks.push_back({"PLTE", c.plte});
    if (!c.trns.empty()) chunks.push_back({"tRNS", c.trns});
    chunks.push_back({"gAMA", {0, 0, 0xB1, 0x8F}});
    chunks.push_back(Idat(Raw(width, height, channels[c.type], c.depth, c.colours, interlace)));
    chunks.push_back({"IEND", {}});
    return Png(chunks);
}

TEST(EmbeddedPng, EveryColourTypeAndDepthInterlacedOrNot) {
    for (const ColourCase& c : kColours) {
        // 3 x 2 leaves some interlace passes empty; 9 x 6 gives every pass pixels.
        for (auto [width, height] : {std::pair{9, 6}, std::pair{3, 2}}) {
            BgraPicture plain, interlaced;
            ASSERT_TRUE(DecodePngPicture(ColourPng(c, width, height, false), 54, plain)) << c.name;
            ASSERT_TRUE(DecodePngPicture(ColourPng(c, width, height, true), 54, interlaced));
            ASSERT_EQ(plain.bgra.size(), std::size_t(width) * height * 4);
            EXPECT_EQ(interlaced.bgra, plain.bgra) << c.name;
            for (int i = 0; i < width * height; ++i) {
                const int x = i % width, y = i / width;
                ASSERT_EQ(PixelAt(plain, x, y), c.expected[(x + 2 * y) % 4]) << c.name << " " << i;
            }
        }
    }
}

// Coarse values, so that some rows and runs repeat and the filters differ.
BgraPicture Noise(int width, int height) {
    BgraPicture picture{width, height, Bytes(std::size_t(width) * height * 4)};
    for (std::size_t i = 0; i < picture.bgra.size(); ++i) picture.bgra[i] = i * i * 7 % 13 * 19;
    return picture;
}

TEST(EmbeddedPng, EncodesRgbaThatDecodesToTheSamePixelsAndTheSameBytesEachTime) {
    for (auto [width, height] : {std::pair{1, 1}, std::pair{7, 3}, std::pair{64, 33}}) {
        const BgraPicture picture = Noise(width, height);
        const Bytes png = EncodePngPicture(picture);
        ASSERT_EQ(ReadPngHeader(png)->width, std::uint32_t(width));
        EXPECT_EQ(png[25], 6) << "colour type";
        BgraPicture back;
        ASSERT_TRUE(DecodePngPicture(png, std::uint64_t(width) * height, back));
        EXPECT_EQ(back.bgra, picture.bgra) << width;
        EXPECT_EQ(EncodePngPicture(picture), png) << width;
    }
    // A flat picture: Sub and Paeth tie on the first row, Up and Paeth on the next.
    const Bytes flat = EncodePngPicture({3, 3, Bytes(36, 16)});
    Bytes raw(3 * 13);
    uLongf size = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &size, flat.data() + 41, flat[36] << 8 | flat[37]), Z_OK);
    EXPECT_EQ((std::vector<int>{raw[0], raw[13], raw[26]}), (std::vector<int>{1, 2, 2}));
    EXPECT_TRUE(EncodePngPicture({2, 2, Bytes(15)}).empty());
    EXPECT_TRUE(EncodePngPicture({0, 0, {}}).empty());
}

struct Damaged {
    const char* name;
    Bytes bytes;
    std::uint64_t maxPixels = 16;
};

void ExpectRefused(bool (*decode)(std::span<const std::uint8_t>, std::uint64_t, BgraPicture&),
                   std::span<const Damaged> cases) {
    for (const Damaged& c : cases) {
        BgraPicture picture{1, 1, Bytes(4)};
        EXPECT_FALSE(decode(c.bytes, c.maxPixels, picture)) << c.name;
        EXPECT_TRUE(picture.bgra.empty() && picture.width == 0 && picture.height == 0) << c.name;
    }
}

Bytes With(Bytes bytes, std::size_t at, std::uint8_t value) {
    bytes.at(at) = value;
    return bytes;
}

TEST(EmbeddedPng, DamagedFilesAreRefusedAndLeaveThePictureEmpty) {
    const std::vector<std::uint16_t> grays{0, 80, 160, 240};
    const Bytes raw = Raw(4, 4, 1, 8, grays, false);
    const Chunk ihdr = Ihdr(4, 4, 8, 0), idat = Idat(raw), iend{"IEND", {}};
    const Chunk text{"tEXt", {'a', 0, 'b'}}, plte{"PLTE", Bytes(6, 9)};
    const Bytes good = Png({ihdr, idat, iend});
    Bytes trailing = idat.data;
    trailing.push_back(0);
    const Chunk half1{"IDAT", Bytes(idat.data.begin(), idat.data.begin() + 5)};
    const Chunk half2{"IDAT", Bytes(idat.data.begin() + 5, idat.data.end())};
    const Chunk indices = Idat(Raw(4, 4, 1, 2, {0, 1, 1, 0}, false));
    const Damaged cases[] = {
        {"bad CRC", With(good, 32, good[32] ^ 1)},
        {"IDAT holds too little", Png({ihdr, Idat(Raw(4, 3, 1, 8, grays, false)), iend})},
        {"IDAT holds too much", Png({ihdr, Idat(Raw(4, 5, 1, 8, grays, false)), iend})},
        {"bytes after the zlib stream", Png({ihdr, {"IDAT", trailing}, iend})},
        {"filter type 5", Png({ihdr, Idat(With(raw, 5, 5)), iend})},
        {"IHDR not first", Png({text, ihdr, idat, iend})},
        {"over maxPixels", good, 15},
        {"palette index beyond PLTE", Png({Ihdr(4, 4, 2, 3), {"PLTE", Bytes(3)}, indices, iend})},
        {"tRNS longer than PLTE", Png({Ihdr(4, 4, 2, 3), plte, {"tRNS", Bytes(3)}, indices, iend})},
        {"missing IEND", Png({ihdr, idat})},
        {"IDAT split by another chunk", Png({ihdr, half1, text, half2, iend})},
        {"unknown critical chunk", Png({ihdr, {"CRIT", {}}, idat, iend})},
        {"cut inside a chunk", Bytes(good.begin(), good.end() - 6)},
        {"RGB at 4 bits", Png({Ihdr(4, 4, 4, 2), idat, iend})},
        {"width 2^31", Png({Ihdr(0x80000000u, 1, 8, 0), idat, iend}), ~0ull},
    };
    ExpectRefused(DecodePngPicture, cases);
    BgraPicture picture;
    EXPECT_TRUE(DecodePngPicture(Png({ihdr, half1, half2, iend}), 16, picture));
    EXPECT_EQ(ReadPngHeader(good)->height, 4u);
    EXPECT_FALSE(ReadPngHeader(cases[0].bytes));
}

//--- BMP

// A BMP file: headers, `tables` (masks or palette), then `rows` as stored, each padded to 4 bytes.
Bytes Bmp(std::uint32_t infoSize, std::int32_t width, std::int32_t height, int bits,
          std::uint32_t compression, const Bytes& tables, const std::vector<Bytes>& rows,
          std::uint32_t coloursUsed = 0) {
    Bytes out{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0};
    AppendU32(out, 14 + infoSize + static_cast<std::uint32_t>(tables.size()));
    for (std::uint32_t v : {infoSize, std::uint32_t(width), std::uint32_t(height), 1u | bits << 16,
                            compression, 0u, 0u, 0u, coloursUsed, 0u}) {
        AppendU32(out, v);
    }
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
const Bytes kTop32{1, 2, 3, 0x80, 4, 5, 6, 0}, kBottom32{7, 8, 9, 0xFF, 10, 11, 12, 0x40};
const std::vector<std::uint32_t> kAlpha{0x80030201, 0x00060504, 0xFF090807, 0x400C0B0A};

struct BmpCase {
    const char* name;
    Bytes bmp;
    std::vector<std::uint32_t> expected;  // 2 x 2, top row first, as 0xAARRGGBB
};

// clang-format off
const BmpCase kBmps[] = {
    {"24-bit bottom-up", Bmp(40, 2, 2, 24, 0, {}, {{7, 8, 9, 10, 11, 12}, {1, 2, 3, 4, 5, 6}}),
     {0xFF030201, 0xFF060504, 0xFF090807, 0xFF0C0B0A}},
    {"32-bit top-down keeps alpha", Bmp(124, 2, -2, 32, 0, {}, {kTop32, kBottom32}), kAlpha},
    {"bitfields after a plain header", Bmp(40, 2, 2, 32, 3, kMasks, {kBottom32, kTop32}), kAlpha},
    {"bitfields in a v4 header", Bmp(108, 2, -2, 32, 3, {}, {kTop32, kBottom32}), kAlpha},
    {"8-bit palette", Bmp(40, 2, 2, 8, 0, kPalette, {{2, 2}, {0, 1}}, 3),
     {0xFF1E140A, 0xFF3C3228, 0xFF5A5046, 0xFF5A5046}},
    {"1-bit", Bmp(40, 2, -2, 1, 0, Bytes(kPalette.begin(), kPalette.begin() + 8), {{0x40}, {0x80}}),
     {0xFF1E140A, 0xFF3C3228, 0xFF3C3228, 0xFF1E140A}},
};
// clang-format on

TEST(EmbeddedBmp, DepthsLayoutsAndHeaders) {
    BgraPicture picture;
    for (const BmpCase& c : kBmps) {
        ASSERT_TRUE(DecodeBmpPicture(c.bmp, 4, picture)) << c.name;
        ASSERT_EQ(ReadBmpHeader(c.bmp)->height, 2u) << c.name;
        ASSERT_EQ(picture.width, 2);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(PixelAt(picture, i % 2, i / 2), c.expected[i]);
    }
    // Some writers leave off the last row's padding.
    Bytes unpadded = kBmps[0].bmp;
    unpadded.resize(unpadded.size() - 2);
    EXPECT_TRUE(DecodeBmpPicture(unpadded, 4, picture));
    unpadded.pop_back();
    EXPECT_FALSE(DecodeBmpPicture(unpadded, 4, picture));
}

TEST(EmbeddedBmp, DamagedHeadersAreRefusedAndLeaveThePictureEmpty) {
    const std::vector<Bytes> rows{{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    const Bytes good = Bmp(40, 2, 2, 24, 0, {}, rows);
    const Damaged cases[] = {
        {"not BM", With(good, 1, 'A')},
        {"pixels offset beyond the file", With(good, 10, 200)},
        {"no pixels", With(good, 10, std::uint8_t(good.size()))},
        {"info header of 64 bytes", With(good, 14, 64)},
        {"rows cut short", Bytes(good.begin(), good.end() - 5)},
        {"height -2^31", With(With(good, 22, 0), 25, 0x80)},
        {"16 bits", With(good, 28, 16)},
        {"bitfields of 5-6-5", Bmp(40, 2, 2, 32, 3, With(kMasks, 1, 0xF8), rows)},
        {"palette beyond the file", Bmp(40, 2, 2, 8, 0, kPalette, {{0, 0}, {0, 0}}, 200)},
        {"index beyond the palette", Bmp(40, 2, 2, 8, 0, kPalette, {{0, 3}, {0, 0}}, 3)},
        {"over maxPixels", good, 3},
    };
    ExpectRefused(DecodeBmpPicture, cases);
}

// Seeds for the embedded picture fuzz target, written to ICONVALE_SEED_DIR when that is set.
TEST(SeedCorpus, EmbeddedPictures) {
    std::vector<Bytes> seeds{EncodePngPicture(Noise(5, 4))};
    for (const ColourCase& c : kColours) {
        for (bool interlace : {false, true}) seeds.push_back(ColourPng(c, 9, 6, interlace));
    }
    for (const BmpCase& c : kBmps) seeds.push_back(c.bmp);
    const char* dir = std::getenv("ICONVALE_SEED_DIR");
    for (std::size_t n = 0; n < seeds.size() && dir; ++n) {
        std::ofstream(std::filesystem::path(dir) / ("embedded" + std::to_string(n)),
                      std::ios::binary)
            .write(reinterpret_cast<const char*>(seeds[n].data()),
                   static_cast<std::streamsize>(seeds[n].size()));
    }
}

}  // namespace
}  // namespace iconvale
