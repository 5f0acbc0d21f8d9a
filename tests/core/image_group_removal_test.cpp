// Removing images shifts the rest down in place and leaves spare cells at the list's end. What the
// group then holds, saves, gives back on undo and redo, and takes next must be what the platform's
// own removal leaves, and what has alpha must be drawn through it.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/alpha_marks.h"
#include "core/dib_bitmaps.h"
#include "core/group_change.h"
#include "core/image_group.h"
#include "core/image_list_stream.h"
#include "support/stream_builders.h"
#include "support/test_icons.h"

namespace iconvale {
namespace {

// The list opened with image `index` taken out of it beforehand.
ImageListData Without(ImageListData list, int index) {
    auto cut = [index](Bytes& bytes, std::size_t each) {
        bytes.erase(bytes.begin() + each * index, bytes.begin() + each * (index + 1));
    };
    cut(list.pixels, list.ImageBytes());
    if (list.HasMask()) cut(list.mask, list.MaskBytes());
    --list.count;
    return list;
}

// The platform never takes back its mark that an image has alpha; but every image a fresh open
// draws through its alpha must be drawn so here too.
void ExpectAlphaDrawnAsOpened(const ImageGroup& group, const ImageGroup& opened) {
    const auto ours = ReadAlphaMarks(group.GetHandle(), 0, group.GetCount());
    const auto theirs = ReadAlphaMarks(opened.GetHandle(), 0, opened.GetCount());
    ASSERT_TRUE(ours && theirs && ours->size() == theirs->size());
    for (std::size_t i = 0; i < ours->size(); ++i) {
        if ((*theirs)[i]) {
            EXPECT_TRUE((*ours)[i]) << "image " << i << " drawn through its mask";
        }
    }
}

DibSection TwoCellStrip(int width, int height) {
    DibSection strip = CreateTopDownSection(2 * width, height, 32, {});
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(strip.pixels.Row(y));
        for (int x = 0; x < 2 * width; ++x) row[x] = 0xFF000000u | (0x00030507u * (x + y));
    }
    return strip;
}

TEST(ImageGroupRemoval, LeavesWhatThePlatformsRemovalLeavesAndDrawsAlphaThroughIt) {
    struct Case {
        int bits;
        bool mask;
        int width;
        int height;
        std::vector<int> removals;
    };
    // Rows of four cells: removals at the ends, inside a row and across rows; odd widths at the
    // lower depths, whose cells do not start on a byte.
    const Case cases[] = {
        {32, true, 24, 20, {0, 201, 100, 100, 57}},
        {32, false, 24, 20, {3, 3, 150}},
        {24, true, 7, 5, {0, 120, 60}},
        {4, true, 7, 5, {1, 199, 80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bits, mask " << c.mask);
        ImageListData list = testing::PatternList({.width = c.width,
                                                   .height = c.height,
                                                   .bitsPerPixel = c.bits,
                                                   .mask = c.mask,
                                                   .count = 203});
        // Every third image without alpha, which the platform draws through its mask instead.
        for (int i = 0; c.bits == 32 && i < list.count; i += 3) {
            for (int y = 0; y < list.height; ++y)
                for (int x = 0; x < list.width; ++x)
                    list.SetPixel(i, x, y, list.Pixel(i, x, y) & 0x00FFFFFFu);
        }
        const Bytes stream = WriteImageListStream(list);
        ImageGroup group;
        ImageGroup platform;
        ASSERT_TRUE(group.LoadFromBytes(stream, 0) && platform.LoadFromBytes(stream, 0));
        const Bytes start = group.SaveToBytes(0);
        ImageListData rest = list;
        for (int i : c.removals) rest = Without(std::move(rest), i);
        ImageGroup original;
        ImageGroup opened;
        ASSERT_TRUE(original.LoadFromBytes(stream, 0) &&
                    opened.LoadFromBytes(WriteImageListStream(rest), 0));

        GroupChange change;
        group.StartRecording(change);
        for (int i : c.removals) {
            ASSERT_TRUE(group.Remove(i));
            ASSERT_TRUE(::ImageList_Remove(platform.GetHandle(), i));
        }
        group.StopRecording();
        ASSERT_EQ(group.GetCount(), platform.GetCount());
        const Bytes removed = group.SaveToBytes(0);
        EXPECT_TRUE(removed == platform.SaveToBytes(0));
        ExpectAlphaDrawnAsOpened(group, opened);

        ImageGroup outgoing;
        ASSERT_TRUE(group.TurnChange(change, outgoing));
        EXPECT_TRUE(group.SaveToBytes(0) == start) << "undone";
        ExpectAlphaDrawnAsOpened(group, original);
        ASSERT_TRUE(group.TurnChange(change, outgoing));
        EXPECT_TRUE(group.SaveToBytes(0) == removed) << "redone";
        ExpectAlphaDrawnAsOpened(group, opened);

        // What comes next goes after the last image, as the platform's add would put it.
        const UniqueIcon icon = testing::SolidIcon(c.width, c.height, 0x00336699);
        EXPECT_EQ(group.AddIcon(icon.get()), platform.GetCount());
        const DibSection strip = TwoCellStrip(c.width, c.height);
        EXPECT_EQ(group.AddStrip(strip.bitmap.get(), std::nullopt), platform.GetCount() + 1);
        for (ImageGroup* other : {&platform, &opened}) {
            other->AddIcon(icon.get());
            other->AddStrip(strip.bitmap.get(), std::nullopt);
        }
        EXPECT_TRUE(group.SaveToBytes(0) == platform.SaveToBytes(0)) << "added after removals";
        ExpectAlphaDrawnAsOpened(group, opened);

        group.Remove(0);
        ASSERT_TRUE(group.Clear());
        EXPECT_EQ(group.GetCount(), 0);
        EXPECT_EQ(group.AddIcon(icon.get()), 0);
    }
}

}  // namespace
}  // namespace iconvale
