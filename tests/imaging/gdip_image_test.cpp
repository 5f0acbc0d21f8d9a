#include "imaging/gdip_image.h"

#include <gtest/gtest.h>

#include <cstring>

#include "imaging/image_formats.h"
#include "support/temp_folder.h"
#include "support/test_icons.h"
#include "support/test_pictures.h"

namespace iconvale {
namespace {

using testing::DecodePixels;
using testing::IconPixels;
using testing::PicturePixels;
using testing::TempFolder;

constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Opaque red on the left half, half-transparent blue on the right, a clear bottom row.
Argb Sample(int x, int y) {
    if (y == 7) return 0x00000000;
    return x < 4 ? 0xFFFF0000 : 0x800000FF;
}

bool StartsWith(const Bytes& bytes, const void* prefix, std::size_t length) {
    return bytes.size() >= length && std::memcmp(bytes.data(), prefix, length) == 0;
}

class GdipImageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsurePictureLibrary(); }
    TempFolder folder_;
};

TEST(GdipImageText, GuidTextIsBracedUpperCase) {
    constexpr GUID bmp = {
        0xb96b3cab, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    EXPECT_EQ(GuidText(bmp), kBmpFormat);
    constexpr GUID mixed = {
        0x0a1b2c3d, 0xe4f5, 0x0607, {0x08, 0x09, 0xab, 0xcd, 0xef, 0x01, 0x23, 0x45}};
    EXPECT_EQ(GuidText(mixed), "{0A1B2C3D-E4F5-0607-0809-ABCDEF012345}");
}

TEST(GdipImageStreams, BytesRoundTripThroughAStream) {
    const Bytes bytes = {1, 2, 3, 0, 255, 7};
    ComPtr<IStream> stream = StreamFromBytes(bytes, true);
    ASSERT_TRUE(stream);
    EXPECT_EQ(BytesFromStream(stream.get()), bytes);

    ULARGE_INTEGER size{};
    ASSERT_EQ(stream->Seek({}, STREAM_SEEK_END, &size), S_OK);
    EXPECT_EQ(size.QuadPart, bytes.size()) << "the stream is as long as the bytes";
}

TEST(GdipImageStreams, WithoutCopyTheBlockIsZeroedAndOfTheSameLength) {
    const Bytes bytes(40, 0xAB);
    ComPtr<IStream> stream = StreamFromBytes(bytes, false);
    ASSERT_TRUE(stream);
    EXPECT_EQ(BytesFromStream(stream.get()), Bytes(40, 0));
}

TEST(GdipImageStreams, AnEmptyStreamGivesBackExactlyWhatWasWritten) {
    ComPtr<IStream> stream = StreamFromBytes({}, false);
    ASSERT_TRUE(stream);
    EXPECT_TRUE(BytesFromStream(stream.get()).empty());
    const char text[] = "hello";
    ULONG written = 0;
    ASSERT_EQ(stream->Write(text, 5, &written), S_OK);
    EXPECT_EQ(BytesFromStream(stream.get()), Bytes(text, text + 5));
    EXPECT_TRUE(BytesFromStream(nullptr).empty());
}

TEST_F(GdipImageTest, FindEncoderMatchesTheFormatIdentifierExactly) {
    const auto png = FindEncoder(kPngFormat);
    ASSERT_TRUE(png);
    GUID clsid;
    std::memcpy(&clsid, png->data(), sizeof clsid);
    EXPECT_EQ(GuidText(clsid), "{557CF406-1A04-11D3-9A73-0000F81EF32E}");
    EXPECT_TRUE(FindEncoder(kBmpFormat));
    EXPECT_FALSE(FindEncoder(kEmfFormat)) << "the library decodes EMF but has no encoder for it";
    EXPECT_FALSE(FindEncoder(""));
    EXPECT_FALSE(FindEncoder("{b96b3caf-0728-11d3-9d7b-0000f81ef32e}"));
}

TEST_F(GdipImageTest, MissingFileLeavesTheObjectEmptyAndEverythingFailsQuietly) {
    GdipImage picture;
    ASSERT_TRUE(picture.CreateBlank(4, 4));
    EXPECT_FALSE(picture.CreateFromFile(folder_.File("missing.png")));
    EXPECT_TRUE(picture.IsEmpty()) << "the old picture went before the failed create";
    EXPECT_EQ(picture.Handle(), nullptr);
    picture.Dispose();
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_TRUE(picture.RawFormat().empty());
    EXPECT_TRUE(picture.SaveToBytes(kPngFormat).empty());
    EXPECT_FALSE(picture.ToIcon());
    EXPECT_FALSE(picture.ToBitmapHandle(0xFFFFFFFF));
    EXPECT_FALSE(picture.CreateFromIcon(nullptr));
    EXPECT_FALSE(picture.CreateBlank(0, 5));
}

TEST_F(GdipImageTest, DecodesEachFormatTheTestsWriteWithItsOwnRawFormat) {
    for (const char* format : {kPngFormat, kJpegFormat, kBmpFormat, kGifFormat, kTiffFormat}) {
        SCOPED_TRACE(format);
        const std::string path = folder_.File("picture");
        ASSERT_TRUE(testing::WritePicture(path, 12, 9, Sample, format));
        GdipImage picture;
        ASSERT_TRUE(picture.CreateFromFile(path));
        EXPECT_EQ(picture.RawFormat(), format);
        EXPECT_EQ(picture.Width(), 12);
        EXPECT_EQ(picture.Height(), 9);
    }
}

TEST_F(GdipImageTest, ReadsThePixelsOfTheFormatsWithoutLoss) {
    for (const char* format : {kPngFormat, kBmpFormat, kGifFormat, kTiffFormat}) {
        SCOPED_TRACE(format);
        const std::string path = folder_.File("lossless");
        ASSERT_TRUE(testing::WritePicture(
            path, 6, 4, [](int x, int) { return x < 3 ? 0xFFFF0000 : 0xFF0000FF; }, format));
        const testing::Pixels pixels = DecodePixels(path);
        ASSERT_EQ(pixels.width, 6);
        EXPECT_EQ(pixels.At(0, 0), 0xFFFF0000u);
        EXPECT_EQ(pixels.At(5, 3), 0xFF0000FFu);
    }
}

TEST_F(GdipImageTest, ReadsBothPagesOfATwoPageTiff) {
    const std::string path = folder_.File("pages.tif");
    ASSERT_TRUE(testing::WriteTwoFrameTiff(path, 5, 5, 0xFFFF0000, 0xFF00FF00));
    EXPECT_EQ(testing::PageCount(path), 2);
    EXPECT_EQ(testing::DecodePage(path, 0).At(2, 2), 0xFFFF0000u);
    EXPECT_EQ(testing::DecodePage(path, 1).At(2, 2), 0xFF00FF00u);
    GdipImage picture;
    ASSERT_TRUE(picture.CreateFromFile(path));
    EXPECT_EQ(PicturePixels(picture).At(2, 2), 0xFFFF0000u) << "a decode starts at the first page";
}

TEST_F(GdipImageTest, EmptyIdentifierReencodesAPngAsPngWithItsPixels) {
    const std::string path = folder_.File("sample.png");
    ASSERT_TRUE(testing::WritePicture(path, 8, 8, Sample, kPngFormat));
    GdipImage picture;
    ASSERT_TRUE(picture.CreateFromFile(path));
    ASSERT_EQ(picture.RawFormat(), kPngFormat);

    const Bytes encoded = picture.SaveToBytes("");
    ASSERT_TRUE(StartsWith(encoded, kPngSignature, sizeof kPngSignature));
    const std::string copy = folder_.File("copy.png");
    ASSERT_TRUE(testing::WriteBytes(copy, encoded));
    const testing::Pixels pixels = DecodePixels(copy);
    ASSERT_EQ(pixels.width, 8);
    EXPECT_EQ(pixels.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(pixels.At(5, 3), 0x800000FFu);
    EXPECT_EQ(pixels.At(2, 7) >> 24, 0u);
}

TEST_F(GdipImageTest, SavesABlankCanvasAsBmpAndRefusesFormatsWithoutEncoder) {
    GdipImage canvas;
    ASSERT_TRUE(canvas.CreateBlank(32, 32));
    const Bytes bmp = canvas.SaveToBytes(kBmpFormat);
    ASSERT_TRUE(StartsWith(bmp, "BM", 2));
    EXPECT_GE(bmp.size(), 14u + 40u + 32u * 32u * 3u);
    EXPECT_EQ(ReadU32(bmp.data() + 2), bmp.size()) << "nothing beyond what the encoder wrote";
    EXPECT_TRUE(canvas.SaveToBytes(kEmfFormat).empty());
    EXPECT_TRUE(canvas.SaveToBytes("{00000000-0000-0000-0000-000000000000}").empty());
}

TEST_F(GdipImageTest, ConvertsToAnIconOfItsOwnSizeWithItsAlpha) {
    const std::string path = folder_.File("sample.png");
    ASSERT_TRUE(testing::WritePicture(path, 8, 8, Sample, kPngFormat));
    GdipImage picture;
    ASSERT_TRUE(picture.CreateFromFile(path));
    UniqueIcon icon = picture.ToIcon();
    ASSERT_TRUE(icon);
    const testing::Pixels pixels = IconPixels(icon.get());
    ASSERT_EQ(pixels.width, 8);
    ASSERT_EQ(pixels.height, 8);
    EXPECT_EQ(pixels.At(1, 1), 0xFFFF0000u);
    EXPECT_EQ(pixels.At(1, 7) >> 24, 0u);
}

TEST_F(GdipImageTest, ConvertsToABitmapOverTheBackground) {
    GdipImage picture;
    UniqueIcon source = testing::MakeIcon(6, 6, [](int x, int) { return x < 3 ? 0xFF00FF00 : 0; });
    ASSERT_TRUE(picture.CreateFromIcon(source.get()));
    EXPECT_EQ(picture.Width(), 6);
    UniqueBitmap bitmap = picture.ToBitmapHandle(0xFF0000FF);
    ASSERT_TRUE(bitmap);
    BITMAP info{};
    ASSERT_TRUE(::GetObjectW(bitmap.get(), sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 6);
    EXPECT_EQ(info.bmHeight, 6);

    picture.Dispose();
    ICONINFO stillThere{};
    ASSERT_TRUE(::GetIconInfo(source.get(), &stillThere)) << "the icon stays the caller's";
    ::DeleteObject(stillThere.hbmColor);
    ::DeleteObject(stillThere.hbmMask);
}

TEST_F(GdipImageTest, CopiesShareOnePictureAndTheLastCopyFreesIt) {
    GdipImage original;
    ASSERT_TRUE(original.CreateBlank(3, 3));
    GdipImage copy = original;
    EXPECT_TRUE(copy.SharesWith(original));
    EXPECT_EQ(copy.Handle(), original.Handle());
    copy.Dispose();
    EXPECT_TRUE(original.IsEmpty());

    // 4 GiB in all: pictures kept alive after their last copy would exhaust the address space.
    for (int i = 0; i < 1024; ++i) {
        GdipImage picture;
        ASSERT_TRUE(picture.CreateBlank(1024, 1024)) << "round " << i;
        GdipImage second = picture;
        GdipImage third;
        third = second;
    }
}

TEST_F(GdipImageTest, RefusesIconsAndBitmapsBeyondThePixelBudgetWhateverTheirSides) {
    EXPECT_TRUE(PictureSizeAllowed(kMaxPicturePixels, 1));
    EXPECT_TRUE(PictureSizeAllowed(1, kMaxPicturePixels));
    EXPECT_FALSE(PictureSizeAllowed(kMaxPicturePixels + 1, 1));
    EXPECT_FALSE(PictureSizeAllowed(1, kMaxPicturePixels + 1));
    EXPECT_FALSE(PictureSizeAllowed(kMaxPicturePixels / 1024 + 1, 1024));
    EXPECT_TRUE(PictureSizeAllowed(kMaxPicturePixels / 1024, 1024));
    EXPECT_FALSE(PictureSizeAllowed(0, 1));
    EXPECT_FALSE(PictureSizeAllowed(1 << 20, -1));

    GdipImage wide;
    ASSERT_TRUE(wide.CreateBlank(kMaxPicturePixels / 1024 + 1, 1024, 0x30101));
    EXPECT_FALSE(wide.ToIcon());
    EXPECT_FALSE(wide.ToBitmapHandle(0));
    ASSERT_TRUE(wide.CreateBlank(65536, 1));
    EXPECT_TRUE(wide.ToIcon()) << "a side far over 16384 is allowed";
    EXPECT_TRUE(wide.ToBitmapHandle(0));
}

TEST_F(GdipImageTest, AHugePictureInASmallFileFailsCleanly) {
    // One bit per pixel keeps the canvas small (8 MiB) and the PNG a few kilobytes, while its
    // pixel count is over the limit for icons and bitmaps.
    const std::string path = folder_.File("huge.png");
    ASSERT_TRUE(testing::WriteBlankPicture(path, 8200, 8200, 0x30101, kPngFormat));
    GdipImage picture;
    if (!picture.CreateFromFile(path)) GTEST_SKIP() << "the library refused to decode it at all";
    EXPECT_EQ(picture.Width(), 8200);
    EXPECT_FALSE(picture.ToIcon());
    EXPECT_FALSE(picture.ToBitmapHandle(0xFFFFFFFF));
}

}  // namespace
}  // namespace iconvale
