#include "core/image_group.h"

#include <gtest/gtest.h>

#include "core/group_file.h"
#include "core/image_list_stream.h"
#include "support/stream_builders.h"
#include "support/test_icons.h"

namespace iconvale {
namespace {

using testing::ListShape;
using testing::MakeCanonical;
using testing::PatternList;
using testing::SameImages;
using testing::SolidIcon;

ImageListData SavedList(const ImageGroup& group) {
    Bytes bytes = group.SaveToBytes(0);
    auto data = ParseImageListStream(bytes);
    return data ? *data : ImageListData{};
}

Bytes StreamOf(const ListShape& shape) {
    ImageListData list = PatternList(shape);
    MakeCanonical(list);
    return WriteImageListStream(list);
}

TEST(ImageGroupCreate, DefaultsToThirtyTwoBitsWithMask) {
    ImageGroup group;
    ASSERT_TRUE(group.Create(16, 16));
    EXPECT_TRUE(group.IsCreated());
    EXPECT_EQ(group.GetCount(), 0);
    EXPECT_EQ(group.GetIconSize(), (IconSize{16, 16}));
    ImageListData saved = SavedList(group);
    EXPECT_EQ(saved.flags, 0x0021);
    EXPECT_EQ(saved.bitsPerPixel, 32);
    EXPECT_EQ(saved.count, 0);
}

TEST(ImageGroupCreate, RefusesSizesTheFileCannotHoldAndLeavesNoGroup) {
    ImageGroup group;
    for (auto [w, h] : {std::pair{0, 16}, {16, 0}, {-1, 16}, {65536, 16}, {16, 65536}}) {
        ASSERT_TRUE(group.Create(16, 16));
        EXPECT_FALSE(group.Create(w, h)) << w << "x" << h;
        EXPECT_FALSE(group.IsCreated()) << "the old group is gone after a failed Create";
    }
    EXPECT_FALSE(group.Create(16, 16, 0x0003)) << "no such depth";
    EXPECT_TRUE(group.Create(65535, 1, ILC_COLOR4));
}

TEST(ImageGroupCreate, EveryDepthWithAndWithoutMask) {
    for (int bits : {4, 8, 16, 24, 32}) {
        for (UINT mask : {0u, static_cast<UINT>(ILC_MASK)}) {
            ImageGroup group;
            ASSERT_TRUE(group.Create(8, 8, bits | mask)) << bits;
            EXPECT_GE(group.AddIcon(SolidIcon(8, 8, 0x00FF00).get()), 0);
            ImageListData saved = SavedList(group);
            EXPECT_EQ(saved.flags, bits | mask);
            EXPECT_EQ(saved.bitsPerPixel, bits);
            EXPECT_EQ(saved.count, 1);
        }
    }
}

TEST(ImageGroupIcons, AddStretchesToTheCellAndKeepsTheCallersIcon) {
    ImageGroup group;
    ASSERT_TRUE(group.Create(16, 16, ILC_COLOR24));
    // Left half red, right half blue, at 48x48: the whole icon must be squeezed into 16x16.
    auto icon =
        testing::MakeIcon(48, 48, [](int x, int) { return x < 24 ? 0xFFFF0000u : 0xFF0000FFu; });
    EXPECT_EQ(group.AddIcon(icon.get()), 0);
    ICONINFO info{};
    EXPECT_TRUE(::GetIconInfo(icon.get(), &info)) << "the caller still owns a live icon";
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    ImageListData saved = SavedList(group);
    EXPECT_EQ(testing::PixelColour(saved, 0, 2, 8), 0xFF0000u);
    EXPECT_EQ(testing::PixelColour(saved, 0, 13, 8), 0x0000FFu);
}

TEST(ImageGroupIcons, AddingManyAtOnceEqualsAddingThemOneByOne) {
    // Icons with soft alpha, without alpha and of another size, onto groups of every kind.
    const std::vector<UniqueIcon> icons = [] {
        std::vector<UniqueIcon> made;
        for (int i = 0; i < 30; ++i) {
            const int size = i % 5 == 0 ? 24 : 16;
            made.push_back(testing::MakeIcon(size, size, [i](int x, int y) {
                const std::uint32_t alpha = i % 3 == 0 ? 0 : i % 3 == 1 ? 0xFF : (x * 16) & 0xFF;
                return alpha << 24 | static_cast<std::uint32_t>(i * 8) << 8 | (x + y);
            }));
        }
        return made;
    }();
    for (std::uint32_t flags :
         {std::uint32_t{ILC_COLOR32 | ILC_MASK}, std::uint32_t{ILC_COLOR24 | ILC_MASK},
          std::uint32_t{ILC_COLOR32}}) {
        ImageGroup together;
        ImageGroup oneByOne;
        ASSERT_TRUE(together.Create(16, 16, flags, 2) && oneByOne.Create(16, 16, flags, 2));
        ASSERT_EQ(together.AddIcon(icons[0].get()), 0);
        ASSERT_EQ(oneByOne.AddIcon(icons[0].get()), 0);
        EXPECT_EQ(together.AddIcons(
                      29, [&](int i) { return UniqueIcon(::CopyIcon(icons[i + 1].get())); }),
                  29);
        for (int i = 1; i < 30; ++i) ASSERT_EQ(oneByOne.AddIcon(icons[i].get()), i);
        EXPECT_EQ(together.SaveToBytes(), oneByOne.SaveToBytes()) << "flags " << flags;
    }
    // A source that runs dry stops the adding there.
    ImageGroup group;
    ASSERT_TRUE(group.Create(16, 16));
    EXPECT_EQ(
        group.AddIcons(
            5,
            [&](int i) { return i < 3 ? UniqueIcon(::CopyIcon(icons[i].get())) : UniqueIcon(); }),
        3);
    EXPECT_EQ(group.GetCount(), 3);
}

TEST(ImageGroupIcons, ReplaceAtIndexZeroSucceeds) {
    ImageGroup group;
    ASSERT_TRUE(group.Create(8, 8, ILC_COLOR24));
    group.AddIcon(SolidIcon(8, 8, 0x112233).get());
    group.AddIcon(SolidIcon(8, 8, 0x445566).get());
    EXPECT_TRUE(group.ReplaceWithIcon(0, SolidIcon(8, 8, 0xABCDEF).get()));
    ImageListData saved = SavedList(group);
    EXPECT_EQ(testing::PixelColour(saved, 0, 3, 3), 0xABCDEFu);
    EXPECT_EQ(testing::PixelColour(saved, 1, 3, 3), 0x445566u);
    EXPECT_FALSE(group.ReplaceWithIcon(2, SolidIcon(8, 8, 0).get()));
}

TEST(ImageGroupIcons, GetIconGivesAnIconOfTheCellSize) {
    ImageGroup group;
    ASSERT_TRUE(group.Create(20, 12));
    group.AddIcon(SolidIcon(20, 12, 0x808080).get());
    UniqueIcon icon = group.GetIcon(0);
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon.get(), &info));
    BITMAP bm{};
    ::GetObjectW(info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 20);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    EXPECT_FALSE(group.GetIcon(1));
    EXPECT_FALSE(group.GetIcon(-1));
}

