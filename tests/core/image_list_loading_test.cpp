// Loading a stream into a platform list, as opening or merging a large group does, reports its
// progress batch by batch.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/alpha_marks.h"
#include "core/dib_bitmaps.h"
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

// What a list shows: every image drawn plainly and transparently over a coloured ground, and the
// mark the platform keeps of whether it draws an image through its alpha, where it tells.
std::vector<std::uint32_t> Drawings(HIMAGELIST list) {
    int width = 0;
    int height = 0;
    ::ImageList_GetIconSize(list, &width, &height);
    DibSection canvas = CreateTopDownSection(width, height, 32, {});
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    ::SelectObject(dc.get(), canvas.bitmap.get());
    std::vector<std::uint32_t> shown;
    const int count = ::ImageList_GetImageCount(list);
    for (int i = 0; i < count; ++i) {
        for (UINT style : {ILD_NORMAL, ILD_TRANSPARENT}) {
            ::GdiFlush();
            auto* pixels = reinterpret_cast<std::uint32_t*>(canvas.pixels.bits);
            std::fill(pixels, pixels + width * height, 0x00804020u);
            ::ImageList_Draw(list, i, dc.get(), 0, 0, style);
            ::GdiFlush();
            shown.insert(shown.end(), pixels, pixels + width * height);
        }
    }
    if (auto marks = ReadAlphaMarks(list, 0, count))
        shown.insert(shown.end(), marks->begin(), marks->end());
    return shown;
}

// Lists built both ways hold the same bitmaps bit for bit and draw alike.
void ExpectSameLists(HIMAGELIST inPlace, HIMAGELIST throughAdds, int bits) {
    ASSERT_TRUE(inPlace && throughAdds);
    ASSERT_EQ(::ImageList_GetImageCount(inPlace), ::ImageList_GetImageCount(throughAdds));
    EXPECT_EQ(::ImageList_GetBkColor(inPlace), ::ImageList_GetBkColor(throughAdds));
    IMAGEINFO a{};
    IMAGEINFO b{};
    ASSERT_TRUE(::ImageList_GetImageInfo(inPlace, 0, &a) &&
                ::ImageList_GetImageInfo(throughAdds, 0, &b));
    const auto imageA = ReadBitmapRows(a.hbmImage, bits);
    const auto imageB = ReadBitmapRows(b.hbmImage, bits);
    ASSERT_TRUE(imageA && imageB);
    EXPECT_TRUE(imageA->bits == imageB->bits) << "image bitmaps differ";
    EXPECT_EQ(a.hbmMask == nullptr, b.hbmMask == nullptr);
    if (a.hbmMask && b.hbmMask) {
        const auto maskA = ReadMaskRows(a.hbmMask);
        const auto maskB = ReadMaskRows(b.hbmMask);
        ASSERT_TRUE(maskA && maskB);
        EXPECT_TRUE(maskA->bits == maskB->bits) << "mask bitmaps differ";
    }
    EXPECT_TRUE(Drawings(inPlace) == Drawings(throughAdds)) << "drawn differently";
}

TEST(InPlaceBuild, EqualsTheBuildThroughAddsBitForBit) {
    // Enough images for many rows of cells in the list's bitmap; every third one without alpha,
    // which the platform draws through its mask instead.
    for (const auto& [bits, mask] : {std::pair{32, true}, {32, false}, {24, true}, {16, false}}) {
        SCOPED_TRACE(::testing::Message() << bits << " bits, mask " << mask);
        ImageListData list = PatternList(
            {.width = 24, .height = 20, .bitsPerPixel = bits, .mask = mask, .count = 203});
        testing::ClearAlphaOfEveryThird(list);
        const CellRows image = CellRows::Blocks(list.pixels.data(), list.RowBytes(), list.height);
        std::optional<CellRows> masks;
        if (mask) masks = CellRows::Blocks(list.mask.data(), list.MaskRowBytes(), list.height);
        for (auto alphaless : {AlphalessImages::kOpaqueWhereMasked, AlphalessImages::kAsGiven}) {
            UniqueImageList inPlace = BuildImageList(list, image, masks, alphaless);
            UniqueImageList throughAdds = BuildThroughAdds(list, image, masks, alphaless);
            ExpectSameLists(inPlace.get(), throughAdds.get(), bits);
        }
    }
}

}  // namespace
}  // namespace iconvale
