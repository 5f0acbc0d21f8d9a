#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>

#include "cli/files.h"
#include "support/cli_pictures.h"
#include "support/cli_runner.h"
#include "core/image_list_stream.h"

namespace iconvale::testing {
namespace {

// Opaque colours that differ per picture and per pixel, with the top-left pixel transparent.
Argb PatternPixel(int picture, int x, int y) {
    if (x == 0 && y == 0) return 0;
    return 0xFF000000u | (static_cast<Argb>(picture * 40) << 16) |
           (static_cast<Argb>(x * 15) << 8) | static_cast<Argb>(y * 15);
}

bool SamePixels(const Pixels& expected, const Pixels& actual) {
    if (expected.width != actual.width || expected.height != actual.height) return false;
    for (std::size_t i = 0; i < expected.argb.size(); ++i) {
        const bool clear = (expected.argb[i] >> 24) == 0;
        if (clear ? (actual.argb[i] >> 24) != 0 : actual.argb[i] != expected.argb[i]) return false;
    }
    return true;
}

void AppendChunk(Bytes& file, const char* type, const Bytes& body) {
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(static_cast<std::uint8_t>(body.size() >> shift));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    file.insert(file.end(), typed.begin(), typed.end());
    const auto crc = ::crc32(0, typed.data(), static_cast<uInt>(typed.size()));
    for (int shift = 24; shift >= 0; shift -= 8)
        file.push_back(static_cast<std::uint8_t>(crc >> shift));
}

// A well-formed PNG header that promises far more pixels than any budget allows.
Bytes HugePng() {
    Bytes file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    AppendChunk(file, "IHDR", {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 6, 0, 0, 0});
    AppendChunk(file, "IDAT", {0x78, 0x9C, 0x63, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01});
    AppendChunk(file, "IEND", {});
    return file;
}

class CliPictures : public ::testing::Test {
protected:
    void SetUp() override { StartPictures(); }

    // A 16 x 16 pattern picture written as PNG under an ASCII name, then given its real name.
    void WritePattern(const std::string& leaf, int picture, int width = 16) {
        const std::string ascii = folder.Name("drawing.png");
        ASSERT_TRUE(WriteTestPng(ascii, width, 16, [&](int x, int y) {
            return PatternPixel(picture + x / 16, x % 16, y);
        }));
        std::filesystem::create_directories(cli::PathFromUtf8(folder.Name(leaf)).parent_path());
        std::filesystem::rename(cli::PathFromUtf8(ascii), cli::PathFromUtf8(folder.Name(leaf)));
    }
    Pixels Decoded(const std::string& leaf) {
        std::filesystem::rename(cli::PathFromUtf8(folder.Name(leaf)),
                                cli::PathFromUtf8(folder.Name("decoding.png")));
        return ReadTestPicture(folder.Name("decoding.png"));
    }

    CliFolder folder;
};

TEST_F(CliPictures, PackThenUnpackGivesEachPictureBackInNameOrderUnderChineseNames) {
    WritePattern("图片/image10.png", 3);
    WritePattern("图片/image2.png", 2);
    WritePattern("图片/image1.png", 1);
    ASSERT_EQ(0, RunCli({"pack", "-o", folder.Name("组.eil"), "--size", "16x16", "--mask",
                         folder.Name("图片")})
                     .status);
    const CliRun unpack = RunCli({"unpack", folder.Name("组.eil"), "-o", folder.Name("出")});
    ASSERT_EQ(0, unpack.status) << unpack.err;
    for (int i = 0; i < 3; ++i) {
        Pixels expected;
        expected.width = expected.height = 16;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) expected.argb.push_back(PatternPixel(i + 1, x, y));
        }
        std::string leaf = "出/image";
        leaf += std::to_string(i);
        leaf += ".png";
        EXPECT_TRUE(SamePixels(expected, Decoded(leaf))) << i;
    }
    EXPECT_FALSE(folder.Exists("出/image3.png"));
}

TEST_F(CliPictures, SplitCutsStripsAndStripPutsThemBackSideBySide) {
    WritePattern("strip.png", 1, 48);
    ASSERT_EQ(0, RunCli({"pack", "-o", folder.Name("g.il"), "--size", "16x16", "--split",
                         folder.Name("strip.png")})
                     .status);
    const CliRun info = RunCli({"info", folder.Name("g.il")});
    EXPECT_NE(std::string::npos, info.out.find("3 images of 16x16")) << info.out;

    ASSERT_EQ(0, RunCli({"strip", folder.Name("g.il"), "-o", folder.Name("wide.png")}).status);
    ASSERT_EQ(
        0, RunCli({"strip", folder.Name("g.il"), "-o", folder.Name("square.png"), "--columns", "2"})
               .status);
    const Pixels wide = Decoded("wide.png");
    EXPECT_EQ(48, wide.width);
    EXPECT_EQ(16, wide.height);
    EXPECT_EQ(PatternPixel(3, 5, 6), wide.At(32 + 5, 6));
    const Pixels square = Decoded("square.png");
    EXPECT_EQ(32, square.width);
    EXPECT_EQ(32, square.height);
    EXPECT_EQ(PatternPixel(3, 5, 6), square.At(5, 16 + 6));
    EXPECT_EQ(0u, square.At(20, 20) >> 24);  // no fourth image: left clear
}

