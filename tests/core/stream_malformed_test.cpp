// Streams that were damaged or forged: each must be refused without a crash, and whatever is
// accepted must be a list that writes back and reads again to itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/image_list_stream.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::PatternList;

// 16x16, 32 bits with mask, 5 images in two cell rows (capacity 8).
Bytes BaseStream() {
    return WriteImageListStream(PatternList({.count = 5, .capacity = 8}));
}

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

void ExpectSelfConsistentIfAccepted(const Bytes& bytes) {
    auto list = ParseImageListStream(bytes);
    if (!list) return;
    Bytes again = WriteImageListStream(*list);
    ASSERT_FALSE(again.empty());
    auto back = ParseImageListStream(again);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pixels, list->pixels);
    EXPECT_EQ(back->mask, list->mask);
}

TEST(MalformedStream, EveryTruncationIsRefused) {
    for (int bits : {4, 32}) {
        Bytes full = WriteImageListStream(PatternList(
            {.width = 3, .height = 2, .bitsPerPixel = bits, .count = 5, .capacity = 8}));
        ASSERT_TRUE(ParseImageListStream(full));
        for (std::size_t size = 0; size < full.size(); ++size) {
            EXPECT_FALSE(ParseImageListStream({full.data(), size})) << bits << " bits, " << size;
        }
    }
}

struct FieldCase {
    const char* field;
    std::size_t offset;
    std::uint32_t value;
    bool accepted;
};

void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << c.field << "=" << c.value;
}

class HeaderFieldValue : public ::testing::TestWithParam<FieldCase> {};

TEST_P(HeaderFieldValue, IsRefusedOrReadConsistently) {
    const auto& c = GetParam();
    Bytes bytes = BaseStream();
    Put16(bytes, c.offset, c.value);
    EXPECT_EQ(ParseImageListStream(bytes).has_value(), c.accepted);
    ExpectSelfConsistentIfAccepted(bytes);
}

const FieldCase kFieldCases[] = {
    {"magic", 0, 0, false},        {"magic", 0, 1, false},        {"magic", 0, 0x7FFF, false},
    {"magic", 0, 0xFFFF, false},   {"version", 2, 0, false},      {"version", 2, 1, false},
    {"version", 2, 0x7FFF, false}, {"version", 2, 0xFFFF, false}, {"count", 4, 0, true},
    {"count", 4, 1, true},         {"count", 4, 0x7FFF, false},   {"count", 4, 0xFFFF, false},
    {"capacity", 6, 0, false},     {"capacity", 6, 1, false},     {"capacity", 6, 0x7FFF, true},
    {"capacity", 6, 0xFFFF, true}, {"grow", 8, 0, true},          {"grow", 8, 1, true},
    {"grow", 8, 0x7FFF, true},     {"grow", 8, 0xFFFF, true},     {"width", 10, 0, false},
    {"width", 10, 1, false},       {"width", 10, 0x7FFF, false},  {"width", 10, 0xFFFF, false},
    {"height", 12, 0, false},      {"height", 12, 1, true},       {"height", 12, 0x7FFF, false},
    {"height", 12, 0xFFFF, false}, {"background", 14, 0, true},   {"background", 16, 0xFFFF, true},
    {"flags", 18, 0, false},       {"flags", 18, 1, false},       {"flags", 18, 0x7FFF, true},
    {"flags", 18, 0xFFFF, true},   {"flags", 18, 0x0018, false},  {"flags", 18, 0x0020, true},
    {"overlay", 20, 0x7FFF, true}, {"overlay", 26, 0, true},
};

INSTANTIATE_TEST_SUITE_P(ZeroOneAndExtremes, HeaderFieldValue, ::testing::ValuesIn(kFieldCases),
                         [](const auto& info) {
                             return std::string(info.param.field) + "_" +
                                    std::to_string(info.param.offset) + "_" +
                                    std::to_string(info.param.value);
                         });

// Offsets inside the image bitmap, counted from its "BM".
constexpr std::size_t kImage = kStreamHeaderSize;
constexpr std::size_t kMask = kStreamHeaderSize + 54 + 64 * 4 * 32;

struct BitmapCase {
    const char* what;
    std::size_t offset;
    int width;  // 2 or 4 bytes
    std::uint32_t value;
};

void PrintTo(const BitmapCase& c, std::ostream* os) {
    *os << c.what;
}

class InconsistentBitmap : public ::testing::TestWithParam<BitmapCase> {};

TEST_P(InconsistentBitmap, IsRefused) {
    const auto& c = GetParam();
    Bytes bytes = BaseStream();
    if (c.width == 2)
        Put16(bytes, c.offset, c.value);
    else
        Put32(bytes, c.offset, c.value);
    EXPECT_FALSE(ParseImageListStream(bytes));
}

