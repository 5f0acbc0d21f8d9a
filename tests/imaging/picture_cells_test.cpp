#include <gtest/gtest.h>

#include "imaging/picture_cells.h"
#include "imaging/picture_group.h"

namespace iconvale {
namespace {

// Each pixel names its own column and row in red and green, opaque.
RgbaPicture Positions(int width, int height) {
    RgbaPicture picture;
    EXPECT_TRUE(picture.Allocate(width, height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.Row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(x) << 16 |
                                static_cast<std::uint32_t>(y) << 8;
        }
    }
    return picture;
}

ImageListData ListOf(const CellFormat& format, const CellBlock& block) {
    PictureGroup group(format);
    EXPECT_TRUE(group.Append(block));
    return group.List();
}

// The columns each cell pixel takes: as the Windows build enlarges 10 pixels to 16, and by the
// same rule where it shrinks 50 (it merges the pixels there, which no library here does).
TEST(PictureCells, StretchingTakesThePixelUnderEachCentre) {
    const struct {
        int from;
        std::vector<int> columns;
    } cases[] = {
        {10, {0, 0, 1, 2, 2, 3, 4, 4, 5, 5, 6, 7, 7, 8, 9, 9}},
        {50, {1, 4, 7, 10, 14, 17, 20, 23, 26, 29, 32, 35, 39, 42, 45, 48}},
        {16, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
    };
    // 32 to 48, as the Windows build enlarges it: a centre on an edge goes to the first pixel.
    const RgbaPicture enlarged = StretchPicture(Positions(32, 32), 48, 48);
    const int firstColumns[] = {0, 0, 1, 2, 2, 3, 4, 4, 5, 6};
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(static_cast<std::uint32_t>(firstColumns[x]), (enlarged.At(x, 0) >> 16) & 0xFF);
    }
    for (const auto& c : cases) {
        const RgbaPicture cell = StretchPicture(Positions(c.from, c.from), 16, 16);
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(static_cast<std::uint32_t>(c.columns[x]), (cell.At(x, x) >> 16) & 0xFF)
                << c.from << " " << x;
            EXPECT_EQ(static_cast<std::uint32_t>(c.columns[x]), (cell.At(x, x) >> 8) & 0xFF);
        }
    }
}

TEST(PictureCells, ShallowListsStoreColoursOverBlackAndMaskOnlyClearPixels) {
    RgbaPicture picture = Positions(2, 1);
    picture.argb = {0x80FF8000u, 0x00FFFFFFu};
    const ImageListData list =
        ListOf(CellFormat(2, 1, 24, true), CellFormat(2, 1, 24, true).Whole(picture));
    EXPECT_EQ(0x804000u, list.Pixel(0, 0, 0));
    EXPECT_FALSE(list.Transparent(0, 0, 0));
    EXPECT_TRUE(list.Transparent(0, 1, 0));
    const ImageListData wide =
        ListOf(CellFormat(2, 1, 16, false), CellFormat(2, 1, 16, false).Whole(picture));
    EXPECT_EQ(0x10u << 10 | 0x08u << 5, wide.Pixel(0, 0, 0));
    picture.argb = {0xFF800000u, 0xFF7F0101u};  // a colour of the palette, and one near it
    const CellFormat paletted(2, 1, 4, false);
    const ImageListData four = ListOf(paletted, paletted.Whole(picture));
    EXPECT_EQ(0x800000u, PixelColour(four, four.palette, 0, 0, 0));
    EXPECT_EQ(0x800000u, PixelColour(four, four.palette, 0, 1, 0));
}

TEST(PictureCells, SplittingCutsFromTheLeftAndStretchesAShortStripToTheCellHeight) {
    const CellFormat format(4, 6, 32, true);
    const CellBlock block = format.Split(Positions(11, 3), std::nullopt);
    ASSERT_EQ(2, block.count);
    const ImageListData list = ListOf(format, block);
    EXPECT_EQ(0xFF050000u, list.Pixel(1, 1, 0));
    EXPECT_EQ(0xFF050100u, list.Pixel(1, 1, 2));  // row 2 of 6 is row 1 of 3
    EXPECT_EQ(0xFF050200u, list.Pixel(1, 1, 5));
    EXPECT_FALSE(list.Transparent(1, 1, 5));
    EXPECT_EQ(0, format.Split(Positions(3, 6), std::nullopt).count);
}

TEST(PictureCells, AKeyedColourBecomesBlackAndMaskedWhileOthersLoseAlpha) {
    RgbaPicture picture = Positions(2, 1);
    picture.argb = {0xFF112233u, 0x80445566u};
    const CellFormat format(2, 1, 32, true);
    const ImageListData list = ListOf(format, format.Split(picture, 0x00332211u));
    EXPECT_EQ(0u, list.Pixel(0, 0, 0));
    EXPECT_TRUE(list.Transparent(0, 0, 0));
    EXPECT_EQ(0x00445566u, list.Pixel(0, 1, 0));
    EXPECT_FALSE(list.Transparent(0, 1, 0));
    // Without alpha in the cell, extraction takes the mask: opaque where it is clear.
    const RgbaPicture drawn = CellPicture(list, 0);
    EXPECT_EQ(0u, drawn.At(0, 0));
    EXPECT_EQ(0xFF445566u, drawn.At(1, 0));
}

TEST(PictureCells, ExtractionBlendsOverTheBackgroundAsTheWindowsBuildDoes) {
    RgbaPicture picture;
    ASSERT_TRUE(picture.Allocate(3, 1));
    picture.argb = {0x40060000u, 0x00000000u, 0xFF102030u};
    const RgbaPicture over = OverBackground(picture, 0xFFFFFF);
    EXPECT_EQ(0xFFC0BFBFu, over.At(0, 0));
    EXPECT_EQ(0xFFFFFFFFu, over.At(1, 0));
    EXPECT_EQ(0xFF102030u, over.At(2, 0));
}

TEST(PictureCells, TheGroupGrowsAsTheWindowsBuildsDoesAndStopsAt65535Images) {
    const CellFormat format(1, 1, 32, false);
    PictureGroup group(format);
    const CellBlock one = format.Whole(Positions(1, 1));
    ASSERT_TRUE(group.Append(one));
    EXPECT_EQ(1, group.List().capacity);
    ASSERT_TRUE(group.Append(one));
    EXPECT_EQ(6, group.List().capacity);
    const CellBlock many = format.Split(Positions(65533, 1), std::nullopt);
    ASSERT_TRUE(group.Append(many));
    EXPECT_EQ(65535, group.Count());
    EXPECT_FALSE(group.Append(one));
    EXPECT_EQ(65535, group.Count());
    EXPECT_FALSE(WriteImageListStream(group.List()).empty());
}

}  // namespace
}  // namespace iconvale
