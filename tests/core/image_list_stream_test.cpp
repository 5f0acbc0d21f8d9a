#include "core/image_list_stream.h"

#include <gtest/gtest.h>

#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::ListShape;
using testing::PatternList;
using testing::SameImages;

struct RoundTripCase {
    int bitsPerPixel;
    bool mask;
    int count;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.bitsPerPixel << " bits, " << (c.mask ? "masked, " : "plain, ") << c.count;
}

class StreamRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(StreamRoundTrip, EveryFieldAndPixelComesBack) {
    const auto& c = GetParam();
    ImageListData list = PatternList({.width = 5,
                                      .height = 3,
                                      .bitsPerPixel = c.bitsPerPixel,
                                      .mask = c.mask,
                                      .count = c.count,
                                      .capacity = c.count + 6});
    list.overlays = {2, -1, 0, -1};
    list.background = c.count % 2 ? kNoColour : 0x00123456;
    list.flags |= 0x1000;  // a bit this program neither sets nor reads must survive

    Bytes bytes = WriteImageListStream(list);
    ASSERT_FALSE(bytes.empty());
    auto back = ParseImageListStream(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->count, list.count);
    EXPECT_EQ(back->capacity, list.capacity);
    EXPECT_EQ(back->grow, list.grow);
    EXPECT_EQ(back->width, list.width);
    EXPECT_EQ(back->height, list.height);
    EXPECT_EQ(back->background, list.background);
    EXPECT_EQ(back->flags, list.flags);
    EXPECT_EQ(back->overlays, list.overlays);
    EXPECT_EQ(back->bitsPerPixel, list.bitsPerPixel);
    EXPECT_EQ(back->palette, list.palette);
    EXPECT_EQ(back->pixels, list.pixels);
    EXPECT_EQ(back->mask, list.mask);
    EXPECT_TRUE(SameImages(list, *back));
}

std::vector<RoundTripCase> AllRoundTrips() {
    std::vector<RoundTripCase> cases;
    for (int bits : {4, 8, 16, 24, 32})
        for (bool mask : {false, true})
            for (int count : {0, 1, 4, 5}) cases.push_back({bits, mask, count});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(DepthsMasksCounts, StreamRoundTrip, ::testing::ValuesIn(AllRoundTrips()),
                         [](const auto& info) {
                             return std::to_string(info.param.bitsPerPixel) + "bit" +
                                    (info.param.mask ? "Masked" : "Plain") +
                                    std::to_string(info.param.count);
                         });

TEST(StreamLayout, FiveImagesOfCapacityEightMakeTwoCellRows) {
    ImageListData list = PatternList({.width = 16, .height = 16, .count = 5, .capacity = 8});
    Bytes bytes = WriteImageListStream(list);
    const std::uint8_t* image = bytes.data() + kStreamHeaderSize;
    EXPECT_EQ(ReadU16(image), 0x4D42);
    EXPECT_EQ(ReadU32(image + 2), 54u) << "bfSize holds the header size only";
    EXPECT_EQ(ReadU32(image + 10), 54u);
    EXPECT_EQ(ReadU32(image + 18), 64u);  // 4 x cx
    EXPECT_EQ(ReadU32(image + 22), 32u);  // 2 x cy, bottom-up
    EXPECT_EQ(ReadU32(image + 34), 64u * 4 * 32);

    // Image 4 is the first cell of the lower cell row: the first rows of the file.
    const std::uint8_t* pixels = image + 54;
    for (int y = 0; y < 16; ++y) {
        std::uint32_t fileRow = 31 - (16 + y);
        EXPECT_EQ(ReadU32(pixels + fileRow * 256), list.Pixel(4, 0, y));
    }
    const std::uint8_t* mask = image + 54 + 64 * 4 * 32;
    EXPECT_EQ(ReadU32(mask + 2), 62u);
    EXPECT_EQ(ReadU32(mask + 54), 0x00000000u);  // black, then white
    EXPECT_EQ(ReadU32(mask + 58), 0x00FFFFFFu);
    EXPECT_EQ(bytes.size(), kStreamHeaderSize + 54 + 8192 + 62 + 8 * 32);
}

TEST(StreamLayout, UnusedCellsAreWrittenAsZero) {
    ImageListData list =
        PatternList({.width = 2, .height = 2, .bitsPerPixel = 8, .count = 1, .capacity = 4});
    for (auto& b : list.pixels) b = 0xFF;
    Bytes bytes = WriteImageListStream(list);
    const std::uint8_t* pixels = bytes.data() + kStreamHeaderSize + 54 + 1024;
    // Row 1 of the file is the top row: the cell of image 0 and three empty cells.
    EXPECT_EQ(pixels[8 + 0], 0xFF);
    EXPECT_EQ(pixels[8 + 1], 0xFF);
    for (int x = 2; x < 8; ++x) EXPECT_EQ(pixels[8 + x], 0) << x;
}

TEST(StreamLayout, UnmaskedListEndsAfterTheImageBitmap) {
    ImageListData list = PatternList(
        {.width = 4, .height = 4, .bitsPerPixel = 24, .mask = false, .count = 2, .capacity = 4});
    Bytes bytes = WriteImageListStream(list);
    EXPECT_EQ(bytes.size(), kStreamHeaderSize + 54 + RowStride(16, 24) * 4);
}

TEST(StreamLayout, MissingPaletteFallsBackToTheDefault) {
    ImageListData list = PatternList({.width = 4, .height = 4, .bitsPerPixel = 4, .count = 1});
    list.palette.clear();
    auto back = ParseImageListStream(WriteImageListStream(list));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->palette, DefaultPalette(4));
    EXPECT_EQ(DefaultPalette(8).size(), 256u);
}