TEST_F(CliPictures, ABrokenPictureFailsNamingItAndWritesNothing) {
    WritePattern("good.png", 1);
    const Bytes junk(100, 0x5A);
    folder.Write("broken.png", junk);
    const int before = folder.FileCount();
    const CliRun run = RunCli({"pack", "-o", folder.Name("out.eil"), "--size", "16x16",
                               folder.Name("good.png"), folder.Name("broken.png")});
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(ErrorLine(folder.Name("broken.png"), "cannot be read as a picture"), run.err);
    EXPECT_EQ(before, folder.FileCount());
    EXPECT_EQ(2, RunCli({"pack", "-o", folder.Name("out.eil"), "--size", "16by16",
                         folder.Name("good.png")})
                     .status);
    EXPECT_EQ(2, RunCli({"pack", "-o", folder.Name("out.eil"), "--size", "16x16", "--transparent",
                         "FF00FF", folder.Name("good.png")})
                     .status);  // --transparent needs --split
}

TEST_F(CliPictures, TruncatedEmptyAndHugePicturesFailNamingThemAndWriteNothing) {
    WritePattern("good.png", 1);
    const Bytes good = folder.Read("good.png");
    const struct {
        const char* leaf;
        Bytes bytes;
    } cases[] = {
        {"truncated.png", Bytes(good.begin(), good.begin() + good.size() / 2)},
        {"header-only.png", Bytes(good.begin(), good.begin() + 33)},
        {"huge.png", HugePng()},
        {"empty.png", {}},
    };
    for (const auto& bad : cases) {
        folder.Write(bad.leaf, bad.bytes);
        const int before = folder.FileCount();
        const CliRun run = RunCli({"pack", "-o", folder.Name("out.eil"), "--size", "16x16",
                                   folder.Name("good.png"), folder.Name(bad.leaf)});
        EXPECT_EQ(1, run.status) << bad.leaf;
        EXPECT_EQ(ErrorLine(folder.Name(bad.leaf), "cannot be read as a picture"), run.err);
        EXPECT_EQ(before, folder.FileCount()) << bad.leaf;
    }
    const CliRun missing = RunCli(
        {"pack", "-o", folder.Name("out.eil"), "--size", "16x16", folder.Name("missing.png")});
    EXPECT_EQ(ErrorLine(folder.Name("missing.png"), "cannot be read as a picture"), missing.err);
}

TEST_F(CliPictures, ThreadsKeepTheOrderOfPicturesAndOfWrittenFiles) {
    for (int i = 0; i < 24; ++i) WritePattern("many/p" + std::to_string(i) + ".png", i);
    ASSERT_EQ(0, RunCli({"pack", "-o", folder.Name("one.il"), "--size", "16x16", "--jobs", "1",
                         folder.Name("many")})
                     .status);
    ASSERT_EQ(0, RunCli({"pack", "-o", folder.Name("four.il"), "--size", "16x16", "--jobs", "4",
                         folder.Name("many")})
                     .status);
    EXPECT_EQ(folder.Read("one.il"), folder.Read("four.il"));
    ASSERT_EQ(0, RunCli({"unpack", folder.Name("four.il"), "-o", folder.Name("out"), "--jobs", "3",
                         "--indices", "20-23"})
                     .status);
    const Pixels last = Decoded("out/image3.png");
    EXPECT_EQ(PatternPixel(23, 4, 5), last.At(4, 5));
    EXPECT_EQ(2, RunCli({"pack", "-o", folder.Name("x.il"), "--size", "16x16", "--jobs", "0",
                         folder.Name("many")})
                     .status);
}

// Both platforms store a picture packed at its own size alike: colours premultiplied by alpha
// and rounded, and in a 32-bit list with a mask, alpha below 26 masked.
TEST_F(CliPictures, APictureAtItsOwnSizeGivesTheSameCellBytesOnEveryPlatform) {
    const auto pixel = [](int x, int y) -> Argb {
        const Argb alpha = static_cast<Argb>(y * 16 + x);
        return alpha << 24 | 0xC8u << 16 | 0x4Du << 8 | 0x01u;
    };
    ASSERT_TRUE(WriteTestPng(folder.Name("alpha.png"), 16, 16, pixel));
    ASSERT_EQ(0, RunCli({"pack", "-o", folder.Name("g.il"), "--size", "16x16", "--mask",
                         folder.Name("alpha.png")})
                     .status);
    auto list = ParseImageListStream(folder.Read("g.il"));
    ASSERT_TRUE(list);
    const auto premultiplied = [](std::uint32_t c, std::uint32_t a) { return (c * a + 127) / 255; };
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t a = static_cast<std::uint32_t>(y * 16 + x);
            const std::uint32_t expected = a << 24 | premultiplied(0xC8, a) << 16 |
                                           premultiplied(0x4D, a) << 8 | premultiplied(0x01, a);
            ASSERT_EQ(a == 0 ? 0 : expected, list->Pixel(0, x, y)) << a;
            ASSERT_EQ(a < 26, list->Transparent(0, x, y)) << a;
        }
    }
}

}  // namespace
}  // namespace iconvale::testing
