// Streams written by comctl32 6 (one cell to a row) and by other writers: the geometry comes from
// the bitmaps, and what we write back is always version 0x0101.
#include <gtest/gtest.h>

#include "core/image_list_stream.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::LaidOutStream;
using testing::PatternList;
using testing::SameImages;

TEST(StreamVersions, OneCellToARowIsReadAtEveryDepthForBothLaterVersions) {
    for (std::uint16_t version : {kStreamVersionXp, kStreamVersionV6}) {
        for (int bits : {4, 8, 16, 24, 32}) {
            for (bool mask : {false, true}) {
                ImageListData list = PatternList({.width = 5,
                                                  .height = 3,
                                                  .bitsPerPixel = bits,
                                                  .mask = mask,
                                                  .count = 6,
                                                  .capacity = 9});
                list.overlays = {1, -1, -1, 0};
                auto back =
                    ParseImageListStream(LaidOutStream(list, {.version = version, .rows = 9}));
                ASSERT_TRUE(back) << version << " " << bits << (mask ? " masked" : "");
                EXPECT_EQ(back->capacity, 9);
                EXPECT_EQ(back->overlays, list.overlays);
                EXPECT_EQ(back->palette, list.palette);
                EXPECT_EQ(back->pixels, list.pixels);
                EXPECT_EQ(back->mask, list.mask);
            }
        }
    }
    // Any whole number of cells to a row is read; a part of a cell, or 0x0101 laid out other than
    // four to a row, is not.
    ImageListData list = PatternList({.width = 4, .height = 4, .count = 5});
    EXPECT_TRUE(SameImages(list, *ParseImageListStream(LaidOutStream(list, {.columns = 2}))));
    Bytes partCell = LaidOutStream(list, {.columns = 2});
    partCell[kStreamHeaderSize + 18] = 9;
    EXPECT_FALSE(ParseImageListStream(partCell));
    EXPECT_FALSE(ParseImageListStream(LaidOutStream(list, {.version = kStreamVersion})));
    EXPECT_FALSE(ParseImageListStream(LaidOutStream(list, {.version = 0x0500})));
}

TEST(StreamVersions, FewerRowsThanTheCapacityImpliesAreReadWhileTheyHoldTheCount) {
    ImageListData list = PatternList({.width = 8, .height = 8, .count = 3, .capacity = 888});
    auto back = ParseImageListStream(LaidOutStream(list, {.rows = 3}));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->capacity, 888);
    EXPECT_TRUE(SameImages(list, *back));
    EXPECT_FALSE(ParseImageListStream(LaidOutStream(list, {.rows = 2})));
}

TEST(StreamVersions, DeviceDependentListTakesTheBitmapsDepth) {
    for (int bits : {8, 16, 24, 32}) {
        ImageListData list =
            PatternList({.width = 6, .height = 5, .bitsPerPixel = bits, .count = 4});
        list.flags = 0x1000 | kDeviceDepth | kMaskFlag;
        auto back = ParseImageListStream(LaidOutStream(list, {.version = kStreamVersionV6}));
        ASSERT_TRUE(back) << bits;
        EXPECT_EQ(back->flags, list.flags);
        EXPECT_EQ(back->bitsPerPixel, bits);
        EXPECT_TRUE(SameImages(list, *back));
    }
}

TEST(StreamVersions, ALaterVersionIsWrittenBackAsVersion0101WithTheSameImages) {
    ImageListData list = PatternList({.width = 16, .height = 16, .count = 5, .capacity = 7});
    list.flags = 0x10FF;
    testing::ClearAlpha(list);
    auto v6 = ParseImageListStream(LaidOutStream(list, {.version = kStreamVersionXp, .rows = 5}));
    ASSERT_TRUE(v6);
    Bytes written = WriteImageListStream(*v6);
    EXPECT_EQ(ReadU16(written.data() + 2), kStreamVersion);
    EXPECT_EQ(ReadU32(written.data() + kStreamHeaderSize + 18), 64u) << "four cells to a row";
    auto back = ParseImageListStream(written);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->flags, 0x10FF);
    EXPECT_EQ(back->capacity, 7);
    EXPECT_EQ(back->pixels, list.pixels) << "alpha is left to the group, not the codec";
    EXPECT_EQ(back->mask, list.mask);
}

}  // namespace
}  // namespace iconvale
