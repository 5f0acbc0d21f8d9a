// Writing one list back into its form in place: in each form kind, the list (or one size of it)
// reads back as the new images, and every byte outside its value is the file's own.
#include "core/form_write_back.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/delphi_form.h"
#include "core/image_list_streamer.h"
#include "core/lazarus_form.h"
#include "core/resx_image_stream.h"
#include "core/text_codecs.h"
#include "support/stream_builders.h"

namespace iconvale {
namespace {

using testing::LazarusSizes;
using testing::PatternList;

ImageListData List(int side, int count = 3, int bits = 32) {
    return PatternList({.width = side, .height = side, .bitsPerPixel = bits, .count = count});
}

Bytes AsBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}
std::string AsText(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}
// What follows a value's last row: nothing, or a break and the closing brace's indentation.
std::string Tail(const std::string& value) {
    return value.substr(value.find_last_not_of(" \t\r\n") + 1);
}

// Two lists, ListA and ListB, among unrelated objects and properties, their Bitmap values `a`
// and `b` (and BitmapAdv for ListA when `advanced` is not empty) in hex rows of `row` bytes.
std::string TextForm(const Bytes& a, const Bytes& b, bool lazarus, std::string_view nl,
                     std::size_t row, const Bytes& advanced = {}) {
    const std::string close = lazarus ? std::string(nl) + "    }" : "}";
    auto value = [&](std::string_view name, const Bytes& bytes) {
        return "    " + std::string(name) + " = {" + std::string(nl) +
               HexLines(bytes, row, "      ", nl) + close + std::string(nl);
    };
    std::string form =
        "object Form1: TForm1" + std::string(nl) + "  Caption = 'Icons'" + std::string(nl);
    for (const auto& [name, bytes] : {std::pair{"ListA", &a}, std::pair{"ListB", &b}}) {
        form += "  object " + std::string(name) + ": TImageList" + std::string(nl);
        if (!lazarus) form += "    ColorDepth = cd32Bit" + std::string(nl);
        form += "    Height = 16" + std::string(nl) + "    Width = 16" + std::string(nl) +
                value("Bitmap", *bytes);
        if (bytes == &a && !advanced.empty()) form += value("BitmapAdv", advanced);
        form += "  end" + std::string(nl) + "  object Button1: TButton" + std::string(nl) +
                "    Width = 75" + std::string(nl) + "  end" + std::string(nl);
    }
    return form + "end" + std::string(nl);
}

Bytes BinaryForm(const Bytes& a, const Bytes& b) {
    Bytes out{'T', 'P', 'F', '0', 6, 'T', 'F', 'o', 'r', 'm', '1', 5, 'F', 'o', 'r', 'm', '1'};
    auto str = [&out](std::string_view s) {
        out.push_back(static_cast<std::uint8_t>(s.size()));
        out.insert(out.end(), s.begin(), s.end());
    };
    str("Left");
    out.insert(out.end(), {2, 10, 0});  // Left = 10, end of the form's properties
    for (const auto& [name, bytes] : {std::pair{"ListA", &a}, std::pair{"ListB", &b}}) {
        for (std::string_view s : {"TImageList", name, "ColorDepth"}) str(s);
        out.push_back(7);  // an identifier
        str("cd32Bit");
        str("Height");
        out.insert(out.end(), {2, 16});  // an 8-bit integer; Width holds its default
        str("Bitmap");
        out.push_back(10);
        AppendU32(out, static_cast<std::uint32_t>(bytes->size()));
        out.insert(out.end(), bytes->begin(), bytes->end());
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0});
    return out;
}

std::string Resx(const Bytes& a, const Bytes& b) {
    std::string doc = WriteResxDocument(a, "ListA");
    const std::string second = WriteResxDocument(b, "ListB");
    const std::size_t from = second.find("  <data"), to = second.find("</root>");
    doc.insert(doc.find("</root>"),
               "  <data name=\"label1.Text\">\r\n    <value>Hi</value>\r\n"
               "  </data>\r\n" +
                   second.substr(from, to - from));
    return doc;
}

const ImageListData kA = List(16), kB = List(16, 2), kNew = List(16, 5);
const Bytes kLz = EncodeLazarusImages(kA), kLi = EncodeLazarusImages(kA, false);

struct Case {
    const char* what;
    Bytes file;
    std::size_t size;  // of ListA
    ImageListData images;
};

