// Opening a group file hands the file's pages back as its images go into the list: a group of
// several parts comes out exactly as one opened from the whole file held.
#include <gtest/gtest.h>

#include <vector>

#include "app/group_files.h"
#include "core/file_io.h"
#include "core/image_group.h"
#include "core/image_list_stream.h"
#include "support/stream_builders.h"
#include "support/temp_folder.h"

namespace iconvale {
namespace {

TEST(GroupFiles, AGroupOpenedPartByPartEqualsOneOpenedFromTheWholeFile) {
    // 48 x 48 cells of 32 bits: 16 MiB of the list's bitmap a part, so three parts and a rest.
    const ImageListData list = testing::PatternList(
        {.width = 48, .height = 48, .bitsPerPixel = 32, .mask = true, .count = 4001});
    testing::TempFolder folder;
    const std::string path = folder.File("large.stream");
    ASSERT_TRUE(testing::WriteBytes(path, WriteImageListStream(list)));

    ImageGroup whole;
    ASSERT_TRUE(whole.LoadFromBytes(ReadWholeFile(path), 0));
    ImageGroup parts;
    int last = 0;
    bool rising = true;
    ASSERT_TRUE(ReadGroupFile(path, parts, [&](int done, int total) {
        rising = rising && done > last && total == 4001;
        last = done;
    }));
    EXPECT_TRUE(rising);
    EXPECT_EQ(last, 4001);
    EXPECT_TRUE(parts.SaveToBytes(0) == whole.SaveToBytes(0));
}

}  // namespace
}  // namespace iconvale