TEST(ImageGroupRemove, OutOfRangeIndicesChangeNothing) {
    ImageGroup group;
    ASSERT_TRUE(group.Create(8, 8));
    for (std::uint32_t c : {0x110000u, 0x220000u, 0x330000u})
        group.AddIcon(SolidIcon(8, 8, c).get());
    EXPECT_FALSE(group.Remove(3));
    EXPECT_FALSE(group.Remove(-1)) << "-1 would mean 'all' to the platform";
    EXPECT_EQ(group.GetCount(), 3);
    EXPECT_TRUE(group.Remove(0));
    ImageListData saved = SavedList(group);
    ASSERT_EQ(saved.count, 2);
    EXPECT_EQ(testing::PixelColour(saved, 0, 1, 1) & 0xFFFFFF, 0x220000u);
}

TEST(ImageGroupEmpty, QueriesGiveZeroAndSavingGivesNothing) {
    ImageGroup group;
    EXPECT_FALSE(group.IsCreated());
    EXPECT_EQ(group.GetCount(), 0);
    EXPECT_EQ(group.GetIconSize(), (IconSize{0, 0}));
    EXPECT_TRUE(group.SaveToBytes().empty());
    EXPECT_EQ(group.AddIcon(SolidIcon(8, 8, 0).get()), -1);
    EXPECT_FALSE(group.Remove(0));
    EXPECT_EQ(group.GetBackgroundColour(), CLR_NONE);
}

