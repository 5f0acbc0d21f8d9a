#include "imaging/icon_image.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/temp_folder.h"
#include "support/test_icons.h"
#include "support/test_pictures.h"

namespace iconvale {
namespace {

using testing::IconPixels;
using testing::SolidIcon;
using testing::TempFolder;

// True while the handle still names a live icon or cursor.
bool IsLive(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return false;
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return true;
}

bool IsCursor(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return false;
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return !info.fIcon;
}

HICON NewCursor(int side) {
    UniqueIcon shape = SolidIcon(side, side, 0x123456);
    ICONINFO info{};
    if (!::GetIconInfo(shape.get(), &info)) return nullptr;
    info.fIcon = FALSE;
    info.xHotspot = 1;
    info.yHotspot = 2;
    HICON cursor = ::CreateIconIndirect(&info);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return cursor;
}

TEST(IconImage, StartsEmptyAndReleasingNothingIsHarmless) {
    IconImage icon;
    EXPECT_TRUE(icon.IsEmpty());
    icon.Release();
    EXPECT_EQ(icon.Handle(), nullptr);
    EXPECT_EQ(icon.Detach(), nullptr);
}

TEST(IconImage, AttachTakesOwnershipAndDestroysTheOldIconFirst) {
    HICON first = SolidIcon(16, 16, 0xFF0000).release();
    HICON second = SolidIcon(16, 16, 0x00FF00).release();
    IconImage icon;
    icon.Attach(first);
    EXPECT_EQ(icon.Handle(), first);
    icon.Attach(second);
    EXPECT_FALSE(IsLive(first));
    EXPECT_TRUE(IsLive(second));
    icon.Attach(second);
    EXPECT_TRUE(IsLive(second)) << "attaching the handle held keeps it";
    icon.Release();
    EXPECT_FALSE(IsLive(second));
    EXPECT_TRUE(icon.IsEmpty());
}

TEST(IconImage, TakesAnOwnedIconAndGivesOwnershipBack) {
    IconImage icon;
    icon.Attach(SolidIcon(8, 8, 0x0000FF));
    HICON held = icon.Handle();
    ASSERT_NE(held, nullptr);
    HICON returned = icon.Detach();
    EXPECT_EQ(returned, held);
    EXPECT_TRUE(icon.IsEmpty());
    icon.Release();
    EXPECT_TRUE(IsLive(returned));
    ::DestroyIcon(returned);
}

TEST(IconImage, ReleasesACursorByItsOwnInformation) {
    HICON cursor = NewCursor(32);
    ASSERT_TRUE(IsCursor(cursor));
    IconImage icon;
    icon.Attach(cursor);
    icon.Release();
    EXPECT_FALSE(IsLive(cursor));
}

TEST(IconImage, CopiesShareTheHandleAndTheLastCopyDestroysIt) {
    HICON handle = nullptr;
    {
        IconImage original;
        original.Attach(SolidIcon(16, 16, 0xABCDEF));
        handle = original.Handle();
        {
            IconImage copy = original;
            EXPECT_TRUE(copy.SharesWith(original));
            EXPECT_EQ(copy.Handle(), handle);
        }
        EXPECT_TRUE(IsLive(handle)) << "one copy is still there";
    }
    EXPECT_FALSE(IsLive(handle));
}

// Each release also deletes the two bitmaps its icon information brings. The process's GDI
// handles are used up first but for a margin, which one leaked bitmap per round would exhaust.
TEST(IconImage, ReleaseLeavesNoBitmapsBehind) {
    constexpr std::size_t kMargin = 1000;
    std::vector<UniqueBitmap> filler;
    for (int i = 0; i < 200000; ++i) {
        UniqueBitmap bitmap(::CreateBitmap(1, 1, 1, 1, nullptr));
        if (!bitmap) break;
        filler.push_back(std::move(bitmap));
    }
    ASSERT_GT(filler.size(), kMargin);
    filler.resize(filler.size() - kMargin);
    for (int i = 0; i < 2000; ++i) {
        IconImage icon;
        icon.Attach(i % 2 ? NewCursor(4) : SolidIcon(4, 4, 0x112233).release());
        ASSERT_FALSE(icon.IsEmpty()) << "round " << i;
    }
}

class IconImageFileTest : public ::testing::Test {
protected:
    TempFolder folder_;
};

TEST_F(IconImageFileTest, LoadPicksTheImageThatFitsTheAskedSize) {
    const std::string path = folder_.File("图标.ico");
    ASSERT_TRUE(
        testing::WriteIconFile(path, {{16, 0xFFFF0000}, {32, 0xFF00FF00}, {48, 0xFF0000FF}}));
    IconImage icon;
    ASSERT_TRUE(icon.LoadFromFile(path, false, 32, 32));
    testing::Pixels pixels = IconPixels(icon.Handle());
    ASSERT_EQ(pixels.width, 32);
    EXPECT_EQ(pixels.At(5, 5), 0xFF00FF00u);

    ASSERT_TRUE(icon.LoadFromFile(path, false, 16, 16));
    pixels = IconPixels(icon.Handle());
    ASSERT_EQ(pixels.width, 16);
    EXPECT_EQ(pixels.At(5, 5), 0xFFFF0000u);
}

TEST_F(IconImageFileTest, LoadScalesTheOnlyImageToTheAskedSize) {
    const std::string path = folder_.File("only48.ico");
    ASSERT_TRUE(testing::WriteIconFile(path, {{48, 0xFF0000FF}}));
    IconImage icon;
    ASSERT_TRUE(icon.LoadFromFile(path, false, 32, 32));
    const testing::Pixels pixels = IconPixels(icon.Handle());
    EXPECT_EQ(pixels.width, 32);
    EXPECT_EQ(pixels.height, 32);
    EXPECT_EQ(pixels.At(16, 16) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(IconImageFileTest, LoadsACursorFileAsACursor) {
    const std::string path = folder_.File("pointer.cur");
    ASSERT_TRUE(testing::WriteBytes(path, testing::IconFileBytes({{32, 0xFF808080}}, true)));
    IconImage cursor;
    ASSERT_TRUE(cursor.LoadFromFile(path, true, 32, 32));
    EXPECT_TRUE(IsCursor(cursor.Handle()));
    HICON handle = cursor.Handle();
    cursor.Release();
    EXPECT_FALSE(IsLive(handle));
}

TEST_F(IconImageFileTest, AFailedLoadLeavesTheObjectEmpty) {
    const std::string notAnIcon = folder_.File("text.ico");
    ASSERT_TRUE(testing::WriteBytes(notAnIcon, Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i'}));
    IconImage icon;
    icon.Attach(SolidIcon(8, 8, 0));
    HICON old = icon.Handle();
    EXPECT_FALSE(icon.LoadFromFile(folder_.File("missing.ico"), false, 32, 32));
    EXPECT_TRUE(icon.IsEmpty());
    EXPECT_FALSE(IsLive(old));
    EXPECT_FALSE(icon.LoadFromFile(notAnIcon));
    EXPECT_FALSE(icon.LoadFromFileW(nullptr));
    EXPECT_TRUE(icon.IsEmpty());
}

}  // namespace
}  // namespace iconvale
