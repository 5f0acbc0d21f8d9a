// Removing images shifts the rest down in place and leaves spare cells at the list's end. What the
// group then holds, saves, gives back on undo and redo, and takes next must be what the platform's
// own removal leaves, and what has alpha must be drawn through it.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/alpha_marks.h"
#include "core/group_change.h"
#include "core/image_group.h"
#include "core/image_list_stream.h"
#include "support/stream_builders.h"
#include "support/test_icons.h"

namespace iconvale {
namespace {

// The platform never takes back its mark that an image has alpha; but every image a fresh open
// of `expected` draws through its alpha must be drawn so here too.
void ExpectAlphaDrawnAsOpened(const ImageGroup& group, const ImageListData& expected) {
    ImageGroup opened;
    ASSERT_TRUE(opened.LoadFromBytes(WriteImageListStream(expected), 0));
    const auto ours = ReadAlphaMarks(group.GetHandle(), 0, group.GetCount());
    const auto theirs = ReadAlphaMarks(opened.GetHandle(), 0, opened.GetCount());
    ASSERT_TRUE(ours && theirs && ours->size() == theirs->size());
    for (std::size_t i = 0; i < ours->size(); ++i) {
        EXPECT_TRUE((*ours)[i] || !(*theirs)[i]) << "image " << i << " drawn through its mask";
    }
}

TEST(ImageGroupRemoval, LeavesWhatThePlatformsRemovalLeavesAndDrawsAlphaThroughIt) {
    struct Case {
        int bits;
        bool mask;
        int width;
        std::vector<int> removals;
    };
    // Rows of four cells: removals at the ends, inside a row, across rows and three at one place;
    // an odd width at the lower depths, whose cells do not start on a byte.
    const Case cases[] = {
        {32, true, 24, {0, 201, 100, 100, 100, 57}},
        {32, false, 24, {3, 3, 150}},
        {24, true, 7, {0, 120, 60}},
        {4, true, 7, {1, 199, 80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bits, mask " << c.mask);
        ImageListData list = testing::PatternList(
            {.width = c.width, .height = 20, .bitsPerPixel = c.bits, .mask = c.mask, .count = 203});
        testing::ClearAlphaOfEveryThird(list);
        const Bytes stream = WriteImageListStream(list);
        ImageGroup group;
        ImageGroup platform;
        ASSERT_TRUE(group.LoadFromBytes(stream, 0) && platform.LoadFromBytes(stream, 0));
        const Bytes start = group.SaveToBytes(0);

        ImageListData rest = list;
        GroupChange change;
        group.StartRecording(change);
        for (int i : c.removals) {
            ASSERT_TRUE(group.Remove(i));
            ASSERT_TRUE(::ImageList_Remove(platform.GetHandle(), i));
            rest.pixels.erase(rest.pixels.begin() + rest.ImageBytes() * i,
                              rest.pixels.begin() + rest.ImageBytes() * (i + 1));
            if (c.mask) {
                rest.mask.erase(rest.mask.begin() + rest.MaskBytes() * i,
                                rest.mask.begin() + rest.MaskBytes() * (i + 1));
            }
            --rest.count;
        }
        group.StopRecording();
        const Bytes removed = group.SaveToBytes(0);
        EXPECT_TRUE(removed == platform.SaveToBytes(0));
        ExpectAlphaDrawnAsOpened(group, rest);

        ImageGroup outgoing;
        ASSERT_TRUE(group.TurnChange(change, outgoing));
        EXPECT_TRUE(group.SaveToBytes(0) == start) << "undone";
        ExpectAlphaDrawnAsOpened(group, list);
        ASSERT_TRUE(group.TurnChange(change, outgoing));
        EXPECT_TRUE(group.SaveToBytes(0) == removed) << "redone";

        // What comes next goes after the last image, as the platform's add would put it.
        const UniqueIcon icon = testing::SolidIcon(c.width, 20, 0x00336699);
        EXPECT_EQ(group.AddIcon(icon.get()), platform.GetCount());
        platform.AddIcon(icon.get());
        EXPECT_TRUE(group.SaveToBytes(0) == platform.SaveToBytes(0)) << "added after removals";
    }
}

}  // namespace
}  // namespace iconvale