const BitmapCase kBitmapCases[] = {
    {"type", kImage, 2, 0x4142},
    {"infoSize12", kImage + 14, 4, 12},
    {"infoSize124", kImage + 14, 4, 124},
    {"narrower", kImage + 18, 4, 48},
    {"wider", kImage + 18, 4, 80},
    {"negativeWidth", kImage + 18, 4, static_cast<std::uint32_t>(-64)},
    {"topDown", kImage + 22, 4, static_cast<std::uint32_t>(-32)},
    {"zeroHeight", kImage + 22, 4, 0},
    {"notWholeCells", kImage + 22, 4, 31},
    {"tooFewCells", kImage + 22, 4, 16},
    {"hugeHeight", kImage + 22, 4, 0x7FFFFFF0},
    {"planes0", kImage + 26, 2, 0},
    {"planes2", kImage + 26, 2, 2},
    {"wrongDepth", kImage + 28, 2, 24},
    {"rle", kImage + 30, 4, 1},
    {"bitfields", kImage + 30, 4, 3},
    {"maskType", kMask, 2, 0},
    {"maskDepth", kMask + 28, 2, 8},
    {"maskNarrower", kMask + 18, 4, 32},
    {"maskTooFewCells", kMask + 22, 4, 16},
    {"maskTopDown", kMask + 22, 4, static_cast<std::uint32_t>(-32)},
    {"maskPaletteTooLong", kMask + 46, 4, 3},
    {"maskPaletteHuge", kMask + 46, 4, 0xFFFFFFFF},
    {"maskPaletteOne", kMask + 46, 4, 1},
    {"paletteAbove8Bits", kImage + 46, 4, 1},
};

INSTANTIATE_TEST_SUITE_P(Headers, InconsistentBitmap, ::testing::ValuesIn(kBitmapCases),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(MalformedStream, PaletteLongerThanTheDepthAllowsIsRefused) {
    Bytes bytes = WriteImageListStream(PatternList({.width = 4, .height = 4, .bitsPerPixel = 8}));
    Put32(bytes, kImage + 46, 257);
    EXPECT_FALSE(ParseImageListStream(bytes));
}

TEST(MalformedStream, ColourTableIsTwoToTheBitsWhateverColoursUsedSays) {
    // "Colours used" may only repeat the full length; a shorter table would shift the pixels.
    Bytes bytes = BaseStream();
    Put32(bytes, kMask + 46, 2);
    auto mask = ParseImageListStream(bytes);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->mask, ParseImageListStream(BaseStream())->mask);

    ImageListData fourBit = PatternList({.width = 5, .height = 3, .bitsPerPixel = 4, .count = 2});
    fourBit.palette[15] = 0x00ABCDEF;
    Bytes four = WriteImageListStream(fourBit);
    Put32(four, kImage + 46, 16);
    auto back = ParseImageListStream(four);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->palette, fourBit.palette);
    EXPECT_EQ(back->pixels, fourBit.pixels);
    for (std::uint32_t used : {1u, 8u, 15u, 17u}) {
        Put32(four, kImage + 46, used);
        EXPECT_FALSE(ParseImageListStream(four)) << used;
    }
}

TEST(MalformedStream, ForgedHugeDimensionsFailWithoutAllocating) {
    // 65535 x 65535 cells, 65535 of them, behind a 100-byte file: refused from the headers.
    Bytes bytes = BaseStream();
    bytes.resize(100);
    Put16(bytes, 4, 0xFFFF);
    Put16(bytes, 6, 0xFFFF);
    Put16(bytes, 10, 0xFFFF);
    Put16(bytes, 12, 0xFFFF);
    Put32(bytes, kImage + 18, 4 * 0xFFFF);
    Put32(bytes, kImage + 22, 0xFFFF * 16384);
    EXPECT_FALSE(ParseImageListStream(bytes));
}

// Writes the fuzzers' seed corpus when asked to; otherwise checks that the seeds parse.
TEST(SeedCorpus, StreamsOfEveryDepth) {
    const char* dir = std::getenv("ICONVALE_SEED_DIR");
    int n = 0;
    auto keep = [&](const Bytes& bytes) {
        ASSERT_TRUE(ParseImageListStream(bytes)) << "seed " << n;
        if (dir) {
            std::ofstream(std::filesystem::path(dir) / ("stream" + std::to_string(n)),
                          std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        }
        ++n;
    };
    for (int bits : {4, 8, 16, 24, 32}) {
        for (bool mask : {false, true}) {
            ImageListData list = PatternList(
                {.width = 3, .height = 2, .bitsPerPixel = bits, .mask = mask, .count = 5});
            keep(WriteImageListStream(list));
            keep(testing::LaidOutStream(list, {.version = kStreamVersionV6}));
        }
    }
    // A form designer's list: device-dependent 32 bits, no alpha, fewer rows than its capacity.
    ImageListData designer = PatternList({.width = 3, .height = 2, .count = 3, .capacity = 40});
    designer.flags = 0x10FF;
    testing::ClearAlpha(designer);
    keep(testing::LaidOutStream(designer, {.version = kStreamVersionXp, .rows = 3}));
}

}  // namespace
}  // namespace iconvale
