// Our codec against the platform's own image-list reader and writer, in both directions.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include "core/image_group.h"
#include "core/image_list_bridge.h"
#include "core/image_list_stream.h"
#include "support/platform_streams.h"
#include "support/stream_builders.h"
#include "support/test_icons.h"

namespace iconvale {
namespace {

using testing::MakeCanonical;
using testing::MemoryStream;
using testing::PatternList;
using testing::PlatformRead;
using testing::SameImages;

Bytes PlatformWrite(HIMAGELIST list) {
    ComPtr<IStream> stream = MemoryStream({});
    if (!::ImageList_Write(list, stream.get())) return {};
    HGLOBAL memory = nullptr;
    ::GetHGlobalFromStream(stream.get(), &memory);
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    const auto* p = static_cast<const std::uint8_t*>(::GlobalLock(memory));
    Bytes bytes(p, p + stat.cbSize.QuadPart);
    ::GlobalUnlock(memory);
    return bytes;
}

// The platform's default colour table for 4- and 8-bit lists, so that colours survive its
// conversion exactly (it reads other palettes by matching colours to its own).
std::vector<std::uint32_t> PlatformPalette(int bits) {
    UniqueImageList list(::ImageList_Create(4, 4, bits, 1, 1));
    ::ImageList_AddIcon(list.get(), testing::SolidIcon(4, 4, 0).get());
    auto data = ReadImageList(list.get(), {static_cast<std::uint16_t>(bits), 1, 4, {}, bits});
    return data ? data->palette : std::vector<std::uint32_t>{};
}

ImageListData CanonicalPattern(int bits, bool mask) {
    ImageListData list = PatternList({.width = 16, .height = 16, .bitsPerPixel = bits,
                                      .mask = mask, .count = 5, .capacity = 8});
    if (bits <= 8) list.palette = PlatformPalette(bits);
    MakeCanonical(list);
    return list;
}

class CrossCheck : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(CrossCheck, PlatformReadsOurStreamToTheSameImages) {
    auto [bits, mask] = GetParam();
    ImageListData list = CanonicalPattern(bits, mask);
    UniqueImageList platform = PlatformRead(WriteImageListStream(list));
    ASSERT_TRUE(platform);
    EXPECT_EQ(::ImageList_GetImageCount(platform.get()), 5);
    EXPECT_EQ(::ImageList_GetBkColor(platform.get()), list.background);
    auto seen = ReadImageList(platform.get(), FieldsOf(list));
    ASSERT_TRUE(seen);
    EXPECT_TRUE(SameImages(list, *seen));
}

TEST_P(CrossCheck, WeReadThePlatformsStreamToTheSameImages) {
    auto [bits, mask] = GetParam();
    UniqueImageList platform(::ImageList_Create(16, 16, bits | (mask ? ILC_MASK : 0), 2, 4));
    for (int i = 0; i < 5; ++i) {
        auto icon = testing::MakeIcon(16, 16, [i](int x, int y) {
            if ((x + y + i) % 4 == 0) return 0u;  // transparent
            return 0xFF000000u | (x * 16) << 16 | (y * 16) << 8 | (i * 50);
        });
        ASSERT_EQ(::ImageList_AddIcon(platform.get(), icon.get()), i);
    }
    auto fields = StreamFields{static_cast<std::uint16_t>(bits | (mask ? ILC_MASK : 0)), 5, 4, {}, bits};
    auto expected = ReadImageList(platform.get(), fields);
    ASSERT_TRUE(expected);

    Bytes bytes = PlatformWrite(platform.get());
    ASSERT_GE(bytes.size(), kStreamHeaderSize);
    EXPECT_EQ(ReadU16(bytes.data() + 2), kStreamVersion);
    auto ours = ParseImageListStream(bytes);
    ASSERT_TRUE(ours);
    EXPECT_EQ(ours->bitsPerPixel, bits);
    EXPECT_TRUE(SameImages(*expected, *ours));

    ImageGroup group;
    ASSERT_TRUE(group.LoadFromBytes(bytes, 0));
    auto again = ParseImageListStream(group.SaveToBytes(0));
    ASSERT_TRUE(again);
    EXPECT_TRUE(SameImages(*expected, *again));
}

INSTANTIATE_TEST_SUITE_P(DepthsAndMasks, CrossCheck,
                         ::testing::Combine(::testing::Values(4, 8, 16, 24, 32), ::testing::Bool()),
                         [](const auto& info) {
                             return std::to_string(std::get<0>(info.param)) + "bit" +
                                    (std::get<1>(info.param) ? "Masked" : "Plain");
                         });

TEST(CrossCheckDeviceDependent, PlatformDdbListLoadsShowsAndSavesForBothReaders) {
    UniqueImageList platform(::ImageList_Create(16, 16, ILC_COLORDDB | ILC_MASK, 1, 4));
    for (std::uint32_t c : {0xFF0000u, 0x00FF00u, 0x0000FFu}) {
        ASSERT_GE(::ImageList_AddIcon(platform.get(), testing::SolidIcon(16, 16, c).get()), 0);
    }
    Bytes written = PlatformWrite(platform.get());
    auto platformView = ParseImageListStream(written);
    ASSERT_TRUE(platformView) << "our reader takes the depth from the bitmap";
    EXPECT_EQ(platformView->flags & kDepthBits, kDeviceDepth);

    ImageGroup group;
    ASSERT_TRUE(group.LoadFromBytes(written, 0));
    EXPECT_EQ(group.GetCount(), 3);
    EXPECT_TRUE(group.GetIcon(2)) << "its images can be drawn";
    Bytes saved = group.SaveToBytes(0);
    ASSERT_FALSE(saved.empty());

    auto ours = ParseImageListStream(saved);
    ASSERT_TRUE(ours);
    EXPECT_EQ(ours->flags, platformView->flags);
    EXPECT_TRUE(SameImages(*platformView, *ours));

    UniqueImageList reread = PlatformRead(saved);
    ASSERT_TRUE(reread);
    auto seen = ReadImageList(reread.get(), FieldsOf(*ours));
    ASSERT_TRUE(seen);
    EXPECT_TRUE(SameImages(*platformView, *seen));
}

TEST(CrossCheckDeviceDependent, SixteenBitDdbStreamReadsAlikeInBothReaders) {
    ImageListData list = PatternList({.width = 8, .height = 8, .bitsPerPixel = 16, .count = 3});
    MakeCanonical(list);
    list.flags = kDeviceDepth | kMaskFlag;
    Bytes bytes = WriteImageListStream(list);
    ImageGroup group;
    ASSERT_TRUE(group.LoadFromBytes(bytes, 0));
    auto ours = ParseImageListStream(group.SaveToBytes(0));
    ASSERT_TRUE(ours);
    EXPECT_EQ(ours->bitsPerPixel, 16);
    EXPECT_TRUE(SameImages(list, *ours));
    UniqueImageList platform = PlatformRead(bytes);
    ASSERT_TRUE(platform);
    EXPECT_EQ(::ImageList_GetImageCount(platform.get()), 3);
}

}  // namespace
}  // namespace iconvale
