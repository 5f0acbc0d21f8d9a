// Image lists kept as picture collections in Delphi forms (image collections, PNG image lists,
// DevExpress image lists), over the sample forms committed beside the tests: what is read, and
// what a write-back changes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/form_write_back.h"
#include "core/image_list_container.h"
#include "core/picture_write_back.h"

namespace iconvale {
namespace {

Bytes Sample(const std::string& name) {
    std::ifstream in(std::string(ICONVALE_SAMPLE_FORMS) + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string AsText(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

ImageListData Decoded(const Bytes& file, std::size_t size = 0) {
    ContainerContents contents = ReadContainer(file);
    EXPECT_FALSE(contents.error) << DescribeContainerError(contents.error);
    if (contents.lists.empty()) return {};
    ContainerError error;
    auto images = DecodeContainedList(contents.lists[0], size, error);
    EXPECT_TRUE(images) << DescribeContainerError(error);
    return images ? *images : ImageListData{};
}

// One pixel of a 32-bit image as 0xAARRGGBB, and whether it is masked.
struct Pixel {
    int index, x, y;
    std::uint32_t argb;
    bool masked;
};

TEST(PictureCollectionsTest, SamplesReadAsListsWithNamesSizesAndPixels) {
    struct Case {
        const char* file;
        const char* list;
        std::vector<std::string> names;
        std::vector<std::pair<int, int>> sizes;
        std::vector<Pixel> pixels;  // in the first size
    };
    const Case cases[] = {
        // The third item has only a 32 x 32 picture: at 16 it is that picture scaled down.
        {"image_collection.dfm",
         "ImageCollection1",
         {"Save", "Open", "Print"},
         {{16, 16}, {32, 32}},
         {{0, 8, 8, 0xFFC82828, false}, {0, 0, 0, 0x00C82828, true}, {2, 8, 8, 0xFF2850C8, false}}},
        {"png_image_list.dfm",
         "PngImageList1",
         {"ok", "cancel", "help"},
         {{16, 16}},
         {{1, 8, 8, 0xFFC82828, false}, {1, 0, 0, 0x00C82828, true}}},
        {"png_image_list_binary.dfm", "PngImageList1", {"first", "second"}, {{24, 24}}, {}},
        // A bitmap without alpha takes its mask; one with alpha keeps it; a PNG item mixes in.
        {"cx_image_list.dfm",
         "cxImageList1",
         {"", "", ""},
         {{16, 16}},
         {{0, 8, 8, 0xFF2850C8, false},
          {0, 0, 8, 0x00FF00FF, true},
          {1, 0, 8, 0x00FF00FF, true},
          {2, 8, 8, 0xFF28A03C, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Bytes file = Sample(c.file);
        ContainerContents contents = ReadContainer(file);
        ASSERT_FALSE(contents.error) << DescribeContainerError(contents.error);
        // A virtual image list beside the collection holds references, not pictures.
        ASSERT_EQ(contents.lists.size(), 1u);
        const ContainedImageList& list = contents.lists[0];
        EXPECT_EQ(list.name, c.list);
        EXPECT_EQ(list.names, c.names);
        ASSERT_EQ(list.sizes.size(), c.sizes.size());
        for (std::size_t s = 0; s < c.sizes.size(); ++s) {
            EXPECT_EQ(list.sizes[s].width, c.sizes[s].first);
            EXPECT_EQ(list.sizes[s].height, c.sizes[s].second);
            EXPECT_EQ(list.sizes[s].count, static_cast<int>(c.names.size()));
        }
        const ImageListData images = Decoded(file);
        EXPECT_EQ(images.bitsPerPixel, 32);
        EXPECT_TRUE(images.HasMask());
        for (const Pixel& p : c.pixels) {
            EXPECT_EQ(images.Pixel(p.index, p.x, p.y), p.argb) << p.index << " " << p.x;
            EXPECT_EQ(images.Transparent(p.index, p.x, p.y), p.masked) << p.index << " " << p.x;
        }
    }
}

TEST(PictureCollectionsTest, UnchangedImagesWriteBackByteForByte) {
    for (const char* name :
         {"image_collection.dfm", "png_image_list.dfm", "png_image_list_binary.dfm"}) {
        SCOPED_TRACE(name);
        const Bytes file = Sample(name);
        const std::size_t sizes = ReadContainer(file).lists[0].sizes.size();
        for (std::size_t size = 0; size < sizes; ++size) {
            ContainerError error;
            EXPECT_EQ(WriteBackList(file, "", size, Decoded(file, size), error), file)
                << DescribeContainerError(error);
        }
    }
}

// The images of `from` at the given indices, in that order.
ImageListData Pick(const ImageListData& from, std::vector<int> indices) {
    ImageListData list = from;
    list.count = list.capacity = static_cast<std::uint16_t>(indices.size());
    list.AllocateImages();
    for (std::size_t k = 0; k < indices.size(); ++k) {
        std::copy_n(&from.pixels[indices[k] * from.ImageBytes()], from.ImageBytes(),
                    &list.pixels[k * list.ImageBytes()]);
        std::copy_n(&from.mask[indices[k] * from.MaskBytes()], from.MaskBytes(),
                    &list.mask[k * list.MaskBytes()]);
    }
    return list;
}

// A write-back of `images` into the sample's first size, read back.
ContainedImageList WrittenBack(const Bytes& file, const ImageListData& images) {
    ContainerError error;
    const Bytes written = WriteBackList(file, "", 0, images, error);
    EXPECT_FALSE(written.empty()) << DescribeContainerError(error);
    ContainerContents after = ReadContainer(written);
    EXPECT_FALSE(after.error) << DescribeContainerError(after.error);
    ContainerError decodeError;
    const auto back =
        after.lists.empty() ? std::nullopt : DecodeContainedList(after.lists[0], 0, decodeError);
    EXPECT_TRUE(back && back->pixels == images.pixels && back->mask == images.mask);
    return after.lists.empty() ? ContainedImageList{} : std::move(after.lists[0]);
}

const Bytes& PngOf(const ContainedImageList& list, std::size_t item) {
    return list.pictures.items[item].pictures[0].data;
}

TEST(PictureCollectionsTest, ImagesKeepTheirItemsThroughMovesReplacesAndAdditions) {
    for (const char* name :
         {"image_collection.dfm", "png_image_list.dfm", "png_image_list_binary.dfm"}) {
        SCOPED_TRACE(name);
        const Bytes file = Sample(name);
        const ContainedImageList before = ReadContainer(file).lists[0];
        const ImageListData images = Decoded(file);

        // The first two swapped and two changed copies of the first added: the moved ones keep
        // their items whole, the new ones are named after the others.
        ImageListData moved = Pick(images, {1, 0, 0, 0});
        for (int i : {2, 3}) {
            moved.SetPixel(i, 3, 3, 0xFF010203);
            moved.SetTransparent(i, 3, 3, false);
        }
        const ContainedImageList after = WrittenBack(file, moved);
        ASSERT_EQ(after.names.size(), 4u);
        EXPECT_EQ(after.names[0], before.names[1]);
        EXPECT_EQ(after.names[1], before.names[0]);
        EXPECT_EQ(after.names[2], NewItemName({before.names[1], before.names[0]}));
        EXPECT_EQ(after.names[3], NewItemName({before.names[1], before.names[0], after.names[2]}));
        EXPECT_EQ(PngOf(after, 0), PngOf(before, 1));
        EXPECT_EQ(PngOf(after, 1), PngOf(before, 0));

        // A changed image keeps the item at its place, name and all, with a new PNG.
        ImageListData replaced = images;
        replaced.SetPixel(0, 3, 3, 0xFF010203);
        replaced.SetTransparent(0, 3, 3, false);
        const ContainedImageList again = WrittenBack(file, replaced);
        EXPECT_EQ(again.names, before.names);
        EXPECT_NE(PngOf(again, 0), PngOf(before, 0));
        EXPECT_EQ(PngOf(again, 1), PngOf(before, 1));
    }
}

TEST(PictureCollectionsTest, BytesOutsideTheCollectionStay) {
    const Bytes file = Sample("png_image_list.dfm");
    const ContainedImageList before = ReadContainer(file).lists[0];
    const ImageListData images = Decoded(file);
    ContainerError error;
    const Bytes written = WriteBackList(file, "", 0, Pick(images, {2, 1}), error);
    ASSERT_FALSE(written.empty());
    const std::string text = AsText(file), out = AsText(written);
    const ByteSpan value = before.pictures.value;
    EXPECT_EQ(out.substr(0, value.offset), text.substr(0, value.offset));
    const std::string after = text.substr(value.end());
    EXPECT_EQ(out.substr(out.size() - after.size()), after);
    // The kept items are the old items' text, in their new order.
    const auto itemText = [&](int i) {
        const ByteSpan span = before.pictures.items[i].span;
        return text.substr(span.offset, span.size);
    };
    EXPECT_NE(out.find(itemText(2) + "\r\n      " + itemText(1) + ">"), std::string::npos);
}

TEST(PictureCollectionsTest, DamagedCollectionsAreRefusedNamingTheItem) {
    const std::string png = AsText(Sample("png_image_list.dfm"));
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = png;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string firstData = "89504E470D0A1A0A";
    struct Case {
        const char* what;
        std::string form;
        ContainerProblem problem;
        const char* where;
    };
    const Case cases[] = {
        {"not a PNG", replaced(firstData, "424D470D0A1A0A00"), ContainerProblem::kBadPicture,
         "PngImageList1.ok"},
        {"size other than the list's", replaced("PngImages", "Width = 24\r\n    PngImages"),
         ContainerProblem::kPictureSize, "PngImageList1.ok"},
        {"huge declared size", replaced("0000001000000010", "7FFFFFFF7FFFFFFF"),
         ContainerProblem::kBadPicture, "PngImageList1.ok"},
        {"empty",
         "object F: TForm\r\n  object L: TPngImageList\r\n    PngImages = <>\r\n  end\r\nend\r\n",
         ContainerProblem::kEmptyCollection, "L"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ContainerContents contents = ReadContainer(Bytes(c.form.begin(), c.form.end()));
        EXPECT_EQ(contents.error.problem, c.problem);
        EXPECT_EQ(contents.error.where, c.where);
        EXPECT_TRUE(contents.lists.empty());
    }
    // A picture damaged past its header reads, but fails to decode, naming the item.
    const std::string cut = replaced("49444154", "49444155");
    const ContainerContents contents = ReadContainer(Bytes(cut.begin(), cut.end()));
    ASSERT_FALSE(contents.error);
    ContainerError error;
    EXPECT_FALSE(DecodeContainedList(contents.lists[0], 0, error));
    EXPECT_EQ(error.problem, ContainerProblem::kBadPicture);
    EXPECT_EQ(error.where, "PngImageList1.ok");
}

TEST(PictureCollectionsTest, DevExpressListsAreReadOnly) {
    const Bytes file = Sample("cx_image_list.dfm");
    ContainerError error;
    EXPECT_TRUE(WriteBackList(file, "", 0, Decoded(file), error).empty());
    EXPECT_EQ(error.problem, ContainerProblem::kReadOnlyList);
}

TEST(PictureCollectionsTest, NewItemNamesContinueTheCommonestPattern) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"Item0", "Item1", "save"}, "Item2"}, {{"icon7", "Item2", "icon9"}, "icon10"},
        {{"ok", "cancel"}, "image2"},          {{}, "image0"},
        {{"image1", "image2"}, "image3"},
    };
    for (const auto& [names, expected] : cases) EXPECT_EQ(NewItemName(names), expected);
}

}  // namespace
}  // namespace iconvale