TEST(StreamReading, TrailingBytesAreIgnored) {
    ImageListData list = PatternList({.count = 2});
    Bytes bytes = WriteImageListStream(list);
    bytes.insert(bytes.end(), 100, 0xAB);
    auto back = ParseImageListStream(bytes);
    ASSERT_TRUE(back);
    EXPECT_TRUE(SameImages(list, *back));
}

TEST(StreamReading, FewerRowsThanTheCapacityNeedsAreReadWhenTheCountFits) {
    // Written elsewhere: capacity 12 would mean three cell rows, but one row holds the 3 images.
    ImageListData list = PatternList({.width = 4, .height = 4, .count = 3, .capacity = 4});
    Bytes bytes = WriteImageListStream(list);
    bytes[6] = 12;
    auto back = ParseImageListStream(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->capacity, 12);
    EXPECT_TRUE(SameImages(list, *back));
}

TEST(StreamReading, DeviceDependentListTakesItsDepthFromTheBitmap) {
    for (int bits : {8, 16, 24, 32}) {
        ImageListData list =
            PatternList({.width = 6, .height = 5, .bitsPerPixel = bits, .count = 5});
        list.flags = kDeviceDepth | kMaskFlag;
        Bytes bytes = WriteImageListStream(list);
        ASSERT_FALSE(bytes.empty()) << bits;
        auto back = ParseImageListStream(bytes);
        ASSERT_TRUE(back) << bits;
        EXPECT_EQ(back->flags, kDeviceDepth | kMaskFlag);
        EXPECT_EQ(back->bitsPerPixel, bits);
        EXPECT_TRUE(SameImages(list, *back));
        EXPECT_EQ(WriteImageListStream(*back), bytes);
    }
}

TEST(StreamWriting, RefusesDataThatCouldNotBeReadBack) {
    ImageListData list = PatternList({.count = 2});
    ImageListData zeroWidth = list;
    zeroWidth.width = 0;
    EXPECT_TRUE(WriteImageListStream(zeroWidth).empty());
    ImageListData wrongDepth = list;
    wrongDepth.flags = 24 | kMaskFlag;
    EXPECT_TRUE(WriteImageListStream(wrongDepth).empty());
    ImageListData shortPixels = list;
    shortPixels.pixels.pop_back();
    EXPECT_TRUE(WriteImageListStream(shortPixels).empty());
    ImageListData noMask = list;
    noMask.mask.clear();
    EXPECT_TRUE(WriteImageListStream(noMask).empty());
    // The capacity is lowered to the count where it cannot be written, so the one row of cells
    // that even an empty list writes must itself be over the budget.
    ImageListData huge = PatternList({.width = 4096, .height = 4097, .count = 0, .capacity = 8});
    EXPECT_TRUE(WriteImageListStream(huge).empty()) << "over the bitmap budget";
}

TEST(StreamWriting, CapacityBelowTheCountIsRaisedToIt) {
    ImageListData list = PatternList({.width = 3, .height = 3, .count = 6, .capacity = 6});
    list.capacity = 2;
    auto back = ParseImageListStream(WriteImageListStream(list));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->capacity, 6);
}

TEST(StreamCapacity, ALargeCapacityIsReadAndLoweredToTheCountOnlyWhereItCannotBeWritten) {
    // 65535 cells of 64 x 64 would take a 1 GiB bitmap; the stream holds one row of them.
    ImageListData list = PatternList({.width = 64, .height = 64, .count = 3, .capacity = 4});
    Bytes bytes = WriteImageListStream(list);
    bytes[6] = bytes[7] = 0xFF;
    auto opened = ParseImageListStream(bytes);
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->capacity, 65535);
    EXPECT_EQ(WritableCapacity(*opened), 3);
    auto reopened = ParseImageListStream(WriteImageListStream(*opened));
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->capacity, 3);
    EXPECT_TRUE(SameImages(list, *reopened));

    ImageListData small = PatternList({.width = 2, .height = 2, .count = 1, .capacity = 65535});
    EXPECT_EQ(WritableCapacity(small), 65535) << "a capacity that fits is kept";
}

TEST(PixelAccess, FourBitPixelsPackHighNibbleFirst) {
    ImageListData list = PatternList({.width = 3, .height = 1, .bitsPerPixel = 4, .count = 1});
    list.SetPixel(0, 0, 0, 0xA);
    list.SetPixel(0, 1, 0, 0x5);
    list.SetPixel(0, 2, 0, 0xC);
    EXPECT_EQ(list.ImageRow(0, 0)[0], 0xA5);
    EXPECT_EQ(list.ImageRow(0, 0)[1] >> 4, 0xC);
    EXPECT_EQ(list.Pixel(0, 2, 0), 0xCu);
}

}  // namespace
}  // namespace iconvale
