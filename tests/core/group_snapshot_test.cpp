#include "core/group_snapshot.h"

#include <gtest/gtest.h>

#include "core/bit_rows.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::PatternList;

Bytes SnapshotOf(const ImageListData& list, std::span<const int> order = {}) {
    const CellRows image = CellRows::Blocks(list.pixels.data(), list.RowBytes(), list.height);
    const CellRows mask = CellRows::Blocks(list.mask.data(), list.MaskRowBytes(), list.height);
    return WriteGroupSnapshot(list, image, list.HasMask() ? &mask : nullptr, order);
}

// The snapshot's fields with its cells copied out into blocks of their own.
std::optional<ImageListData> ReadBack(const Bytes& snapshot) {
    auto view = ReadGroupSnapshot(snapshot);
    if (!view) return std::nullopt;
    ImageListData list = view->fields;
    list.AllocateImages();
    for (int i = 0; i < list.count; ++i) {
        for (int y = 0; y < list.height; ++y) {
            CopyBits(list.ImageRow(i, y), 0, view->image.Row(i, y), view->image.FirstBit(i),
                     std::size_t{list.width} * list.bitsPerPixel);
            if (view->mask) {
                CopyBits(list.MaskRow(i, y), 0, view->mask->Row(i, y), view->mask->FirstBit(i),
                         list.width);
            }
        }
    }
    return list;
}

TEST(GroupSnapshot, EveryFieldAndEveryBitComesBack) {
    for (int bits : {4, 8, 16, 24, 32}) {
        for (bool mask : {false, true}) {
            ImageListData list = PatternList(
                {.width = 7, .height = 5, .bitsPerPixel = bits, .mask = mask, .count = 6});
            list.flags |= 0x1000;
            list.overlays = {1, -1, -1, 3};
            list.grow = 12;
            list.capacity = 40;
            auto back = ReadBack(SnapshotOf(list));
            ASSERT_TRUE(back) << bits;
            EXPECT_EQ(back->count, list.count);
            EXPECT_EQ(back->capacity, list.capacity);
            EXPECT_EQ(back->grow, list.grow);
            EXPECT_EQ(back->width, list.width);
            EXPECT_EQ(back->height, list.height);
            EXPECT_EQ(back->background, list.background);
            EXPECT_EQ(back->flags, list.flags);
            EXPECT_EQ(back->overlays, list.overlays);
            EXPECT_EQ(back->bitsPerPixel, bits);
            EXPECT_EQ(back->palette, list.palette);
            EXPECT_EQ(back->pixels, list.pixels) << bits << (mask ? " masked" : "");
            EXPECT_EQ(back->mask, list.mask);
        }
    }
}

TEST(GroupSnapshot, HoldsLittleMoreThanThePixels) {
    ImageListData list = PatternList({.width = 32, .height = 32, .count = 64});
    EXPECT_EQ(SnapshotOf(list).size(), 36 + list.pixels.size() + list.mask.size());
}

TEST(GroupSnapshot, AnOrderTakesImagesAndMasksTogether) {
    ImageListData list = PatternList({.width = 5, .height = 3, .bitsPerPixel = 4, .count = 4});
    const std::vector<int> order = {2, 0, 3, 1};
    auto back = ReadBack(SnapshotOf(list, order));
    ASSERT_TRUE(back);
    for (int i = 0; i < 4; ++i) {
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                EXPECT_EQ(back->Pixel(i, x, y), list.Pixel(order[i], x, y));
                EXPECT_EQ(back->Transparent(i, x, y), list.Transparent(order[i], x, y));
            }
        }
    }
    EXPECT_TRUE(SnapshotOf(list, std::vector<int>{0, 1, 1, 2}).empty());
    EXPECT_TRUE(SnapshotOf(list, std::vector<int>{0, 1, 2}).empty());
}

TEST(GroupSnapshot, AnythingButAWholeSnapshotIsRefused) {
    ImageListData list = PatternList({.width = 4, .height = 4, .bitsPerPixel = 8, .count = 3});
    const Bytes snapshot = SnapshotOf(list);
    ASSERT_TRUE(ReadGroupSnapshot(snapshot));
    for (std::size_t size : {std::size_t{0}, std::size_t{35}, snapshot.size() - 1}) {
        EXPECT_FALSE(ReadGroupSnapshot(std::span(snapshot).first(size))) << size;
    }
    Bytes longer = snapshot;
    longer.push_back(0);
    EXPECT_FALSE(ReadGroupSnapshot(longer));
    Bytes otherTag = snapshot;
    otherTag[0] ^= 1;
    EXPECT_FALSE(ReadGroupSnapshot(otherTag));
    Bytes otherDepth = snapshot;
    otherDepth[32] = 24;  // bits per pixel against the flags' 8
    EXPECT_FALSE(ReadGroupSnapshot(otherDepth));

    ImageListData maskless = list;
    maskless.flags &= ~kMaskFlag;
    const CellRows image = CellRows::Blocks(list.pixels.data(), list.RowBytes(), list.height);
    EXPECT_TRUE(WriteGroupSnapshot(list, image, nullptr).empty()) << "the flags ask for a mask";
    EXPECT_FALSE(WriteGroupSnapshot(maskless, image, nullptr).empty());
}

}  // namespace
}  // namespace iconvale