std::vector<Case> Cases() {
    const Bytes a = WriteImageListStream(kA), b = WriteImageListStream(kB);
    const Bytes sizes = LazarusSizes({List(20), List(24)});
    const Bytes lazB = EncodeLazarusImages(kB);
    return {
        {"text dfm, CRLF", AsBytes(TextForm(a, b, false, "\r\n", 32)), 0, kNew},
        {"text dfm, LF", AsBytes(TextForm(a, b, false, "\n", 24)), 0, kNew},
        {"lfm Li", AsBytes(TextForm(kLi, lazB, true, "\r\n", 32)), 0, List(16, 5)},
        {"lfm Lz, LF", AsBytes(TextForm(kLz, lazB, true, "\n", 20)), 0, List(16, 5)},
        {"lfm base size", AsBytes(TextForm(kLz, lazB, true, "\r\n", 32, sizes)), 0, List(16, 3, 4)},
        {"lfm BitmapAdv size", AsBytes(TextForm(kLz, lazB, true, "\r\n", 32, sizes)), 1, List(18)},
        {"binary dfm", BinaryForm(a, b), 0, kNew},
        {"binary lfm", BinaryForm(kLi, lazB), 0, List(16, 7)},
        {"resx", AsBytes(Resx(a, b)), 0, kNew},
    };
}

ImageListData Decoded(const ContainedImageList& list, std::size_t size) {
    ContainerError error;
    auto images = DecodeContainedList(list, size, error);
    EXPECT_TRUE(images) << DescribeContainerError(error);
    return images ? *images : ImageListData{};
}

// What the images become through the list's own kind of value.
ImageListData Through(const ContainedImageList& list, const ImageListData& images) {
    ContainerError error;
    if (list.data == ContainedData::kLazarusImages)
        return *DecodeLazarusImages(EncodeLazarusImages(images), error);
    if (list.data == ContainedData::kResxData)
        return *ParseImageListStream(ResxImageListStream(images));
    return *ParseImageListStream(WriteImageListStream(images));
}

TEST(FormWriteBack, OneListOrSizeChangesAndEveryOtherByteStays) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.what);
        const ContainerContents before = ReadContainer(c.file);
        ASSERT_FALSE(before.error) << DescribeContainerError(before.error);
        ASSERT_EQ(before.lists.size(), 2u);
        ContainerError error;
        const Bytes out = WriteBackList(c.file, "ListA", c.size, c.images, error);
        ASSERT_FALSE(error) << DescribeContainerError(error);
        const ContainerContents after = ReadContainer(out);
        ASSERT_FALSE(after.error) << DescribeContainerError(after.error);
        ASSERT_EQ(after.lists.size(), 2u);
        const ContainedImageList &was = before.lists[0], &now = after.lists[0];
        // (a) The new images in that size, every other size and list as it was.
        const ImageListData expected = Through(now, c.images);
        EXPECT_EQ(Decoded(now, c.size).pixels, expected.pixels);
        EXPECT_EQ(Decoded(now, c.size).mask, expected.mask);
        ASSERT_EQ(now.sizes.size(), was.sizes.size());
        for (std::size_t i = 0; i < was.sizes.size(); ++i) {
            if (i == c.size) continue;
            const Bytes& from = was.sizes[i].advanced ? was.advanced : was.bitmap;
            const Bytes& to = now.sizes[i].advanced ? now.advanced : now.bitmap;
            const ByteSpan f = was.sizes[i].block, t = now.sizes[i].block;
            EXPECT_TRUE(std::equal(from.begin() + f.offset, from.begin() + f.end(),
                                   to.begin() + t.offset, to.begin() + t.end()))
                << i;
        }
        EXPECT_EQ(after.lists[1].bitmap, before.lists[1].bitmap);
        EXPECT_EQ(ListFingerprint(after.lists[1]), ListFingerprint(before.lists[1]));
        EXPECT_NE(ListFingerprint(now), ListFingerprint(was));
        // (b) The bytes before and after the value are the file's own.
        const ByteSpan span = was.sizes[c.size].advanced ? was.advancedSpan : was.bitmapSpan;
        const ByteSpan written = was.sizes[c.size].advanced ? now.advancedSpan : now.bitmapSpan;
        EXPECT_EQ(written.offset, span.offset);
        const std::size_t tail = c.file.size() - span.end();
        ASSERT_EQ(out.size() - written.end(), tail);
        EXPECT_TRUE(std::equal(c.file.begin(), c.file.begin() + span.offset, out.begin()));
        EXPECT_TRUE(std::equal(c.file.end() - tail, c.file.end(), out.end() - tail));
        // (c) Line breaks and rows as the old value had them.
        const std::string oldText(c.file.begin() + span.offset, c.file.begin() + span.end());
        const std::string newText(out.begin() + written.offset, out.begin() + written.end());
        const std::string nl = oldText.find("\r\n") != std::string::npos ? "\r\n" : "\n";
        if (before.form == ContainerForm::kDelphiBinaryForm) continue;
        EXPECT_EQ(
            std::count(out.begin(), out.end(), '\n') - std::count(out.begin(), out.end(), '\r'),
            nl == "\r\n" ? 0 : std::count(out.begin(), out.end(), '\n'));
        const std::size_t row = oldText.find(nl, nl.size()) - nl.size();
        EXPECT_EQ(newText.find(nl, nl.size()) - nl.size(), row);
        EXPECT_EQ(Tail(newText), Tail(oldText));
    }
}

