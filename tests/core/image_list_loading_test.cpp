// Loading a stream into a platform list, as opening or merging a large group does, reports its
// progress batch by batch.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/image_list_bridge.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::PatternList;

std::vector<std::pair<int, int>> LoadReports(const ImageListData& list, int* loaded) {
    const Bytes stream = WriteImageListStream(list);
    auto sheets = ParseImageListSheets(stream);
    EXPECT_TRUE(sheets);
    if (!sheets) return {};
    std::vector<std::pair<int, int>> reports;
    UniqueImageList built =
        BuildImageList(*sheets, [&](int done, int total) { reports.emplace_back(done, total); });
    *loaded = built ? ::ImageList_GetImageCount(built.get()) : -1;
    return reports;
}

TEST(LoadingSteps, EachImageIsReportedOnceAndTheLastReportIsTheWholeCount) {
    // A 64x64 cell and its mask take 16.5 KiB, so a few dozen go to the platform at a time.
    int loaded = 0;
    const auto reports =
        LoadReports(PatternList({.width = 64, .height = 64, .count = 200}), &loaded);
    EXPECT_EQ(loaded, 200);
    ASSERT_GT(reports.size(), 2u) << "reported as the loading goes, not only at its end";
    int before = 0;
    for (const auto& [done, total] : reports) {
        EXPECT_EQ(total, 200);
        EXPECT_GT(done, before);
        before = done;
    }
    EXPECT_EQ(before, 200);

    const auto none = LoadReports(PatternList({.count = 0}), &loaded);
    EXPECT_EQ(loaded, 0);
    EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace iconvale
