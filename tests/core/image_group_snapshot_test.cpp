#include <gtest/gtest.h>

#include <algorithm>

#include "core/dib_bitmaps.h"
#include "core/image_group.h"
#include "core/image_list_stream.h"
#include "support/stream_builders.h"
#include "support/test_icons.h"
#include "ui/large_buffer.h"

namespace iconvale {
namespace {

using testing::MakeCanonical;
using testing::PatternList;

ImageListData SavedList(const ImageGroup& group) {
    auto data = ParseImageListStream(group.SaveToBytes(0));
    return data ? *data : ImageListData{};
}

// Equal bytes, or where they first part.
::testing::AssertionResult SameBytes(const Bytes& expected, const Bytes& actual) {
    const auto diff = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    if (diff.first == expected.end() && diff.second == actual.end()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "sizes " << expected.size() << " and " << actual.size() << ", first difference at "
           << diff.first - expected.begin();
}

// A group opened from a stream with every field away from its default.
ImageGroup OpenedGroup(int bits, bool mask, int count = 6) {
    ImageListData list = PatternList({.width = 7,
                                      .height = 5,
                                      .bitsPerPixel = bits,
                                      .mask = mask,
                                      .count = count,
                                      .capacity = 9});
    MakeCanonical(list);
    list.flags |= 0x1000;
    list.overlays = {1, -1, -1, 3};
    ImageGroup group;
    group.LoadFromBytes(WriteImageListStream(list), 0);
    return group;
}

// A strip of `cells` 32-bit cells whose alpha is zero throughout, as many bitmaps are.
DibSection AlphalessStrip(int cells, int size) {
    DibSection strip = CreateTopDownSection(cells * size, size, 32, {});
    for (int y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(strip.pixels.Row(y));
        for (int x = 0; x < cells * size; ++x) row[x] = x % 3 == 0 ? 0x00FF00FF : 0x00102030u * x;
    }
    return strip;
}

TEST(ImageGroupSnapshot, RestoringGivesBackExactlyTheSavedGroup) {
    for (int bits : {4, 8, 16, 24, 32}) {
        for (bool mask : {false, true}) {
            ImageGroup group = OpenedGroup(bits, mask);
            ASSERT_TRUE(group.IsCreated()) << bits;
            const Bytes before = group.SaveToBytes(0);
            const Bytes snapshot = group.SnapshotBytes();
            ASSERT_FALSE(snapshot.empty()) << bits;

            group.Remove(2);
            group.SetBackgroundColour(0x00ABCDEF);
            ASSERT_TRUE(group.RestoreFromBytes(snapshot)) << bits;
            EXPECT_TRUE(SameBytes(before, group.SaveToBytes(0))) << bits << (mask ? " masked" : "");
        }
    }
}

TEST(ImageGroupSnapshot, GroupsBuiltHereComeBackBitForBit) {
    // Zero alpha in 32-bit images, a stretched icon with an alpha edge, a grown capacity and a
    // screen-depth group: states a stream never held.
    ImageGroup group;
    ASSERT_TRUE(group.Create(12, 12, ILC_COLOR32 | ILC_MASK, 2));
    DibSection strip = AlphalessStrip(3, 12);
    ASSERT_GE(group.AddStrip(strip.bitmap.get(), RGB(0xFF, 0x00, 0xFF)), 0);
    ASSERT_GE(
        group.AddIcon(
            testing::MakeIcon(
                20, 20, [](int x, int y) { return x + y < 12 ? 0u : 0x80000000u | (x * 10) << 8; })
                .get()),
        0);
    ASSERT_TRUE(group.ReplaceWithBitmap(1, strip.bitmap.get()));
    ImageGroup screen;
    ASSERT_TRUE(screen.Create(9, 9, ILC_COLORDDB));
    ASSERT_GE(screen.AddIcon(testing::SolidIcon(9, 9, 0x00336699).get()), 0);

    for (ImageGroup* built : {&group, &screen}) {
        const Bytes before = built->SaveToBytes(0);
        ImageGroup other;
        ASSERT_TRUE(other.RestoreFromBytes(built->SnapshotBytes()));
        EXPECT_TRUE(SameBytes(before, other.SaveToBytes(0)));
    }
}

TEST(ImageGroupSnapshot, CopiesSeeTheRestoredGroup) {
    ImageGroup group = OpenedGroup(32, true);
    const Bytes snapshot = group.SnapshotBytes();
    ImageGroup copy = group;
    group.Destroy();
    ASSERT_TRUE(group.RestoreFromBytes(snapshot));
    EXPECT_EQ(copy.GetCount(), 6);
    EXPECT_EQ(copy.GetHandle(), group.GetHandle());
}

TEST(ImageGroupSnapshot, AFailedRestoreLeavesTheGroupAsItWas) {
    ImageGroup group = OpenedGroup(24, true);
    const Bytes before = group.SaveToBytes(0);
    Bytes snapshot = OpenedGroup(32, true, 2).SnapshotBytes();
    snapshot.pop_back();
    EXPECT_FALSE(group.RestoreFromBytes(snapshot));
    EXPECT_FALSE(group.RestoreFromBytes(before)) << "a stream is not a snapshot";
    EXPECT_TRUE(SameBytes(before, group.SaveToBytes(0)));

    EXPECT_TRUE(ImageGroup().SnapshotBytes().empty()) << "no group";
    LargeBufferFailure noMemory;
    EXPECT_TRUE(group.SnapshotBytes().empty());
}

TEST(ImageGroupReorder, ImagesAndMasksMoveTogetherAndTheRestStays) {
    for (int bits : {4, 32}) {
        ImageGroup group = OpenedGroup(bits, true);
        const ImageListData before = SavedList(group);
        const std::vector<int> order = {5, 0, 3, 1, 2, 4};
        ASSERT_TRUE(group.Reorder(order)) << bits;
        const ImageListData after = SavedList(group);
        ASSERT_EQ(after.count, 6);
        for (int i = 0; i < 6; ++i) {
            for (int y = 0; y < 5; ++y) {
                for (int x = 0; x < 7; ++x) {
                    ASSERT_EQ(after.Pixel(i, x, y), before.Pixel(order[i], x, y)) << i;
                    ASSERT_EQ(after.Transparent(i, x, y), before.Transparent(order[i], x, y));
                }
            }
        }
        EXPECT_EQ(after.capacity, before.capacity);
        EXPECT_EQ(after.flags, before.flags);
        EXPECT_EQ(after.background, before.background);
        EXPECT_EQ(after.palette, before.palette);
    }
}

TEST(ImageGroupReorder, AnOrderThatIsNotOfEveryImageChangesNothing) {
    ImageGroup group = OpenedGroup(32, true);
    const Bytes before = group.SaveToBytes(0);
    for (const std::vector<int>& order :
         {std::vector<int>{0, 1, 2, 3, 4}, {0, 1, 2, 3, 4, 4}, {0, 1, 2, 3, 4, 6}}) {
        EXPECT_FALSE(group.Reorder(order));
    }
    EXPECT_TRUE(SameBytes(before, group.SaveToBytes(0)));
}

}  // namespace
}  // namespace iconvale