TEST(FormWriteBack, SizeAndDepthPropertiesFollowTheImages) {
    const Bytes a = WriteImageListStream(kA), b = WriteImageListStream(kB);
    const ImageListData bigger = List(200, 3, 8);
    ContainerError error;
    const std::string text = AsText(
        WriteBackList(AsBytes(TextForm(a, b, false, "\r\n", 32)), "ListA", 0, bigger, error));
    EXPECT_NE(text.find("ListA: TImageList\r\n    ColorDepth = cd8Bit\r\n    Height = 200\r\n"
                        "    Width = 200\r\n    Bitmap"),
              std::string::npos);
    EXPECT_NE(text.find("ListB: TImageList\r\n    ColorDepth = cd32Bit\r\n    Height = 16\r\n"),
              std::string::npos);
    // Absent properties held 16: a new one goes before Bitmap, in the object's indentation.
    std::string bare = TextForm(a, b, false, "\n", 32);
    bare.erase(bare.find("    Height = 16\n"), 31);
    const std::string added =
        AsText(WriteBackList(AsBytes(bare), "ListA", 0, List(16, 2, 24), error));
    EXPECT_NE(added.find("ListA: TImageList\n    ColorDepth = cd24Bit\n    Bitmap"),
              std::string::npos);
    const std::string grown = AsText(WriteBackList(AsBytes(bare), "ListA", 0, List(20), error));
    EXPECT_NE(grown.find("cd32Bit\n    Height = 20\n    Width = 20\n    Bitmap = {\n"),
              std::string::npos);
    // A ColorDepth that holds a number stays: "cd8Bit" there would run into a following name.
    std::string numbered = TextForm(a, b, false, "\r\n", 32);
    numbered.replace(numbered.find("cd32Bit"), 7, "7B = 1");
    const Bytes kept = WriteBackList(AsBytes(numbered), "ListA", 0, bigger, error);
    EXPECT_FALSE(ReadContainer(kept).error);
    EXPECT_NE(AsText(kept).find("ColorDepth = 7B = 1"), std::string::npos);
    // Binary: Height rewritten as a 16-bit value, Width added before Bitmap.
    const Bytes binary = WriteBackList(BinaryForm(a, b), "ListA", 0, bigger, error);
    const ContainerContents back = ReadContainer(binary);
    ASSERT_FALSE(back.error) << DescribeContainerError(back.error);
    const FormListProperties& p = back.lists[0].properties;
    EXPECT_EQ(Bytes(binary.begin() + p.height.offset, binary.begin() + p.height.end()),
              (Bytes{3, 200, 0}));
    EXPECT_EQ(Bytes(binary.begin() + p.width.offset, binary.begin() + p.width.end()),
              (Bytes{3, 200, 0}));
    EXPECT_EQ(binary[p.colorDepth.offset + 4], '8');
    EXPECT_EQ(back.lists[1].properties.width.size, 0u);
    // A bare stream is the file's only list, with no name.
    EXPECT_EQ(WriteBackList(WriteImageListStream(kA), "", 0, kNew, error),
              WriteImageListStream(kNew));
}

TEST(FormWriteBack, ResourcesMaskWhereAlphaIsClear) {
    // Image 0 has alpha but for one pixel; image 1 has alpha in row 2 alone, and none at all in
    // the list first written, which Windows then draws by its mask.
    ImageListData list = List(2, 2), noAlpha = List(2, 2);
    list.mask.assign(list.mask.size(), 0);
    noAlpha.mask = list.mask;
    for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 2; ++y) {
            list.SetPixel(0, x, y, x + y == 0 ? 0x00123456 : 0xFF123456);
            list.SetPixel(1, x, y, y == 0 ? 0x00654321 : 0x80654321);
            noAlpha.SetPixel(0, x, y, list.Pixel(0, x, y));
            noAlpha.SetPixel(1, x, y, 0x00654321);
        }
    ContainerError error;
    const Bytes doc = WriteContainer(ContainerForm::kResx, noAlpha, "ListA");
    const Bytes written = WriteBackList(doc, "ListA", 0, list, error);
    for (const bool first : {true, false}) {
        const ContainerContents contents = ReadContainer(first ? doc : written);
        ASSERT_FALSE(contents.error) << DescribeContainerError(contents.error);
        const ImageListData back = Decoded(contents.lists[0], 0);
        EXPECT_TRUE(back.Transparent(0, 0, 0));
        EXPECT_FALSE(back.Transparent(0, 1, 0));
        EXPECT_EQ(back.Transparent(1, 0, 0), !first);
        EXPECT_FALSE(back.Transparent(1, 0, 1));
    }
}

