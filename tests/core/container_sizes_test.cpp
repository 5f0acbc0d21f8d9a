// Multi-size Lazarus lists and what reading a container may cost: every size is found from its
// header with the place of its bytes, decoded alone, and damage stays with the size it is in;
// forged sizes are refused before anything is allocated, and a file of several big lists costs
// only the list that is taken.
#include <gtest/gtest.h>

#include <string>

#include "core/image_list_container.h"
#include "core/lazarus_form.h"
#include "core/text_codecs.h"
#include "support/allocation_meter.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::AllocationMeter;
using testing::LazarusFormWithSizes;
using testing::LazarusSizes;
using testing::PatternList;
using testing::SameImages;

ImageListData Square(int side, int count = 3) {
    return PatternList({.width = side, .height = side, .count = count, .capacity = count});
}

// What a list becomes through a Lazarus block: the form keeps alpha, not the mask.
ImageListData ThroughLazarus(const ImageListData& list) {
    ContainerError error;
    return *DecodeLazarusImages(EncodeLazarusImages(list), error);
}

Bytes AsBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// The bookmark list of a real editor's form: 11x11 in Bitmap, three more sizes in BitmapAdv.
const std::vector<ImageListData> kSizes = {Square(16), Square(22), Square(33)};

TEST(ContainerSizes, EverySizeIsListedWithItsPlaceAndDecodesAlone) {
    const std::string form = LazarusFormWithSizes("ilBookmarks", Square(11), LazarusSizes(kSizes));
    const ContainerContents contents = ReadContainer(AsBytes(form));
    ASSERT_FALSE(contents.error) << DescribeContainerError(contents.error);
    ASSERT_EQ(contents.lists.size(), 1u);
    const ContainedImageList& list = contents.lists[0];
    EXPECT_EQ(contents.form, ContainerForm::kLazarusForm);
    EXPECT_FALSE(list.sizesError);
    ASSERT_EQ(list.sizes.size(), 4u);
    // The values' places are the text between their braces, for a later splice.
    EXPECT_EQ(form.substr(list.bitmapSpan.offset - 1, 3), "{\r\n");
    EXPECT_EQ(form.substr(list.bitmapSpan.end() - 6, 7), "\r\n    }");
    EXPECT_EQ(form.substr(list.advancedSpan.offset - 13, 13), "BitmapAdv = {");
    EXPECT_EQ(form[list.advancedSpan.end()], '}');
    std::size_t next = 6;  // after "Li" and the count of sizes
    for (std::size_t i = 0; i < 4; ++i) {
        const ImageListData expected = ThroughLazarus(i == 0 ? Square(11) : kSizes[i - 1]);
        EXPECT_EQ(list.sizes[i].width, expected.width);
        EXPECT_EQ(list.sizes[i].count, 3);
        EXPECT_EQ(list.sizes[i].advanced, i > 0);
        if (i > 0) {
            EXPECT_EQ(list.sizes[i].block.offset, next);
            next = list.sizes[i].block.end();
        }
        ContainerError error;
        auto images = DecodeContainedList(list, i, error);
        ASSERT_TRUE(images) << DescribeContainerError(error);
        EXPECT_TRUE(SameImages(expected, *images)) << i;
    }
    EXPECT_EQ(next, list.advanced.size());
}

TEST(ContainerSizes, BinaryFormsKeepBitmapAdvAndTheLengthsOfBothValues) {
    const Bytes base = EncodeLazarusImages(Square(11));
    const Bytes sizes = LazarusSizes(kSizes);
    Bytes binary{'T', 'P', 'F', '0', 10,  'T', 'I', 'm', 'a',
                 'g', 'e', 'L', 'i', 's', 't', 2,   'I', 'L'};
    std::size_t lengths[2];
    int n = 0;
    for (const auto& [name, value] :
         {std::pair<std::string, const Bytes*>{"Bitmap", &base}, {"BitmapAdv", &sizes}}) {
        binary.push_back(static_cast<std::uint8_t>(name.size()));
        binary.insert(binary.end(), name.begin(), name.end());
        binary.push_back(10);  // a binary value
        lengths[n++] = binary.size();
        AppendU32(binary, static_cast<std::uint32_t>(value->size()));
        binary.insert(binary.end(), value->begin(), value->end());
    }
    binary.insert(binary.end(), {0, 0});
    const ContainerContents contents = ReadContainer(binary);
    ASSERT_FALSE(contents.error) << DescribeContainerError(contents.error);
    const ContainedImageList& list = contents.lists.at(0);
    EXPECT_EQ(list.bitmapSpan, (ByteSpan{lengths[0], 4 + base.size()}));
    EXPECT_EQ(list.advancedSpan, (ByteSpan{lengths[1], 4 + sizes.size()}));
    ASSERT_EQ(list.sizes.size(), 4u);
    ContainerError error;
    auto largest = DecodeContainedList(list, 3, error);
    ASSERT_TRUE(largest);
    EXPECT_TRUE(SameImages(ThroughLazarus(kSizes[2]), *largest));
}

