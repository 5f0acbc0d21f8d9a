#include "imaging/display_list.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "support/test_icons.h"

namespace iconvale {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kMagenta = 0x00FF00FF;

// Image `index` of the list drawn over magenta, as 0x00RRGGBB top row first.
std::vector<std::uint32_t> Drawn(HIMAGELIST list, int index, int side) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, side, -side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap canvas(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill(pixels, pixels + side * side, kMagenta);
    {
        SelectedObject selected(dc.get(), canvas.get());
        ::ImageList_Draw(list, index, dc.get(), 0, 0, ILD_NORMAL);
        ::GdiFlush();
    }
    std::vector<std::uint32_t> result(pixels, pixels + side * side);
    for (auto& p : result) p &= 0x00FFFFFF;
    return result;
}

// A 16 x 16 group of one image: red on the left half, transparent on the right.
class DisplayListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(group_.Create(16, 16));
        UniqueIcon icon = testing::MakeIcon(16, 16, [](int x, int) { return x < 8 ? kRed : 0u; });
        ASSERT_EQ(group_.AddIcon(icon.get()), 0);
    }
    ImageGroup group_;
};

TEST_F(DisplayListTest, FourTimesWithTheCheckerboardGreysOnlyTheTransparentHalf) {
    const Bytes before = group_.SaveToBytes();
    UniqueImageList display = MakeDisplayList(group_, {4, true});
    ASSERT_TRUE(display);
    int width = 0, height = 0;
    ::ImageList_GetIconSize(display.get(), &width, &height);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 64);
    EXPECT_EQ(::ImageList_GetImageCount(display.get()), 1);

    const auto pixels = Drawn(display.get(), 0, 64);
    std::set<std::uint32_t> left, right;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) (x < 32 ? left : right).insert(pixels[y * 64 + x]);
    }
    EXPECT_EQ(left, std::set<std::uint32_t>{0x00FF0000});
    EXPECT_EQ(right, (std::set<std::uint32_t>{kCheckerDark, kCheckerLight}));
    EXPECT_EQ(group_.SaveToBytes(), before) << "the group's own images stay as they were";
}

TEST_F(DisplayListTest, ZoomAloneKeepsTheTransparencyAndPixelsSharp) {
    UniqueImageList display = MakeDisplayList(group_, {2, false});
    ASSERT_TRUE(display);
    const auto pixels = Drawn(display.get(), 0, 32);
    for (int y = 0; y < 32; ++y) {
        EXPECT_EQ(pixels[y * 32 + 15], 0x00FF0000u) << y;
        EXPECT_EQ(pixels[y * 32 + 16], kMagenta) << y;
    }
}

TEST(DisplayListBudgetTest, AZoomOverTheBudgetIsLoweredAndAnEmptyGroupGivesNone) {
    ImageGroup group;
    ASSERT_TRUE(group.Create(256, 256));
    EXPECT_FALSE(MakeDisplayList(group, {4, true}));
    UniqueIcon icon = testing::SolidIcon(256, 256, 0x0000FF);
    for (int i = 0; i < 17; ++i) ASSERT_EQ(group.AddIcon(icon.get()), i);
    // At 4x seventeen images of 1024 x 1024 would be 68 MiB.
    UniqueImageList display = MakeDisplayList(group, {4, false});
    ASSERT_TRUE(display);
    int width = 0, height = 0;
    ::ImageList_GetIconSize(display.get(), &width, &height);
    EXPECT_EQ(width, 512);
    EXPECT_EQ(::ImageList_GetImageCount(display.get()), 17);
}

}  // namespace
}  // namespace iconvale