struct Refusal {
    const char* what;
    std::string file;
    std::string list;
    std::size_t size;
    ImageListData images;
    ContainerProblem problem;
};

TEST(FormWriteBack, RefusesWhatItCannotWriteInPlace) {
    const Bytes lazB = EncodeLazarusImages(kB);
    const std::string sizes = TextForm(kLz, lazB, true, "\r\n", 32, LazarusSizes({List(20)}));
    const std::string dfm =
        TextForm(WriteImageListStream(kA), WriteImageListStream(kB), false, "\r\n", 32);
    ImageListData huge = List(1, 0);  // its figures alone: refused before anything is made
    huge.width = huge.height = 4096;
    huge.count = 100;
    const Refusal cases[] = {
        {"over the budget", dfm, "ListA", 0, huge, ContainerProblem::kTooLarge},
        {"no such list", dfm, "ListC", 0, kNew, ContainerProblem::kListGone},
        {"no such size", sizes, "ListA", 2, List(30), ContainerProblem::kListGone},
        {"empty name, two lists", dfm, "", 0, kNew, ContainerProblem::kListGone},
        {"base count out of step", sizes, "ListA", 0, List(16, 4),
         ContainerProblem::kSizesOutOfStep},
        {"size count out of step", sizes, "ListA", 1, List(22, 2),
         ContainerProblem::kSizesOutOfStep},
        {"width of another size", sizes, "ListA", 1, List(16), ContainerProblem::kRepeatedSize},
        {"form cut short", dfm.substr(0, dfm.size() / 2), "ListA", 0, kNew,
         ContainerProblem::kTruncated},
        {"form that does not parse", "object Form1: TForm1\n  = 3\nend\n", "ListA", 0, kNew,
         ContainerProblem::kBadSyntax},
    };
    for (const Refusal& c : cases) {
        ContainerError error;
        EXPECT_TRUE(WriteBackList(AsBytes(c.file), c.list, c.size, c.images, error).empty())
            << c.what;
        EXPECT_EQ(error.problem, c.problem) << c.what << ": " << DescribeContainerError(error);
    }
}

// A Lazarus list of sizes 16 (its base), 20 and 24, three images each.
std::string ThreeSizes() {
    return TextForm(kLz, EncodeLazarusImages(kB), true, "\r\n", 32,
                    LazarusSizes({List(20), List(24)}));
}

TEST(FormWriteBackSizes, SeveralSizesChangeTheirCountTogether) {
    const ImageListData base = List(16, 5), middle = List(20, 5), large = List(24, 5);
    const std::vector<SizedImages> given = {{2, &large}, {0, &base}, {1, &middle}};
    ContainerError error;
    const Bytes out = WriteBackSizes(AsBytes(ThreeSizes()), "ListA", given, error);
    ASSERT_FALSE(error) << DescribeContainerError(error);
    const ContainerContents after = ReadContainer(out);
    ASSERT_FALSE(after.error) << DescribeContainerError(after.error);
    const ContainedImageList& now = after.lists[0];
    ASSERT_EQ(now.sizes.size(), 3u);
    EXPECT_FALSE(now.sizesError) << DescribeContainerError(now.sizesError);
    for (const SizedImages& s : given) {
        EXPECT_EQ(now.sizes[s.size].count, 5);
        EXPECT_EQ(Decoded(now, s.size).pixels, Through(now, *s.images).pixels) << s.size;
    }
}

TEST(FormWriteBackSizes, RefusesSizesThatWouldFallOutOfStep) {
    const ImageListData four16 = List(16, 4), four20 = List(20, 4), three20 = List(20, 3),
                        four24 = List(24, 4);
    struct Refused {
        const char* what;
        std::vector<SizedImages> sizes;
        ContainerProblem problem;
    };
    const Refused cases[] = {
        {"a size left out holds the old count",
         {{0, &four16}, {1, &four20}},
         ContainerProblem::kSizesOutOfStep},
        {"counts differ",
         {{0, &four16}, {1, &three20}, {2, &four24}},
         ContainerProblem::kSizesOutOfStep},
        {"one size twice", {{1, &three20}, {1, &three20}}, ContainerProblem::kRepeatedSize},
        {"nothing given", {}, ContainerProblem::kBadStream},
    };
    for (const Refused& c : cases) {
        ContainerError error;
        EXPECT_TRUE(WriteBackSizes(AsBytes(ThreeSizes()), "ListA", c.sizes, error).empty())
            << c.what;
        EXPECT_EQ(error.problem, c.problem) << c.what << ": " << DescribeContainerError(error);
    }
}

}  // namespace
}  // namespace iconvale