TEST(ImageGroupSharing, CopiesShareAndTheLastReleaseDestroysTheList) {
    HIMAGELIST handle = nullptr;
    {
        ImageGroup first;
        ASSERT_TRUE(first.Create(8, 8));
        handle = first.GetHandle();
        ImageGroup copy = first;
        EXPECT_TRUE(copy.SharesWith(first));
        copy.AddIcon(SolidIcon(8, 8, 0).get());
        EXPECT_EQ(first.GetCount(), 1);
        { ImageGroup scoped = copy; }
        EXPECT_EQ(::ImageList_GetImageCount(handle), 1) << "still alive while copies remain";
    }
    int w = 0, h = 0;
    EXPECT_FALSE(::ImageList_GetIconSize(handle, &w, &h)) << "destroyed with the last copy";
}

TEST(ImageGroupBytes, SaveThenLoadGivesTheSameGroup) {
    for (int bits : {4, 8, 16, 24, 32}) {
        for (bool mask : {false, true}) {
            ImageListData list = PatternList({.width = 7,
                                              .height = 5,
                                              .bitsPerPixel = bits,
                                              .mask = mask,
                                              .count = 6,
                                              .capacity = 9});
            MakeCanonical(list);
            list.background = bits == 8 ? kNoColour : 0x00102030;
            list.flags |= 0x1000;
            list.overlays = {1, -1, -1, 3};
            ImageGroup group;
            ASSERT_TRUE(group.LoadFromBytes(WriteImageListStream(list), 0)) << bits;
            EXPECT_EQ(group.GetCount(), 6);
            EXPECT_EQ(group.GetBackgroundColour(), list.background);
            for (int header : {0, 1}) {
                Bytes bytes = group.SaveToBytes(header);
                ImageGroup again;
                ASSERT_TRUE(again.LoadFromBytes(bytes, header)) << bits << " header " << header;
                ImageListData back = SavedList(again);
                EXPECT_EQ(back.flags, list.flags);
                EXPECT_EQ(back.capacity, list.capacity);
                EXPECT_EQ(back.grow, list.grow);
                EXPECT_EQ(back.overlays, list.overlays);
                EXPECT_EQ(back.background, list.background);
                EXPECT_TRUE(SameImages(list, back)) << bits << (mask ? " masked" : "");
            }
        }
    }
}

TEST(ImageGroupBytes, LoadSkipsAnyEightLeadingBytes) {
    Bytes file = WithGroupHeader(StreamOf({.count = 2}), true);
    file[0] = 'X';
    file[7] = 0x12;
    ImageGroup group;
    EXPECT_TRUE(group.LoadFromBytes(file));
    EXPECT_EQ(group.GetCount(), 2);
}

TEST(ImageGroupBytes, FailedLoadLeavesNoGroup) {
    ImageGroup group;
    Bytes stream = StreamOf({.count = 2});
    ASSERT_TRUE(group.LoadFromBytes(stream, 0));
    EXPECT_FALSE(group.LoadFromBytes(stream, 1)) << "a bare stream loses its first 8 bytes";
    EXPECT_FALSE(group.IsCreated());
    ASSERT_TRUE(group.LoadFromBytes(stream, 0));
    EXPECT_FALSE(group.LoadFromBytes(Bytes(8, 0)));
    EXPECT_FALSE(group.IsCreated());
    EXPECT_FALSE(group.LoadFromBytes(Bytes{}));
}

TEST(ImageGroupLimits, AddFailsOnceTheCountWouldPass65535) {
    ImageListData list = PatternList({.width = 1,
                                      .height = 1,
                                      .bitsPerPixel = 4,
                                      .mask = false,
                                      .count = 65535,
                                      .capacity = 65535});
    ImageGroup group;
    ASSERT_TRUE(group.LoadFromBytes(WriteImageListStream(list), 0));
    EXPECT_EQ(group.GetCount(), 65535);
    EXPECT_EQ(group.AddIcon(SolidIcon(1, 1, 0).get()), -1);
    EXPECT_EQ(group.GetCount(), 65535);
    EXPECT_FALSE(group.SaveToBytes().empty());
}

}  // namespace
}  // namespace iconvale
