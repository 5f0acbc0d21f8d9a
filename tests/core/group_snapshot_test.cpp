#include "core/group_snapshot.h"

#include <gtest/gtest.h>

#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::PatternList;

Bytes SnapshotOf(const ImageListData& list, std::span<const int> order = {}) {
    const CellRows image = CellRows::Blocks(list.pixels.data(), list.RowBytes(), list.height);
    const CellRows mask = CellRows::Blocks(list.mask.data(), list.MaskRowBytes(), list.height);
    return WriteGroupSnapshot(list, image, list.HasMask() ? &mask : nullptr, order);
}

TEST(GroupSnapshot, FieldsAndCellsReadBackAsWritten) {
    for (int bits : {4, 8, 16, 24, 32}) {
        for (bool mask : {false, true}) {
            ImageListData list = PatternList(
                {.width = 7, .height = 5, .bitsPerPixel = bits, .mask = mask, .count = 6});
            list.flags |= 0x1000;
            list.overlays = {1, -1, -1, 3};
            list.grow = 12;
            const Bytes snapshot = SnapshotOf(list);
            EXPECT_EQ(snapshot.size(),
                      36 + 4 * list.palette.size() + list.pixels.size() + list.mask.size());
            auto view = ReadGroupSnapshot(snapshot);
            ASSERT_TRUE(view) << bits;
            EXPECT_EQ(view->fields.capacity, list.capacity);
            EXPECT_EQ(view->fields.overlays, list.overlays);
            EXPECT_EQ(view->fields.palette, list.palette);
            // Written again from what was read, every field and bit gives the same bytes.
            const Bytes again =
                WriteGroupSnapshot(view->fields, view->image, view->mask ? &*view->mask : nullptr);
            EXPECT_EQ(again, snapshot) << bits << (mask ? " masked" : "");
        }
    }
}

TEST(GroupSnapshot, AnythingButAWholeConsistentSnapshotOrOrderIsRefused) {
    ImageListData list = PatternList({.width = 4, .height = 4, .bitsPerPixel = 8, .count = 3});
    const Bytes snapshot = SnapshotOf(list);
    ASSERT_TRUE(ReadGroupSnapshot(snapshot));
    for (std::size_t size : {std::size_t{0}, std::size_t{35}, snapshot.size() - 1}) {
        EXPECT_FALSE(ReadGroupSnapshot(std::span(snapshot).first(size))) << size;
    }
    Bytes longer = snapshot;
    longer.push_back(0);
    Bytes otherTag = snapshot;
    otherTag[0] ^= 1;
    Bytes otherDepth = snapshot;
    otherDepth[32] = 24;  // bits per pixel against the flags' 8
    for (const Bytes& bad : {longer, otherTag, otherDepth}) EXPECT_FALSE(ReadGroupSnapshot(bad));

    const CellRows image = CellRows::Blocks(list.pixels.data(), list.RowBytes(), list.height);
    EXPECT_TRUE(WriteGroupSnapshot(list, image, nullptr).empty()) << "the flags ask for a mask";
    EXPECT_TRUE(SnapshotOf(list, std::vector<int>{0, 1, 1}).empty()) << "not an order of all";
    EXPECT_TRUE(SnapshotOf(list, std::vector<int>{0, 1}).empty());
}

}  // namespace
}  // namespace iconvale