struct DamagedSizes {
    const char* what;
    Bytes sizes;
    ContainerProblem problem;
    int width;  // the size named by the error; 0 for none
};

Bytes Damaged(Bytes sizes, std::size_t at, std::uint8_t value) {
    sizes[at] = value;
    return sizes;
}

TEST(ContainerSizes, ADamagedBitmapAdvLosesItsSizesNotTheList) {
    const Bytes good = LazarusSizes(kSizes);
    Bytes cut = good;
    cut.resize(cut.size() - 5);
    Bytes longer = good;
    longer.push_back(0);
    const DamagedSizes cases[] = {
        {"bad signature", Damaged(good, 1, 'z'), ContainerProblem::kBadSignature, 0},
        {"a block's bad signature", Damaged(good, 7, 'q'), ContainerProblem::kBadSignature, 0},
        {"another count", LazarusSizes({Square(16), Square(22, 2)}), ContainerProblem::kOtherCount,
         22},
        {"the base width", LazarusSizes({Square(16), Square(11)}), ContainerProblem::kRepeatedSize,
         11},
        {"a width twice", LazarusSizes({Square(16), Square(16)}), ContainerProblem::kRepeatedSize,
         16},
        {"cut short", cut, ContainerProblem::kTruncated, 33},
        {"bytes after the last size", longer, ContainerProblem::kBadStream, 0},
        {"more sizes than blocks", Damaged(good, 2, 4), ContainerProblem::kTruncated, 0},
        {"a forged count of sizes", Damaged(good, 5, 0x7F), ContainerProblem::kTooLarge, 0},
        {"a forged image count", Damaged(good, 8, 4), ContainerProblem::kOtherCount, 16},
        {"a size over the budget",
         Damaged(Damaged(Damaged(Damaged(good, 12, 0xFF), 13, 0xFF), 16, 0xFF), 17, 0xFF),
         ContainerProblem::kTooLarge, 65535},
    };
    for (const DamagedSizes& c : cases) {
        const ContainerContents contents =
            ReadContainer(AsBytes(LazarusFormWithSizes("ilBookmarks", Square(11), c.sizes)));
        ASSERT_FALSE(contents.error) << c.what;
        const ContainedImageList& list = contents.lists.at(0);
        EXPECT_EQ(list.sizesError.problem, c.problem) << c.what;
        EXPECT_EQ(list.sizesError.where, "ilBookmarks") << c.what;
        EXPECT_EQ(list.sizesError.line, 3) << c.what;
        EXPECT_EQ(list.sizesError.width, c.width) << c.what;
        EXPECT_EQ(list.sizes.size(), 1u) << c.what;
        ContainerError error;
        EXPECT_TRUE(DecodeContainedList(list, 0, error)) << c.what;
    }
}

// A header whose sizes the data behind it cannot hold, as a forged file would have.
Bytes LazarusHeader(std::uint32_t count, std::uint32_t width, std::uint32_t height,
                    const Bytes& packed) {
    Bytes out{'L', 'z'};
    for (std::uint32_t v : {count, width, height}) AppendU32(out, v);
    AppendU32(out, static_cast<std::uint32_t>(packed.size()));
    AppendU32(out, 0);
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}

Bytes Deflated(const ImageListData& list) {
    const Bytes block = EncodeLazarusImages(list);
    return Bytes(block.begin() + 22, block.end());
}

