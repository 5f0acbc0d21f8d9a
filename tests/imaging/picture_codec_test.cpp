#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/bytes.h"
#include "imaging/picture_codec.h"

namespace iconvale {
namespace {

// Opaque colours that differ by position, with a transparent corner and one half-clear pixel.
RgbaPicture Pattern(int width, int height, bool withAlpha = true) {
    RgbaPicture picture;
    EXPECT_TRUE(picture.Allocate(width, height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.Row(y)[x] = 0xFF000000u | static_cast<std::uint32_t>(x * 13 % 256) << 16 |
                                static_cast<std::uint32_t>(y * 29 % 256) << 8 | 0x40u;
        }
    }
    if (withAlpha) {
        picture.Row(0)[0] = 0;
        picture.Row(1)[2] = 0x80123456u;
    }
    return picture;
}

int LargestChannelDifference(const RgbaPicture& a, const RgbaPicture& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.argb.size(); ++i) {
        for (int shift = 0; shift < 32; shift += 8) {
            const int d = std::abs(static_cast<int>((a.argb[i] >> shift) & 0xFF) -
                                   static_cast<int>((b.argb[i] >> shift) & 0xFF));
            largest = std::max(largest, d);
        }
    }
    return largest;
}

struct FormatCase {
    PictureFormat format;
    bool keepsAlpha;
    int tolerance;  // largest channel difference after a round trip
};

constexpr FormatCase kFormats[] = {
    {PictureFormat::Png, true, 0},    {PictureFormat::Bmp, false, 0},
    {PictureFormat::Tiff, true, 0},   {PictureFormat::Gif, false, 0},
    {PictureFormat::Jpeg, false, 80},  // lossy, and the pattern is all edges
};

TEST(PictureCodec, EveryWrittenFormatReadsBackAsWritten) {
    for (const FormatCase& c : kFormats) {
        const RgbaPicture written = Pattern(19, 11, c.keepsAlpha);
        const Bytes file = EncodePicture(written, c.format);
        ASSERT_FALSE(file.empty()) << static_cast<int>(c.format);
        EXPECT_EQ(c.format, SniffPictureFormat(file));
        const RgbaPicture read = DecodePicture(file);
        ASSERT_EQ(19, read.width) << static_cast<int>(c.format);
        ASSERT_EQ(11, read.height);
        EXPECT_LE(LargestChannelDifference(written, read), c.tolerance)
            << static_cast<int>(c.format);
    }
}

TEST(PictureCodec, GifKeepsTransparencyAndQuantisesManyColours) {
    RgbaPicture many;
    ASSERT_TRUE(many.Allocate(64, 64));
    for (int i = 0; i < 64 * 64; ++i)
        many.argb[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 4099);
    many.argb[5] = 0;
    const RgbaPicture read = DecodePicture(EncodePicture(many, PictureFormat::Gif));
    ASSERT_EQ(64, read.width);
    EXPECT_EQ(0u, read.argb[5]);
    EXPECT_EQ(0xFFu, read.argb[6] >> 24);
}

TEST(PictureCodec, DamagedFilesOfEveryFormatReadAsNothing) {
    for (const FormatCase& c : kFormats) {
        const Bytes file = EncodePicture(Pattern(40, 30), c.format);
        for (std::size_t keep : {std::size_t{0}, std::size_t{8}, file.size() / 3}) {
            const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(keep));
            EXPECT_TRUE(DecodePicture(cut).empty()) << static_cast<int>(c.format) << " " << keep;
        }
    }
    EXPECT_TRUE(DecodePicture(Bytes(300, 0x5A)).empty());
}

