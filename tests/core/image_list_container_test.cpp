// Image lists in Delphi and Lazarus forms and .NET resource files: found where they nest,
// written in each form and read back with every pixel, mask bit, alpha value and palette.
#include <gtest/gtest.h>

#include <string>

#include "core/image_list_container.h"
#include "core/lazarus_form.h"
#include "core/resx_image_stream.h"
#include "core/text_codecs.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::MakeCanonical;
using testing::PatternList;
using testing::SameImages;

Bytes AsBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}
std::string AsText(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

ContainerContents ReadBack(const Bytes& file) {
    ContainerContents contents = ReadContainer(file);
    EXPECT_FALSE(contents.error) << DescribeContainerError(contents.error);
    return contents;
}

// The images of one size of a list that was read.
ImageListData Images(const ContainedImageList& list, std::size_t size = 0) {
    ContainerError error;
    auto images = DecodeContainedList(list, size, error);
    EXPECT_TRUE(images) << DescribeContainerError(error);
    return images ? std::move(*images) : ImageListData{};
}

// A 32-bit list whose alpha says what its mask says: 0 where transparent, 1 to 255 elsewhere,
// with colour kept under transparent pixels too. Every form carries such a list unchanged.
ImageListData AlphaList(int count) {
    ImageListData list = PatternList({.width = 5, .height = 3, .count = count, .capacity = count});
    for (int i = 0; i < count; ++i)
        for (int y = 0; y < list.height; ++y)
            for (int x = 0; x < list.width; ++x) {
                std::uint32_t v = list.Pixel(i, x, y);
                bool clear = list.Transparent(i, x, y);
                std::uint32_t alpha = clear ? 0 : ((v >> 24) | 1);
                list.SetPixel(i, x, y, (v & 0x00FFFFFF) | alpha << 24);
            }
    return list;
}

// Colours (24 bits) and mask of a list against the 32-bit list an .lfm import gives.
void ExpectSameAsLazarus(const ImageListData& source, const ImageListData& imported) {
    ASSERT_EQ(imported.count, source.count);
    ASSERT_EQ(imported.bitsPerPixel, 32);
    for (int i = 0; i < source.count; ++i)
        for (int y = 0; y < source.height; ++y)
            for (int x = 0; x < source.width; ++x) {
                bool clear = source.Transparent(i, x, y);
                ASSERT_EQ(imported.Transparent(i, x, y), clear) << i << " " << x << "," << y;
                if (!clear) {
                    EXPECT_EQ(imported.Pixel(i, x, y),
                              testing::PixelColour(source, i, x, y) | 0xFF000000u);
                }
            }
}

TEST(ImageListContainer, EachFormWritesAndReadsBackEveryDepth) {
    for (int bits : {4, 8, 16, 24, 32}) {
        ImageListData list =
            PatternList({.width = 7, .height = 5, .bitsPerPixel = bits, .count = 6, .capacity = 9});
        MakeCanonical(list);
        for (ContainerForm form : {ContainerForm::kDelphiForm, ContainerForm::kResx,
                                   ContainerForm::kStream, ContainerForm::kLazarusForm}) {
            SCOPED_TRACE(::testing::Message() << bits << " bits, form " << static_cast<int>(form));
            Bytes file = WriteContainer(form, list, "Icons");
            ASSERT_FALSE(file.empty());
            ContainerContents contents = ReadBack(file);
            ASSERT_EQ(contents.form, form);
            ASSERT_EQ(contents.lists.size(), 1u);
            const ImageListData back = Images(contents.lists[0]);
            if (form != ContainerForm::kStream) {
                EXPECT_EQ(contents.lists[0].name, "Icons");
            }
            if (form == ContainerForm::kLazarusForm) {
                ExpectSameAsLazarus(list, back);
            } else {
                EXPECT_TRUE(SameImages(list, back));
                EXPECT_EQ(back.bitsPerPixel, bits);
                if (bits <= 8) {
                    EXPECT_EQ(back.palette, list.palette);
                }
            }
            // Exported again in the same form, the import gives the same images.
            ContainerContents again = ReadBack(WriteContainer(form, back, "Icons"));
            ASSERT_EQ(again.lists.size(), 1u);
            EXPECT_EQ(Images(again.lists[0]).pixels, back.pixels);
            EXPECT_EQ(Images(again.lists[0]).mask, back.mask);
        }
    }
}

TEST(ImageListContainer, DelphiBlockLooksAsDelphiWritesIt) {
    ImageListData list = PatternList({.width = 16, .height = 16, .bitsPerPixel = 8, .count = 2});
    std::string text = AsText(WriteContainer(ContainerForm::kDelphiForm, list, "ImageList1"));
    EXPECT_EQ(text.rfind("object ImageList1: TImageList\r\n  ColorDepth = cd8Bit\r\n", 0), 0u);
    EXPECT_NE(text.find("  Height = 16\r\n"), std::string::npos);
    EXPECT_NE(text.find("  Width = 16\r\n"), std::string::npos);
    EXPECT_NE(text.find("  Bitmap = {\r\n    494C0101"), std::string::npos);
    std::size_t firstLine = text.find("    494C");
    EXPECT_EQ(text.find("\r\n", firstLine) - firstLine, 4u + 64u);
    EXPECT_NE(text.find("}\r\nend\r\n"), std::string::npos);
    EXPECT_EQ(text.find("\r\n}"), std::string::npos);
}

TEST(ImageListContainer, ChainThroughEveryFormKeepsPixelsMaskAndAlpha) {
    const ImageListData source = AlphaList(5);
    ContainerContents dfm =
        ReadBack(WriteContainer(ContainerForm::kDelphiForm, source, "ImageList1"));
    ASSERT_EQ(dfm.lists.size(), 1u);
    auto stream = ParseImageListStream(dfm.lists[0].bitmap);
    ASSERT_TRUE(stream);
    ContainerContents resx = ReadBack(WriteContainer(ContainerForm::kResx, *stream, "imageList1"));
    ASSERT_EQ(resx.lists.size(), 1u);
    ContainerContents lfm =
        ReadBack(WriteContainer(ContainerForm::kLazarusForm, Images(resx.lists[0]), "ImageList1"));
    ASSERT_EQ(lfm.lists.size(), 1u);
    auto last = ParseImageListStream(WriteImageListStream(Images(lfm.lists[0])));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->pixels, source.pixels);
    EXPECT_EQ(last->mask, source.mask);
}

