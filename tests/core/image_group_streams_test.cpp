// Streams from other writers opened into a group: later versions, large capacities, and 32-bit
// images that carry no alpha.
#include <gtest/gtest.h>

#include "core/image_group.h"
#include "core/image_list_stream.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::ClearAlpha;
using testing::LaidOutStream;
using testing::MakeCanonical;
using testing::PatternList;
using testing::SameImages;

std::optional<ImageListData> OpenAndSave(const Bytes& stream, Bytes* saved = nullptr) {
    ImageGroup group;
    if (!group.LoadFromBytes(stream, 0)) return std::nullopt;
    Bytes bytes = group.SaveToBytes(0);
    if (saved) *saved = bytes;
    return ParseImageListStream(bytes);
}

TEST(OpenedStreams, LaterVersionIsSavedAsVersion0101WithTheSameImages) {
    for (int bits : {24, 32}) {
        ImageListData list = PatternList(
            {.width = 16, .height = 16, .bitsPerPixel = bits, .count = 5, .capacity = 30});
        MakeCanonical(list);
        Bytes saved;
        auto back =
            OpenAndSave(LaidOutStream(list, {.version = kStreamVersionV6, .rows = 5}), &saved);
        ASSERT_TRUE(back) << bits;
        EXPECT_EQ(ReadU16(saved.data() + 2), kStreamVersion);
        EXPECT_EQ(back->capacity, 30);
        EXPECT_TRUE(SameImages(list, *back)) << bits;
    }
}

TEST(OpenedStreams, CapacityOf65535WithOneRowOfCellsOpensSavesAndReopens) {
    ImageListData list = PatternList({.width = 64, .height = 64, .count = 3, .capacity = 4});
    MakeCanonical(list);
    Bytes bytes = WriteImageListStream(list);
    bytes[6] = bytes[7] = 0xFF;
    Bytes saved;
    auto back = OpenAndSave(bytes, &saved);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->capacity, 3);
    EXPECT_TRUE(SameImages(list, *back));
    ImageGroup reopened;
    ASSERT_TRUE(reopened.LoadFromBytes(saved, 0));
    EXPECT_EQ(reopened.GetCount(), 3);
}

TEST(OpenedStreams, ImagesWithoutAlphaComeInOpaqueWhereTheirMaskIs) {
    // A form designer's list: device-dependent 32 bits, mask, alpha 0 in every pixel of images 0
    // and 1; image 2 has alpha of its own and is kept as it is.
    ImageListData list = PatternList({.width = 16, .height = 16, .count = 3, .capacity = 12});
    MakeCanonical(list);
    ImageListData stored = list;
    ClearAlpha(stored);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) stored.SetPixel(2, x, y, list.Pixel(2, x, y));
    stored.flags = 0x10FF;
    auto back = OpenAndSave(LaidOutStream(stored, {.version = kStreamVersionXp, .rows = 3}));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->flags, 0x10FF);
    EXPECT_TRUE(SameImages(list, *back)) << "opaque pixels have full alpha, the mask is kept";

    ImageListData plain = PatternList({.width = 8, .height = 8, .mask = false, .count = 2});
    MakeCanonical(plain);
    ImageListData plainStored = plain;
    ClearAlpha(plainStored);
    auto plainBack = OpenAndSave(WriteImageListStream(plainStored));
    ASSERT_TRUE(plainBack);
    EXPECT_TRUE(SameImages(plain, *plainBack)) << "without a mask, opaque everywhere";
}

}  // namespace
}  // namespace iconvale
