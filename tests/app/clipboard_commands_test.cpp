// Copy and Paste through the real clipboard: round trips between groups of each kind, each form
// Paste reads, where pasted images go, the undo step, and a clipboard held by someone else.
#include "app/clipboard_commands.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <future>
#include <thread>

#include "imaging/clipboard_pictures.h"
#include "imaging/image_formats.h"
#include "support/program_fixture.h"
#include "support/test_icons.h"
#include "support/test_pictures.h"
#include "support/wired_commands.h"
#include "ui/clipboard.h"

namespace iconvale {
namespace {

using testing::Pixels;

constexpr int kSide = 16;

// Clear corners, a half-transparent band when asked, and colours that tell x, y and the image.
std::uint32_t Pattern(int image, int x, int y, bool halfAlpha) {
    if ((x < 3 && y < 3) || (x > 12 && y > 12)) return 0;
    const std::uint32_t alpha = halfAlpha && y == 8 ? 0x80u : 0xFFu;
    return alpha << 24 | static_cast<std::uint32_t>(x * 15) << 16 |
           static_cast<std::uint32_t>(y * 15) << 8 | static_cast<std::uint32_t>(image * 60);
}

// An icon's pixels with every transparent pixel the same, since the colour there is no one's.
Pixels Seen(const ImageGroup& group, int index) {
    Pixels pixels = testing::IconPixels(group.GetIcon(index, ILD_TRANSPARENT).get());
    for (auto& pixel : pixels.argb) {
        if ((pixel >> 24) == 0) pixel = 0;
    }
    return pixels;
}

// Where two images first differ, for a readable failure.
::testing::AssertionResult SamePixels(const Pixels& actual, const Pixels& expected) {
    if (actual.argb.size() != expected.argb.size())
        return ::testing::AssertionFailure() << "sizes differ";
    for (std::size_t i = 0; i < actual.argb.size(); ++i) {
        if (actual.argb[i] != expected.argb[i]) {
            return ::testing::AssertionFailure()
                   << "at " << i % kSide << "," << i / kSide << ": " << std::hex << actual.argb[i]
                   << " instead of " << expected.argb[i];
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<std::uint8_t> DropFiles(const std::vector<std::wstring>& paths) {
    std::vector<std::uint8_t> bytes(sizeof(DROPFILES));
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    std::memcpy(bytes.data(), &header, sizeof header);
    for (const std::wstring& path : paths) {
        const auto* begin = reinterpret_cast<const std::uint8_t*>(path.c_str());
        bytes.insert(bytes.end(), begin, begin + (path.size() + 1) * sizeof(wchar_t));
    }
    bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

class ClipboardCommandsTest : public testing::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        OpenClipboardOwner clipboard(nullptr);
        ASSERT_TRUE(clipboard.IsOpen());
        clipboard.Empty();
    }

    // A group of `count` patterned images, made and left as the open document.
    void MakeGroup(std::uint32_t flags, int count, bool halfAlpha) {
        ImageGroup made;
        ASSERT_TRUE(made.Create(kSide, kSide, flags));
        for (int i = 0; i < count; ++i) {
            auto icon = testing::MakeIcon(kSide, kSide, [&](int x, int y) {
                return Pattern(i, x, y, halfAlpha);
            });
            ASSERT_NE(made.AddIcon(icon.get()), -1);
        }
        document().Create(made, CLR_NONE);
    }
    void Put(UINT format, const std::vector<std::uint8_t>& bytes) {
        OpenClipboardOwner clipboard(nullptr);
        ASSERT_TRUE(clipboard.IsOpen());
        clipboard.Empty();
        ASSERT_TRUE(clipboard.Put(format, bytes));
    }
    std::vector<std::uint8_t> Held(UINT format) {
        OpenClipboardOwner clipboard(nullptr);
        return clipboard.Get(format);
    }

    testing::WiredCommands wired_{program_, window_, ui_, folder_.File("seting.ini")};
    ClipboardCommands clipboard_{program_.document(), window_, ui_, wired_.document,
                                 wired_.pictures};
};

TEST_F(ClipboardCommandsTest, CopiedImagesPasteIntoAnotherGroupWithPixelsAlphaAndMaskExact) {
    // One image enters as an icon; a strip is cut into cells when segmenting. Wine's masked
    // 32-bit lists blend half-transparent pixels of an added icon, and a cut strip keeps no mask.
    const struct {
        std::uint32_t flags;
        bool halfAlpha;
        std::vector<int> copied;
    } kinds[] = {
        {ILC_COLOR32, false, {1}},
        {ILC_COLOR32 | ILC_MASK, false, {1}},
        {ILC_COLOR24 | ILC_MASK, false, {2}},
        {ILC_COLOR32, false, {1, 2}},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.flags);
        MakeGroup(kind.flags, 3, kind.halfAlpha);
        std::vector<Pixels> copied;
        for (int index : kind.copied) copied.push_back(Seen(group(), index));
        window_.SelectIndices(kind.copied);
        clipboard_.Copy();
        EXPECT_FALSE(Held(CF_DIBV5).empty());
        EXPECT_FALSE(Held(CF_DIB).empty());
        EXPECT_FALSE(Held(PngClipboardFormat()).empty());

        MakeGroup(kind.flags, 2, kind.halfAlpha);
        Select({0});
        choices().autoSegmentation = copied.size() > 1;
        clipboard_.Paste();
        ASSERT_EQ(group().GetCount(), 2 + static_cast<int>(copied.size()));
        for (std::size_t i = 0; i < copied.size(); ++i) {
            EXPECT_TRUE(SamePixels(Seen(group(), 1 + static_cast<int>(i)), copied[i]))
                << "pasted after the selection, image " << i;
        }
        EXPECT_EQ(window_.SelectedIndices().front(), 1);
        EXPECT_TRUE(ui_.messages.empty());
    }
}

TEST_F(ClipboardCommandsTest, EachFormPasteReadsGivesThePictureAndOneUndoStep) {
    MakeGroup(ILC_COLOR32, 2, false);
    const Pixels original = Seen(group(), 0);
    Select({0});
    clipboard_.Copy();
    const auto png = Held(PngClipboardFormat());
    const auto v5 = Held(CF_DIBV5);
    const auto dib = Held(CF_DIB);
    const std::string file = folder_.File("pasted.png");
    const Pixels strip{kSide, kSide, original.argb};
    ASSERT_TRUE(testing::WritePicture(
        file, kSide, kSide, [&](int x, int y) { return strip.At(x, y); }, kPngFormat));

    const struct {
        const char* name;
        UINT format;
        std::vector<std::uint8_t> bytes;
    } forms[] = {
        {"PNG", PngClipboardFormat(), png},
        {"CF_DIBV5", CF_DIBV5, v5},
        {"CF_DIB", CF_DIB, dib},
        {"CF_HDROP", CF_HDROP, DropFiles({std::wstring(file.begin(), file.end())})},
    };
    for (const auto& form : forms) {
        SCOPED_TRACE(form.name);
        MakeGroup(ILC_COLOR32, 1, false);
        Put(form.format, form.bytes);
        EXPECT_TRUE(ClipboardCommands::CanPaste());
        const std::size_t steps = document().history().UndoSteps();
        clipboard_.Paste();
        ASSERT_EQ(group().GetCount(), 2) << "nothing selected: at the end";
        EXPECT_TRUE(SamePixels(Seen(group(), 1), original));
        EXPECT_EQ(document().history().UndoSteps(), steps + 1);
        ASSERT_TRUE(document().Undo());
        EXPECT_EQ(group().GetCount(), 1);
    }
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ClipboardCommandsTest, OldBitmapFormsAndSegmentationAreTakenAsAddTakesPictures) {
    MakeGroup(ILC_COLOR32 | ILC_MASK, 0, false);
    // A 24-bit bitmap three cells wide, rows from the bottom: no alpha, so every pixel opaque.
    const int width = 3 * kSide;
    std::vector<std::uint8_t> dib(sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER info{sizeof info, width, kSide, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(dib.data(), &info, sizeof info);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < width; ++x) dib.insert(dib.end(), {0x10, 0x20, std::uint8_t(x)});
    }
    choices().autoSegmentation = true;
    Put(CF_DIB, dib);
    clipboard_.Paste();
    ASSERT_EQ(group().GetCount(), 3);
    EXPECT_EQ(Seen(group(), 2).At(5, 5), 0xFF000000u | (2 * kSide + 5) << 16 | 0x2010);

    choices().autoSegmentation = false;
    clipboard_.Paste();
    ASSERT_EQ(group().GetCount(), 4) << "stretched into one cell";
    EXPECT_EQ(Seen(group(), 3).At(0, 0) >> 24, 0xFFu);
}

TEST_F(ClipboardCommandsTest, NothingUsableGreysPasteAndBrokenBitmapsFailWithAMessage) {
    MakeGroup(ILC_COLOR32, 1, false);
    EXPECT_FALSE(ClipboardCommands::CanPaste());
    const std::string text = "text";
    Put(CF_TEXT, {text.begin(), text.end() + 1});
    EXPECT_FALSE(ClipboardCommands::CanPaste());
    clipboard_.Paste();
    EXPECT_TRUE(ui_.messages.empty());

    EXPECT_FALSE(clipboard_.CanCopy()) << "nothing selected";
    Select({0});
    EXPECT_TRUE(clipboard_.CanCopy());

    const std::vector<std::uint8_t> broken[] = {
        {1, 2, 3},
        [] {  // a header that promises more rows than follow
            std::vector<std::uint8_t> dib(sizeof(BITMAPINFOHEADER) + 16);
            BITMAPINFOHEADER info{sizeof info, 100, 100, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
            std::memcpy(dib.data(), &info, sizeof info);
            return dib;
        }(),
    };
    for (const auto& bytes : broken) {
        ui_.messages.clear();
        Put(CF_DIB, bytes);
        clipboard_.Paste();
        EXPECT_EQ(group().GetCount(), 1);
        EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{kPasteFailedMessage});
    }
}

TEST_F(ClipboardCommandsTest, AClipboardHeldElsewhereGivesAMessageInsteadOfWaiting) {
    MakeGroup(ILC_COLOR32, 1, false);
    Select({0});
    clipboard_.Copy();
    std::promise<void> opened;
    std::promise<void> release;
    std::thread holder([&] {
        const bool open = ::OpenClipboard(nullptr) != FALSE;
        opened.set_value();
        release.get_future().wait();
        if (open) ::CloseClipboard();
    });
    opened.get_future().wait();
    const ULONGLONG start = ::GetTickCount64();
    clipboard_.Paste();
    clipboard_.Copy();
    const ULONGLONG waited = ::GetTickCount64() - start;
    release.set_value();
    holder.join();

    EXPECT_EQ(group().GetCount(), 1);
    EXPECT_EQ(ui_.MessageTexts(),
              (std::vector<std::string>{kClipboardBusyMessage, kClipboardBusyMessage}));
    EXPECT_LT(waited, 2000u);
    clipboard_.Paste();
    EXPECT_EQ(group().GetCount(), 2) << "free again";
}

}  // namespace
}  // namespace iconvale
