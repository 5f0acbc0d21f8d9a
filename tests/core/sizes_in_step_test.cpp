// Keeping a multi-size list's sizes in step when one size's images are deleted, moved or added,
// and the scaler that draws the added images' other sizes.
#include "core/sizes_in_step.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/image_list_container.h"
#include "core/image_scaling.h"
#include "core/lazarus_form.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::LazarusFormWithSizes;
using testing::LazarusSizes;
using testing::PatternList;

TEST(ScaleBgra, AveragesWhenShrinkingAndInterpolatesWhenEnlarging) {
    struct Case {
        const char* what;
        Bytes from;
        int width, height, toWidth, toHeight;
        Bytes expected;
    };
    // clang-format off
    const Case cases[] = {
        {"2x2 to 1x1: the average", {0, 0, 0, 255, 100, 0, 0, 255, 0, 200, 0, 255, 0, 0, 40, 255},
         2, 2, 1, 1, {25, 50, 10, 255}},
        {"3 to 2: a third of the middle pixel each", {30, 0, 0, 255, 60, 0, 0, 255, 90, 0, 0, 255},
         3, 1, 2, 1, {40, 0, 0, 255, 80, 0, 0, 255}},
        {"a clear pixel lends no colour, only its alpha", {255, 255, 255, 0, 0, 0, 200, 255},
         2, 1, 1, 1, {0, 0, 200, 128}},
        {"2 to 4: edges held, centres blended a quarter and three quarters",
         {0, 0, 0, 255, 200, 0, 0, 255}, 2, 1, 4, 1,
         {0, 0, 0, 255, 50, 0, 0, 255, 150, 0, 0, 255, 200, 0, 0, 255}},
        {"1x1 to 2x2: copies", {1, 2, 3, 4}, 1, 1, 2, 2,
         {1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4}},
        {"short input", {1, 2, 3}, 1, 1, 2, 2, {}},
        {"no width", {}, 0, 1, 2, 2, {}},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(ScaleBgra(c.from, c.width, c.height, c.toWidth, c.toHeight), c.expected)
            << c.what;
}

constexpr int kSides[] = {16, 20, 24, 32};  // the base size first
constexpr int kOldCount = 5;

// A 4-size list whose images differ in every size and index.
std::string FourSizes() {
    std::vector<ImageListData> further;
    for (int side : {20, 24, 32})
        further.push_back(PatternList({.width = side, .height = side, .count = kOldCount}));
    return LazarusFormWithSizes("Icons",
                                PatternList({.width = 16, .height = 16, .count = kOldCount}),
                                LazarusSizes(further));
}

ImageListData Decode(const ContainedImageList& list, std::size_t size) {
    ContainerError error;
    auto images = DecodeContainedList(list, size, error);
    EXPECT_TRUE(images) << DescribeContainerError(error);
    return images ? *images : ImageListData{};
}

Bytes Cell(const ImageListData& list, int index) {
    const auto at = list.pixels.begin() + static_cast<std::ptrdiff_t>(index * list.ImageBytes());
    return Bytes(at, at + static_cast<std::ptrdiff_t>(list.ImageBytes()));
}

TEST(SizesInStep, OtherSizesFollowDeletesMovesAndAdditions) {
    struct Case {
        const char* what;
        std::size_t size;          // the size written
        std::vector<int> sources;  // -1: a new image
    };
    const Case cases[] = {
        {"delete", 0, {0, 2, 3, 4}},
        {"move", 0, {4, 0, 1, 2, 3}},
        {"add", 0, {0, 1, 2, 3, 4, -1}},
        {"delete, move and add", 0, {3, -1, 0, 4, -1}},
        {"into a further size", 2, {-1, 1, 0}},
    };
    const std::string form = FourSizes();
    const Bytes file(form.begin(), form.end());
    const ContainerContents before = ReadContainer(file);
    ASSERT_FALSE(before.error) << DescribeContainerError(before.error);
    const ContainedImageList& was = before.lists[0];
    ASSERT_EQ(was.sizes.size(), 4u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // What the editor holds: the kept images of the written size and new ones drawn afresh.
        const ImageListData old = Decode(was, c.size);
        const int side = kSides[c.size];
        const ImageListData drawn = PatternList({.width = side, .height = side, .count = 9});
        ImageListData images = old;
        images.count = images.capacity = static_cast<std::uint16_t>(c.sources.size());
        images.AllocateImages();
        for (std::size_t p = 0; p < c.sources.size(); ++p) {
            const int i = static_cast<int>(p);
            const Bytes cell = c.sources[p] < 0 ? Cell(drawn, 8 - i) : Cell(old, c.sources[p]);
            std::copy(cell.begin(), cell.end(), images.pixels.begin() + i * images.ImageBytes());
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    images.SetTransparent(i, x, y, images.Pixel(i, x, y) >> 24 == 0);
        }
        ContainerError error;
        const Bytes out = WriteBackInStep(file, "Icons", c.size, images, c.sources, error);
        ASSERT_FALSE(error) << DescribeContainerError(error);
        const ContainerContents after = ReadContainer(out);
        ASSERT_FALSE(after.error) << DescribeContainerError(after.error);
        const ContainedImageList& now = after.lists[0];
        ASSERT_EQ(now.sizes.size(), 4u);
        ASSERT_FALSE(now.sizesError) << DescribeContainerError(now.sizesError);
        const ImageListData written = Decode(now, c.size);
        for (std::size_t s = 0; s < 4; ++s) {
            EXPECT_EQ(now.sizes[s].width, kSides[s]);
            ASSERT_EQ(now.sizes[s].count, static_cast<int>(c.sources.size())) << s;
            if (s == c.size) continue;
            const ImageListData kept = Decode(was, s), made = Decode(now, s);
            for (std::size_t p = 0; p < c.sources.size(); ++p) {
                const int i = static_cast<int>(p);
                const Bytes expected = c.sources[p] >= 0 ? Cell(kept, c.sources[p])
                                                         : ScaleBgra(Cell(written, i), side, side,
                                                                     kSides[s], kSides[s]);
                EXPECT_EQ(Cell(made, i), expected) << "size " << s << ", image " << p;
            }
        }
    }
}

TEST(SizesInStep, RefusesSourcesThatDoNotFitTheList) {
    const std::string form = FourSizes();
    const Bytes file(form.begin(), form.end());
    const ImageListData three = PatternList({.width = 16, .height = 16, .count = 3});
    const std::vector<int> cases[] = {{0, 1}, {0, 1, 5}, {0, -2, 1}};
    for (const std::vector<int>& sources : cases) {
        ContainerError error;
        EXPECT_TRUE(WriteBackInStep(file, "Icons", 0, three, sources, error).empty());
        EXPECT_EQ(error.problem, ContainerProblem::kSizesOutOfStep) << sources.size();
    }
    // Sizes in step stay as they were when the order holds.
    const ImageListData same = PatternList({.width = 16, .height = 16, .count = kOldCount});
    ContainerError error;
    const Bytes out = WriteBackInStep(file, "Icons", 0, same, std::vector{0, 1, 2, 3, 4}, error);
    ASSERT_FALSE(error) << DescribeContainerError(error);
    EXPECT_EQ(ReadContainer(out).lists[0].advanced, ReadContainer(file).lists[0].advanced);
}

}  // namespace
}  // namespace iconvale