// Headers that promise more pixels than the budget are refused before anything is decoded.
TEST(PictureCodec, PicturesOverThePixelBudgetAreRefused) {
    Bytes bmp = EncodePicture(Pattern(4, 4), PictureFormat::Bmp);
    bmp[18] = 0x00, bmp[19] = 0x00, bmp[20] = 0x01;  // width 65536
    bmp[22] = 0x00, bmp[23] = 0x00, bmp[24] = 0x01;  // height 65536
    EXPECT_TRUE(DecodePicture(bmp).empty());

    Bytes gif = EncodePicture(Pattern(4, 4, false), PictureFormat::Gif);
    gif[6] = gif[7] = gif[8] = gif[9] = 0xFF;  // a screen of 65535 x 65535
    EXPECT_TRUE(DecodePicture(gif).empty());

    Bytes jpeg = EncodePicture(Pattern(8, 8), PictureFormat::Jpeg);
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {  // the frame header: height, then width
            jpeg[i + 5] = jpeg[i + 6] = jpeg[i + 7] = jpeg[i + 8] = 0xFF;
            break;
        }
    }
    EXPECT_TRUE(DecodePicture(jpeg).empty());
}

// An icon file of one 32-bit image with alpha and one 24-bit image with an AND mask.
Bytes TwoImageIcon() {
    Bytes file;
    AppendU16(file, 0);
    AppendU16(file, 1);
    AppendU16(file, 2);
    const auto image = [](int side, int bits) {
        Bytes dib;
        AppendU32(dib, 40);
        AppendU32(dib, static_cast<std::uint32_t>(side));
        AppendU32(dib, static_cast<std::uint32_t>(side * 2));
        AppendU16(dib, 1);
        AppendU16(dib, static_cast<std::uint32_t>(bits));
        for (int i = 0; i < 6; ++i) AppendU32(dib, 0);
        const int stride = (side * bits / 8 + 3) & ~3;
        for (int y = 0; y < side; ++y) {
            for (int b = 0; b < stride; ++b) dib.push_back(b % (bits / 8) == 3 ? 0x80 : 0x33);
        }
        const int maskStride = ((side + 31) / 32) * 4;
        for (int y = 0; y < side; ++y) {
            // The bottom row (stored first) is wholly transparent.
            for (int b = 0; b < maskStride; ++b) dib.push_back(y == 0 ? 0xFF : 0x00);
        }
        return dib;
    };
    const Bytes small = image(16, 32), large = image(32, 24);
    std::uint32_t at = 6 + 2 * 16;
    for (const auto& [side, bytes] : {std::pair{16, &small}, std::pair{32, &large}}) {
        file.push_back(static_cast<std::uint8_t>(side));
        file.push_back(static_cast<std::uint8_t>(side));
        AppendU16(file, 0);
        AppendU16(file, 1);
        AppendU16(file, side == 16 ? 32 : 24);
        AppendU32(file, static_cast<std::uint32_t>(bytes->size()));
        AppendU32(file, at);
        at += static_cast<std::uint32_t>(bytes->size());
    }
    file.insert(file.end(), small.begin(), small.end());
    file.insert(file.end(), large.begin(), large.end());
    return file;
}

TEST(PictureCodec, IconFilesGiveTheImageNearestTheCellWithItsAlphaOrMask) {
    const Bytes icon = TwoImageIcon();
    const RgbaPicture small = DecodeIconFile(icon, 16, 16);
    ASSERT_EQ(16, small.width);
    EXPECT_EQ(0x80333333u, small.At(3, 15));  // alpha kept, mask ignored
    const RgbaPicture large = DecodeIconFile(icon, 30, 30);
    ASSERT_EQ(32, large.width);
    EXPECT_EQ(0xFF333333u, large.At(3, 3));
    EXPECT_EQ(0u, large.At(3, 31));            // masked
    EXPECT_EQ(16, DecodePicture(icon).width);  // the first image when read as a picture
    EXPECT_TRUE(DecodeIconFile(Bytes(icon.begin(), icon.begin() + 40), 16, 16).empty());
}

// Seeds for the picture fuzz target: small files of every format read.
TEST(SeedCorpus, Pictures) {
    const char* dir = std::getenv("ICONVALE_SEED_DIR");
    int n = 0;
    const auto keep = [&](const Bytes& bytes) {
        ASSERT_FALSE(DecodePicture(bytes).empty()) << "seed " << n;
        if (dir) {
            std::ofstream(std::filesystem::path(dir) / ("picture" + std::to_string(n)),
                          std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
        ++n;
    };
    for (const FormatCase& c : kFormats) keep(EncodePicture(Pattern(6, 5), c.format));
    keep(TwoImageIcon());
}

}  // namespace
}  // namespace iconvale