TEST(ImageListContainer, FindsListsWhereTextFormsNestThem) {
    ImageListData four = PatternList({.width = 3, .height = 2, .bitsPerPixel = 4, .count = 2});
    ImageListData alpha = AlphaList(3);
    auto hex = [](const Bytes& b) { return HexLines(b, 32, "      ", "\n"); };
    std::string form =
        "\xEF\xBB\xBF"
        "object Form1: TForm1\n"
        "  Caption = 'object X: end '#13#10'{' +\n"
        "    'more'\n"
        "  Font.Style = [fsBold, fsItalic]\n"
        "  Width = -12\n"
        "  Items.Strings = (\n    'a'\n    'end')\n"
        "  Columns = <\n    item\n      Caption = 'end'\n    end\n    item\n    end>\n"
        "  Glyph.Data = {\n    0A0b}\n"
        "  object Panel1: TPanel [0]\n"
        "    inherited Shared: TCustomImageList\n"
        "      Bitmap = {\n" +
        hex(WriteImageListStream(four)) +
        "}\n"
        "    end\n"
        "    object Picture: TImage\n      Bitmap = {\n        424D}\n    end\n"
        "  end\n"
        "  inline Frame1: TFrame1\n"
        "    object Lazarus: TBGRAImageList\n"
        "      Height = 3\n"
        "      Bitmap = {\n" +
        hex(EncodeLazarusImages(alpha)) +
        "\n      }\n"
        "    end\n"
        "  end\n"
        "end\n";
    ContainerContents contents = ReadBack(AsBytes(form));
    EXPECT_EQ(contents.form, ContainerForm::kLazarusForm);
    ASSERT_EQ(contents.lists.size(), 2u);
    EXPECT_EQ(contents.lists[0].name, "Shared");
    EXPECT_EQ(contents.lists[0].className, "TCustomImageList");
    EXPECT_EQ(contents.lists[0].line, 18);
    EXPECT_TRUE(SameImages(four, Images(contents.lists[0])));
    EXPECT_EQ(contents.lists[1].name, "Lazarus");
    EXPECT_EQ(Images(contents.lists[1]).pixels, alpha.pixels);
    EXPECT_EQ(Images(contents.lists[1]).mask, alpha.mask);
}

