#include "imaging/extraction_formats.h"

#include <gtest/gtest.h>

#include <string>

#include "imaging/image_formats.h"

namespace iconvale {
namespace {

// GBK bytes written out, so the tests mean the same in a build with any execution charset.
// "乗" is 0x81 0x5C: its trail byte is a backslash. "图标" is 0xCD 0xBC 0xB1 0xEA.
constexpr char kTrailBackslash[] = "\x81\x5c";
constexpr char kIcons[] = "\xcd\xbc\xb1\xea";

TEST(ExtensionForFormat, GivesEachOfferedFormatItsExtension) {
    EXPECT_EQ(ExtensionForFormat(kPngFormat), ".png");
    EXPECT_EQ(ExtensionForFormat(kJpegFormat), ".jpg");
    EXPECT_EQ(ExtensionForFormat(kBmpFormat), ".bmp");
    EXPECT_EQ(ExtensionForFormat(kTiffFormat), ".tif");
    EXPECT_EQ(ExtensionForFormat(kGifFormat), ".gif");
}

TEST(ExtensionForFormat, KnowsNothingElseAndComparesExactly) {
    EXPECT_EQ(ExtensionForFormat(kIconFormat), "") << "icons are not offered";
    EXPECT_EQ(ExtensionForFormat(kEmfFormat), "");
    EXPECT_EQ(ExtensionForFormat(""), "");
    EXPECT_EQ(ExtensionForFormat("{b96b3caf-0728-11d3-9d7b-0000f81ef32e}"), "");
    EXPECT_EQ(ExtensionForFormat("B96B3CAF-0728-11D3-9D7B-0000F81EF32E"), "");
    EXPECT_EQ(ExtensionForFormat(std::string(kPngFormat) + " "), "");
    EXPECT_EQ(ExtensionForFormat(std::string_view(kPngFormat, sizeof kPngFormat - 2)), "");
}

TEST(ColorRefToArgb, MovesRedAndBlueAndPutsTheAlphaOnTop) {
    EXPECT_EQ(ColorRefToArgb(0x00563412), 0xFF123456u);
    EXPECT_EQ(ColorRefToArgb(0x00563412, 0), 0x00123456u);
    EXPECT_EQ(ColorRefToArgb(0x00563412, 0x80), 0x80123456u);
    EXPECT_EQ(ColorRefToArgb(0x00FFFFFF, 0), 0x00FFFFFFu);
    EXPECT_EQ(ColorRefToArgb(0x000000FF), 0xFFFF0000u) << "pure red";
    EXPECT_EQ(ColorRefToArgb(0x00FF0000), 0xFF0000FFu) << "pure blue";
    // CLR_NONE and palette-relative colours carry a top byte that must not leak into the alpha.
    EXPECT_EQ(ColorRefToArgb(0xFFFFFFFF, 0), 0x00FFFFFFu);
    EXPECT_EQ(ColorRefToArgb(0x02563412), 0xFF123456u);
}

TEST(FolderOfDocument, CutsTheLastComponentAsThePlatformDoes) {
    EXPECT_EQ(FolderOfDocument("C:\\icons\\a.eil"), "C:\\icons");
    EXPECT_EQ(FolderOfDocument("C:\\icons\\sub\\a.eil"), "C:\\icons\\sub");
    EXPECT_EQ(FolderOfDocument("C:\\a.eil"), "C:\\") << "a drive root keeps its backslash";
    EXPECT_EQ(FolderOfDocument("C:\\"), "C:\\");
    EXPECT_EQ(FolderOfDocument("C:a.eil"), "C:");
    EXPECT_EQ(FolderOfDocument("C:\\icons\\"), "C:\\icons");
    EXPECT_EQ(FolderOfDocument("a.eil"), "");
    EXPECT_EQ(FolderOfDocument("icons\\a.eil"), "icons");
    EXPECT_EQ(FolderOfDocument("\\a.eil"), "\\");
    EXPECT_EQ(FolderOfDocument("\\\\server\\share\\a.eil"), "\\\\server\\share");
    EXPECT_EQ(FolderOfDocument("\\\\server"), "\\\\");
    EXPECT_EQ(FolderOfDocument(""), "");
}

TEST(FolderOfDocument, WalksGbkByCharacter) {
    const std::string chinese = std::string("D:\\") + kIcons + "\\" + kIcons + ".eil";
    EXPECT_EQ(FolderOfDocument(chinese), std::string("D:\\") + kIcons);
    // A byte-wise cut would split "乗" at its trail byte and leave half a character behind.
    const std::string trail = std::string("D:\\a") + kTrailBackslash + "b.eil";
    EXPECT_EQ(FolderOfDocument(trail), "D:\\");
    const std::string trailFolder = std::string("D:\\") + kTrailBackslash + "\\x.eil";
    EXPECT_EQ(FolderOfDocument(trailFolder), std::string("D:\\") + kTrailBackslash);
    // A lead byte cut off by the end of the text stands alone.
    EXPECT_EQ(FolderOfDocument("D:\\a\\\x81"), "D:\\a");
}

TEST(WithTrailingBackslash, AddsOneUnlessTheFolderEndsInOne) {
    EXPECT_EQ(WithTrailingBackslash("C:\\icons"), "C:\\icons\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\icons\\"), "C:\\icons\\");
    EXPECT_EQ(WithTrailingBackslash("D:\\"), "D:\\") << "a browsed drive root is used unchanged";
    EXPECT_EQ(WithTrailingBackslash("\\\\server\\share"), "\\\\server\\share\\");
    EXPECT_EQ(WithTrailingBackslash(""), "") << "no folder must not become the drive's root";
}

TEST(WithTrailingBackslash, SeesThroughATrailByteThatLooksLikeABackslash) {
    const std::string folder = std::string("D:\\") + kTrailBackslash;
    EXPECT_EQ(WithTrailingBackslash(folder), folder + "\\");
    const std::string chinese = std::string("D:\\") + kIcons;
    EXPECT_EQ(WithTrailingBackslash(chinese), chinese + "\\");
    EXPECT_EQ(WithTrailingBackslash(chinese + "\\"), chinese + "\\");
}

}  // namespace
}  // namespace iconvale