TEST(ContainerLimits, ForgedLazarusSizesCostNoMoreThanTheDataHolds) {
    // Pixels that barely compress, so that a header may claim far more than they hold.
    ImageListData noisy = Square(64, 16);
    for (std::size_t i = 0; i < noisy.pixels.size(); ++i)
        noisy.pixels[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
    const Bytes packed = Deflated(noisy);
    struct Forged {
        const char* what;
        Bytes block;
        ContainerProblem problem;
    } cases[] = {
        // 134 bytes of form that once cost 528 MB before the zlib data was looked at.
        {"1024 images of 1x65535 in 30 bytes", LazarusHeader(1024, 1, 65535, Bytes(30, 0x78)),
         ContainerProblem::kBadCompression},
        {"32 MiB claimed, 256 KiB held", LazarusHeader(2048, 64, 64, packed),
         ContainerProblem::kBadCompression},
        {"65535 images of 65535x65535", LazarusHeader(65535, 65535, 65535, packed),
         ContainerProblem::kTooLarge},
    };
    for (const Forged& c : cases) {
        const AllocationMeter meter;
        ContainerError error;
        EXPECT_FALSE(DecodeLazarusImages(c.block, error)) << c.what;
        EXPECT_EQ(error.problem, c.problem) << c.what;
        EXPECT_LT(meter.PeakBytes(), 2 * noisy.pixels.size()) << c.what;
    }
    // The 134-byte form itself is refused when it is read, long before it is taken.
    const std::string form = "object IL: TImageList\n  Bitmap = {" +
                             HexLines(LazarusHeader(1024, 1, 65535, Bytes(30, 0x78)), 64, "", "") +
                             "}\nend\n";
    EXPECT_LT(form.size(), 160u);
    EXPECT_EQ(ReadContainer(AsBytes(form)).error.problem, ContainerProblem::kBadCompression);
}

// A list of 8 MiB of pixels: big enough that one decode too many shows, small enough for tests.
ImageListData BigList() {
    ImageListData list;
    list.count = list.capacity = 128;
    list.width = list.height = 128;
    list.flags = 32 | kMaskFlag;
    list.bitsPerPixel = 32;
    list.AllocateImages();
    return list;
}

TEST(ContainerLimits, AFileOfFourBigListsCostsItsOwnSizeUntilOneIsTaken) {
    const ImageListData big = BigList();
    const std::size_t listBytes = big.pixels.size();
    // Four lists in a form and in a resource file, each far larger than the file.
    const std::string hex = HexLines(EncodeLazarusImages(big), 32, "      ", "\r\n");
    std::string lfm = "object Form1: TForm1\r\n";
    for (char name : {'0', '1', '2', '3'}) {
        lfm.append("  object IL").append(1, name).append(": TImageList\r\n    Bitmap = {\r\n");
        lfm.append(hex).append("\r\n    }\r\n  end\r\n");
    }
    lfm += "end\r\n";
    const Bytes one = WriteContainer(ContainerForm::kResx, big, "il");
    std::string resx(one.begin(), one.end());
    const std::size_t dataStart = resx.find("  <data");
    const std::size_t dataEnd = resx.find("</data>") + 9;
    const std::string element = resx.substr(dataStart, dataEnd - dataStart);
    for (char name : {'a', 'b', 'c'}) {
        std::string another = element;
        another.replace(another.find("il.ImageStream"), 2, std::string("il") + name);
        resx.insert(dataStart, another);
    }
    for (const std::string& text : {lfm, resx}) {
        const Bytes file = AsBytes(text);
        ContainerContents contents;
        {
            const AllocationMeter meter;
            contents = ReadContainer(file);
            EXPECT_LE(meter.PeakBytes(), file.size() + 64 * 1024);
        }
        ASSERT_FALSE(contents.error) << DescribeContainerError(contents.error);
        ASSERT_EQ(contents.lists.size(), 4u);
        EXPECT_EQ(contents.lists[3].figures.count, 128);
        const AllocationMeter meter;
        ContainerError error;
        auto images = DecodeContainedList(contents.lists[2], 0, error);
        ASSERT_TRUE(images) << DescribeContainerError(error);
        EXPECT_EQ(images->pixels.size(), listBytes);
        // The list, the mask and at most one list-sized buffer on the way (a growing inflate or
        // an expanded stream).
        EXPECT_LE(meter.PeakBytes(), 2 * listBytes + listBytes / 8);
    }
}

}  // namespace
}  // namespace iconvale