// A binary form as the VCL streams it: a root form with typed properties, a collection and a
// child image list whose Bitmap is a binary value.
class BinaryForm {
public:
    BinaryForm() : bytes_{'T', 'P', 'F', '0'} {}
    BinaryForm& Raw(std::initializer_list<std::uint8_t> b) {
        bytes_.insert(bytes_.end(), b);
        return *this;
    }
    BinaryForm& Str(std::string_view s) {
        bytes_.push_back(static_cast<std::uint8_t>(s.size()));
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        return *this;
    }
    BinaryForm& Binary(const Bytes& data) {
        bytes_.push_back(10);
        AppendU32(bytes_, static_cast<std::uint32_t>(data.size()));
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

Bytes SampleBinaryForm(const Bytes& stream) {
    BinaryForm form;
    form.Str("TForm1").Str("Form1");
    form.Str("Left").Raw({3, 0x10, 0x01});
    form.Str("Caption").Raw({6}).Str("Bitmap");
    form.Str("Font.Style").Raw({11}).Str("fsBold").Raw({0});
    form.Str("Items").Raw({1, 6}).Str("x").Raw({0});
    form.Str("Columns").Raw({14, 1}).Str("Width").Raw({2, 50, 0, 0});
    form.Str("Glyph.Data").Binary({1, 2, 3});
    form.Raw({0});
    form.Raw({0xF3, 2, 0}).Str("TImageList").Str("ImageList1");  // inherited, child order 0
    form.Str("Bitmap").Binary(stream).Raw({0, 0});
    form.Raw({0});
    return form.bytes();
}

TEST(ImageListContainer, ReadsDelphiBinaryForms) {
    ImageListData list = PatternList({.width = 4, .height = 4, .bitsPerPixel = 24, .count = 3});
    ContainerContents contents = ReadBack(SampleBinaryForm(WriteImageListStream(list)));
    EXPECT_EQ(contents.form, ContainerForm::kDelphiBinaryForm);
    ASSERT_EQ(contents.lists.size(), 1u);
    EXPECT_EQ(contents.lists[0].name, "ImageList1");
    EXPECT_TRUE(SameImages(list, Images(contents.lists[0])));
    EXPECT_TRUE(WriteContainer(ContainerForm::kDelphiBinaryForm, list, "x").empty());
}

TEST(ImageListContainer, ResxHasTheRecordsAndHeadersDotNetReads) {
    Bytes stream = WriteImageListStream(PatternList({.count = 2}));
    std::string resx = WriteResxDocument(stream, "a&b");
    EXPECT_NE(resx.find("<value>text/microsoft-resx</value>"), std::string::npos);
    EXPECT_NE(resx.find("<value>System.Resources.ResXResourceReader, System.Windows.Forms"),
              std::string::npos);
    EXPECT_NE(resx.find("<data name=\"a&amp;b.ImageStream\" "
                        "mimetype=\"application/x-microsoft.net.object.binary.base64\">"),
              std::string::npos);
    // Header, library, class with its one byte-array member, reference, array, end.
    Bytes records = SerializeImageListStreamer(stream);
    std::string_view head(reinterpret_cast<const char*>(records.data()), 26);
    EXPECT_EQ(head, std::string_view("\x00\x01\x00\x00\x00\xFF\xFF\xFF\xFF\x01\x00\x00\x00"
                                     "\x00\x00\x00\x00\x0C\x02\x00\x00\x00\x57System",
                                     26));
    EXPECT_EQ(records.back(), 0x0B);
    ContainerError error;
    EXPECT_EQ(DeserializeImageListStreamer(records, error), stream);
    EXPECT_EQ(RunLengthEncode(Bytes(300, 7)), (Bytes{255, 7, 45, 7}));
    // A name that is no identifier takes the designer's default.
    ContainerContents named =
        ReadBack(WriteContainer(ContainerForm::kResx, *ParseImageListStream(stream), "a b\n"));
    ASSERT_EQ(named.lists.size(), 1u);
    EXPECT_EQ(named.lists[0].name, "imageList1");
}

// From the Lazarus form of MiTeC's Object Inspector test program (wndMain, ImageList1), public
// on GitHub: two 16 x 16 images, each with four opaque pixels on a transparent ground.
constexpr std::string_view kLazarusSample =
    "object wndMain: TwndMain\n"
    "  object ImageList1: TImageList\n"
    "    BkColor = clCream\n"
    "    Left = 141\n"
    "    Top = 260\n"
    "    Bitmap = {\n"
    "      4C7A020000001000000010000000A50000000000000078DAEDD32B0EC3300C80\n"
    "      611FA9C7D83176A41C21B030702C8683818581858695065C3BC9A4AEAA945405\n"
    "      ABAA829FF953D287E9C34017099DF512A4FA6506D01A783E3A5FF1C0CCBF4D12\n"
    "      111045F5B0CB17CB6263C0BAEFEDA6A5513CBA66AF73EBDABCC9E74EE5DC280D\n"
    "      0148EE1E5EB6D1AFEC80FB7C7957F1EDD29DD57DAB79FDBE5BCFBEC8D385FEF7\n"
    "      BB73EFBFCE1FD9FFECFFB7FF69FEC0FE677FEFFF999B01AFD34983\n"
    "    }\n"
    "  end\n"
    "end\n";

// The ImageListStreamer that dotnet/winforms keeps in its unit tests
// (src/System.Windows.Forms/tests/UnitTests/SerializableTypesTests.cs, ClassicImageListStreamer),
// as .NET Framework serialized it: one blank 16 x 16 image in an 8-bit masked list.
constexpr std::string_view kDotNetSample =
    "AAEAAAD/////"
    "AQAAAAAAAAAMAgAAAFdTeXN0ZW0uV2luZG93cy5Gb3JtcywgVmVyc2lvbj00LjAuMC4wLCBDdWx0dXJlPW5ldXRyYWwsIF"
    "B1YmxpY0tleVRva2VuPWI3N2E1YzU2MTkzNGUwODkFAQAAACZTeXN0ZW0uV2luZG93cy5Gb3Jtcy5JbWFnZUxpc3RTdHJl"
    "YW1lcgEAAAAERGF0YQcCAgAAAAkDAAAADwMAAAAqBwAAAk1TRnQBSQFMAwEBAAEIAQABCAEAARABAAEQAQAE/wEJAQAI/"
    "wFCAU0BNgEEBgABNgEEAgABKAMAAUADAAEQAwABAQEAAQgGAAEEGAABgAIAAYADAAKAAQABgAMAAYABAAGAAQACgAIAA8A"
    "BAAHAAdwBwAEAAfABygGmAQABMwUAATMBAAEzAQABMwEAAjMCAAMWAQADHAEAAyIBAAMpAQADVQEAA00BAANCAQADOQEAA"
    "YABfAH/AQACUAH/AQABkwEAAdYBAAH/AewBzAEAAcYB1gHvAQAB1gLnAQABkAGpAa0CAAH/"
    "ATMDAAFmAwABmQMAAcwCAAEzAwACMwIAATMBZgIAATMBmQIAATMBzAIAATMB/"
    "wIAAWYDAAFmATMCAAJmAgABZgGZAgABZgHMAgABZgH/"
    "AgABmQMAAZkBMwIAAZkBZgIAApkCAAGZAcwCAAGZAf8CAAHMAwABzAEzAgABzAFmAgABzAGZAgACzAIAAcwB/"
    "wIAAf8BZgIAAf8BmQIAAf8BzAEAATMB/wIAAf8BAAEzAQABMwEAAWYBAAEzAQABmQEAATMBAAHMAQABMwEAAf8BAAH/"
    "ATMCAAMzAQACMwFmAQACMwGZAQACMwHMAQACMwH/"
    "AQABMwFmAgABMwFmATMBAAEzAmYBAAEzAWYBmQEAATMBZgHMAQABMwFmAf8BAAEzAZkCAAEzAZkBMwEAATMBmQFmAQABMw"
    "KZAQABMwGZAcwBAAEzAZkB/wEAATMBzAIAATMBzAEzAQABMwHMAWYBAAEzAcwBmQEAATMCzAEAATMBzAH/AQABMwH/"
    "ATMBAAEzAf8BZgEAATMB/wGZAQABMwH/"
    "AcwBAAEzAv8BAAFmAwABZgEAATMBAAFmAQABZgEAAWYBAAGZAQABZgEAAcwBAAFmAQAB/"
    "wEAAWYBMwIAAWYCMwEAAWYBMwFmAQABZgEzAZkBAAFmATMBzAEAAWYBMwH/"
    "AQACZgIAAmYBMwEAA2YBAAJmAZkBAAJmAcwBAAFmAZkCAAFmAZkBMwEAAWYBmQFmAQABZgKZAQABZgGZAcwBAAFmAZkB/"
    "wEAAWYBzAIAAWYBzAEzAQABZgHMAZkBAAFmAswBAAFmAcwB/wEAAWYB/wIAAWYB/wEzAQABZgH/"
    "AZkBAAFmAf8BzAEAAcwBAAH/AQAB/"
    "wEAAcwBAAKZAgABmQEzAZkBAAGZAQABmQEAAZkBAAHMAQABmQMAAZkCMwEAAZkBAAFmAQABmQEzAcwBAAGZAQAB/"
    "wEAAZkBZgIAAZkBZgEzAQABmQEzAWYBAAGZAWYBmQEAAZkBZgHMAQABmQEzAf8BAAKZATMBAAKZAWYBAAOZAQACmQHMAQA"
    "CmQH/"
    "AQABmQHMAgABmQHMATMBAAFmAcwBZgEAAZkBzAGZAQABmQLMAQABmQHMAf8BAAGZAf8CAAGZAf8BMwEAAZkBzAFmAQABmQ"
    "H/AZkBAAGZAf8BzAEAAZkC/"
    "wEAAcwDAAGZAQABMwEAAcwBAAFmAQABzAEAAZkBAAHMAQABzAEAAZkBMwIAAcwCMwEAAcwBMwFmAQABzAEzAZkBAAHMATM"
    "BzAEAAcwBMwH/"
    "AQABzAFmAgABzAFmATMBAAGZAmYBAAHMAWYBmQEAAcwBZgHMAQABmQFmAf8BAAHMAZkCAAHMAZkBMwEAAcwBmQFmAQABzA"
    "KZAQABzAGZAcwBAAHMAZkB/wEAAswCAALMATMBAALMAWYBAALMAZkBAAPMAQACzAH/AQABzAH/AgABzAH/"
    "ATMBAAGZAf8BZgEAAcwB/wGZAQABzAH/AcwBAAHMAv8BAAHMAQABMwEAAf8BAAFmAQAB/wEAAZkBAAHMATMCAAH/"
    "AjMBAAH/ATMBZgEAAf8BMwGZAQAB/wEzAcwBAAH/ATMB/wEAAf8BZgIAAf8BZgEzAQABzAJmAQAB/wFmAZkBAAH/"
    "AWYBzAEAAcwBZgH/AQAB/wGZAgAB/wGZATMBAAH/AZkBZgEAAf8CmQEAAf8BmQHMAQAB/wGZAf8BAAH/AcwCAAH/"
    "AcwBMwEAAf8BzAFmAQAB/wHMAZkBAAH/AswBAAH/AcwB/wEAAv8BMwEAAcwB/wFmAQAC/wGZAQAC/wHMAQACZgH/"
    "AQABZgH/AWYBAAFmAv8BAAH/AmYBAAH/AWYB/"
    "wEAAv8BZgEAASEBAAGlAQADXwEAA3cBAAOGAQADlgEAA8sBAAOyAQAD1wEAA90BAAPjAQAD6gEAA/"
    "EBAAP4AQAB8AH7Af8BAAGkAqABAAOAAwAB/wIAAf8DAAL/AQAB/wMAAf8BAAH/AQAC/wIAA///AP8A/wD/"
    "AAUAAUIBTQE+BwABPgMAASgDAAFAAwABEAMAAQEBAAEBBQABgBcAA/8BAAL/BgAC/wYAAv8GAAL/BgAC/wYAAv8GAAL/"
    "BgAC/wYAAv8GAAL/BgAC/wYAAv8GAAL/BgAC/wYAAv8GAAL/BgAL";

TEST(ImageListContainer, ReadsPublicSamplesFromOtherEcosystems) {
    ContainerContents lazarus = ReadBack(AsBytes(kLazarusSample));
    ASSERT_EQ(lazarus.lists.size(), 1u);
    const ImageListData icons = Images(lazarus.lists[0]);
    ASSERT_EQ(icons.count, 2);
    EXPECT_EQ(icons.width, 16);
    EXPECT_EQ(icons.height, 16);
    for (int i = 0; i < 2; ++i) {
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) opaque += !icons.Transparent(i, x, y);
        EXPECT_EQ(opaque, 4);
        EXPECT_EQ(icons.Pixel(i, 3, 3), 0xBFA0B0C0u);
        EXPECT_EQ(icons.Pixel(i, 11, 11), 0xBF304860u);
        EXPECT_EQ(icons.Pixel(i, 0, 0), 0x00FFFBF0u);
    }

    std::string resx =
        "<?xml version=\"1.0\"?>\n<root>\n  <!-- <data name=\"x.ImageStream\"> -->\n"
        "  <data name=\"imageList1.ImageStream\" "
        "mimetype=\"application/x-microsoft.net.object.binary.base64\">\n"
        "    <value>\n" +
        std::string(kDotNetSample) + "\n</value>\n  </data>\n</root>\n";
    ContainerContents dotNet = ReadBack(AsBytes(resx));
    ASSERT_EQ(dotNet.lists.size(), 1u);
    EXPECT_EQ(dotNet.lists[0].name, "imageList1");
    EXPECT_EQ(dotNet.lists[0].line, 4);
    const ImageListData blank = Images(dotNet.lists[0]);
    ASSERT_EQ(blank.count, 1);
    EXPECT_EQ(blank.width, 16);
    EXPECT_EQ(blank.bitsPerPixel, 8);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(blank.Pixel(0, x, y), 0u);
            EXPECT_TRUE(blank.Transparent(0, x, y));
        }
}

}  // namespace
}  // namespace iconvale
