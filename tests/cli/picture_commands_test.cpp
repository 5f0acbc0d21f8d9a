#include <gtest/gtest.h>

#include <filesystem>

#include "cli/files.h"
#include "imaging/image_formats.h"
#include "support/cli_runner.h"
#include "support/test_pictures.h"

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

class CliPictures : public ::testing::Test {
protected:
    void SetUp() override { EnsurePictureLibrary(); }

    // A 16 x 16 pattern picture written as PNG under an ASCII name, then given its real name.
    void WritePattern(const std::string& leaf, int picture, int width = 16) {
        const std::string ascii = folder.Name("drawing.png");
        ASSERT_TRUE(WritePicture(
            ascii, width, 16,
            [&](int x, int y) { return PatternPixel(picture + x / 16, x % 16, y); }, kPngFormat));
        std::filesystem::create_directories(cli::PathFromUtf8(folder.Name(leaf)).parent_path());
        std::filesystem::rename(cli::PathFromUtf8(ascii), cli::PathFromUtf8(folder.Name(leaf)));
    }
    Pixels Decoded(const std::string& leaf) {
        std::filesystem::rename(cli::PathFromUtf8(folder.Name(leaf)),
                                cli::PathFromUtf8(folder.Name("decoding.png")));
        return DecodePixels(folder.Name("decoding.png"));
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

}  // namespace
}  // namespace iconvale::testing
