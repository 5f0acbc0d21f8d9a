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
ImageGroup OpenedGroup(int bits, bool mask) {
    ImageListData list = testing::PatternList(
        {.width = 7, .height = 5, .bitsPerPixel = bits, .mask = mask, .count = 6, .capacity = 9});
    testing::MakeCanonical(list);
    list.flags |= 0x1000;
    list.overlays = {1, -1, -1, 3};
    ImageGroup group;
    group.LoadFromBytes(WriteImageListStream(list), 0);
    return group;
}

TEST(ImageGroupSnapshot, RestoringGivesBackExactlyTheGroupThatWasTaken) {
    for (int bits : {4, 8, 16, 24, 32}) {
        for (bool mask : {false, true}) {
            ImageGroup group = OpenedGroup(bits, mask);
            const Bytes before = group.SaveToBytes(0);
            const Bytes snapshot = group.SnapshotBytes();
            ASSERT_FALSE(snapshot.empty()) << bits;

            ImageGroup copy = group;
            group.Remove(2);
            group.SetBackgroundColour(0x00ABCDEF);
            ASSERT_TRUE(group.RestoreFromBytes(snapshot)) << bits;
            EXPECT_TRUE(SameBytes(before, copy.SaveToBytes(0)))
                << bits << (mask ? " masked" : "") << ", seen through a copy";
        }
    }
}

TEST(ImageGroupSnapshot, GroupsBuiltHereComeBackBitForBit) {
    // A 32-bit strip whose alpha is zero throughout, an icon with a soft edge stretched into the
    // cell, a grown capacity, and a group at the screen's depth: states no stream held.
    DibSection strip = CreateTopDownSection(36, 12, 32, {});
    for (int y = 0; y < 12; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(strip.pixels.Row(y));
        for (int x = 0; x < 36; ++x) row[x] = x % 3 == 0 ? 0x00FF00FF : 0x00102030u * x;
    }
    ImageGroup group;
    ASSERT_TRUE(group.Create(12, 12, ILC_COLOR32 | ILC_MASK, 2));
    ASSERT_GE(group.AddStrip(strip.bitmap.get(), RGB(0xFF, 0x00, 0xFF)), 0);
    auto icon = testing::MakeIcon(
        20, 20, [](int x, int y) { return x + y < 12 ? 0u : 0x80000000u | (x * 10) << 8; });
    ASSERT_GE(group.AddIcon(icon.get()), 0);
    ASSERT_TRUE(group.ReplaceWithBitmap(1, strip.bitmap.get()));
    ImageGroup screen;
    ASSERT_TRUE(screen.Create(9, 9, ILC_COLORDDB));
    ASSERT_GE(screen.AddIcon(testing::SolidIcon(9, 9, 0x00336699).get()), 0);

    for (ImageGroup* built : {&group, &screen}) {
        ImageGroup other;
        ASSERT_TRUE(other.RestoreFromBytes(built->SnapshotBytes()));
        EXPECT_TRUE(SameBytes(built->SaveToBytes(0), other.SaveToBytes(0)));
    }
}

TEST(ImageGroupSnapshot, FailuresLeaveTheGroupAsItWas) {
    ImageGroup group = OpenedGroup(24, true);
    const Bytes before = group.SaveToBytes(0);
    Bytes snapshot = OpenedGroup(32, true).SnapshotBytes();
    snapshot.pop_back();
    EXPECT_FALSE(group.RestoreFromBytes(snapshot));
    EXPECT_FALSE(group.RestoreFromBytes(before)) << "a stream is not a snapshot";
    for (const std::vector<int>& order : {std::vector<int>{0, 1, 2, 3, 4}, {0, 1, 2, 3, 4, 4}}) {
        EXPECT_FALSE(group.Reorder(order));
    }
    EXPECT_TRUE(SameBytes(before, group.SaveToBytes(0)));

    EXPECT_TRUE(ImageGroup().SnapshotBytes().empty()) << "no group";
    LargeBufferFailure noMemory;
    EXPECT_TRUE(group.SnapshotBytes().empty());
}

TEST(ImageGroupSnapshot, ReorderMovesImagesWithTheirMasksAndKeepsTheRest) {
    for (int bits : {4, 32}) {
        ImageGroup group = OpenedGroup(bits, true);
        const auto before = ParseImageListStream(group.SaveToBytes(0));
        const std::vector<int> order = {5, 0, 3, 1, 2, 4};
        ASSERT_TRUE(before && group.Reorder(order)) << bits;
        auto expected = *before;
        for (int i = 0; i < 6; ++i) {
            std::copy_n(&before->pixels[order[i] * before->ImageBytes()], before->ImageBytes(),
                        &expected.pixels[i * before->ImageBytes()]);
            std::copy_n(&before->mask[order[i] * before->MaskBytes()], before->MaskBytes(),
                        &expected.mask[i * before->MaskBytes()]);
        }
        EXPECT_TRUE(SameBytes(WriteImageListStream(expected), group.SaveToBytes(0))) << bits;
    }
}

}  // namespace
}  // namespace iconvale
