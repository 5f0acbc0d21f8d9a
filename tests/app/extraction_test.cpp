// The Extract command through the modal seam: files under the first free names, decoded again
// and checked pixel by pixel.
#include "app/extraction.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "core/file_io.h"
#include "imaging/image_formats.h"
#include "support/expected_flags.h"
#include "support/program_fixture.h"
#include "support/recording_progress.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"
#include "support/test_icons.h"
#include "support/test_pictures.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::FileExists;

constexpr char kProgramFolder[] = "C:\\程序";

class ExtractionTest : public testing::ProgramFixture {
protected:
    // A 24 x 20 group; image i has its left half transparent and its right half a colour of
    // its own, red 0x40 * (i + 1).
    void MakeGroup(int count, COLORREF background = CLR_NONE) {
        ImageGroup made;
        ASSERT_TRUE(made.Create(24, 20, ILC_COLOR32 | ILC_MASK));
        for (int i = 0; i < count; ++i) {
            UniqueIcon icon = testing::MakeIcon(24, 20, [i](int x, int) -> std::uint32_t {
                return x < 12 ? 0 : 0xFF000000u | static_cast<std::uint32_t>(0x40 * (i + 1)) << 16;
            });
            ASSERT_NE(made.AddIcon(icon.get()), -1);
        }
        document().Create(made, background);
    }
    void Save(const char* format, const std::string& folder) {
        ui_.extractionChoices.push_back(ExtractionChoice{folder, format});
    }
    std::string In(const std::string& name) { return folder_.File(name); }
    std::string Folder() { return folder_.path() + "\\"; }
    std::vector<std::string> Messages() { return ui_.MessageTexts(); }

    Extraction extraction_{program_.document(), program_.choices, window_, ui_, kProgramFolder};
};

TEST_F(ExtractionTest, SelectedImagesGetTheLowestFreeNamesPerExtension) {
    MakeGroup(5);
    Select({0, 2, 4});
    Save(kPngFormat, folder_.path());
    extraction_.Extract();
    EXPECT_TRUE(FileExists(In("image0.png")) && FileExists(In("image1.png")) &&
                FileExists(In("image2.png")));
    EXPECT_FALSE(FileExists(In("image3.png")));
    EXPECT_EQ(Messages(), std::vector<std::string>{"提取图标完毕！"});
    EXPECT_EQ(ui_.messages[0].style, testing::kInformationStyle);
    // Image 2 of the group went into image1.png.
    testing::Pixels second = testing::DecodePixels(In("image1.png"));
    EXPECT_EQ(second.width, 24);
    EXPECT_EQ(second.height, 20);
    EXPECT_EQ(second.At(18, 10), 0xFFC00000u);

    // Gaps are filled first, and nothing is overwritten.
    ASSERT_TRUE(::DeleteFileW(WidePtr(ToWide(In("image1.png")))));
    const Bytes kept = ReadWholeFile(In("image2.png"));
    Select({1});
    Save(kPngFormat, folder_.path());
    extraction_.Extract();  // images 0, 1, 2 and 4 now
    EXPECT_TRUE(FileExists(In("image1.png")) && FileExists(In("image3.png")) &&
                FileExists(In("image4.png")));
    EXPECT_EQ(ReadWholeFile(In("image2.png")), kept);

    // Names are counted per extension.
    Save(kJpegFormat, folder_.path());
    extraction_.Extract();
    EXPECT_TRUE(FileExists(In("image0.jpg")));
    EXPECT_EQ(group().GetCount(), 5);
    EXPECT_FALSE(document().modified()) << "extraction changes nothing";
}

TEST_F(ExtractionTest, WhiteOrTheBackgroundUnderTransparentPartsAndAlphaOnlyInPng) {
    struct Case {
        const char* format;
        const char* extension;
    };
    MakeGroup(1);
    Select({0});
    // Wine's GIF encoder writes a frame without its image data, so a GIF is checked by its header
    // alone: the signature and the logical screen size.
    ASSERT_TRUE(extraction_.ExtractImageToFile(Folder(), kGifFormat, 0));
    const Bytes gif = ReadWholeFile(In("image0.gif"));
    ASSERT_GE(gif.size(), 10u);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 3), "GIF");
    EXPECT_EQ(gif[6] | gif[7] << 8, 24);
    EXPECT_EQ(gif[8] | gif[9] << 8, 20);

    for (Case c : {Case{kPngFormat, ".png"}, Case{kJpegFormat, ".jpg"}, Case{kBmpFormat, ".bmp"},
                   Case{kTiffFormat, ".tif"}}) {
        ASSERT_TRUE(extraction_.ExtractImageToFile(Folder(), c.format, 0)) << c.extension;
        testing::Pixels written = testing::DecodePixels(In(std::string("image0") + c.extension));
        ASSERT_EQ(written.width, 24) << c.extension;
        ASSERT_EQ(written.height, 20) << c.extension;
        const std::uint32_t under = written.At(3, 10);
        if (c.format == std::string(kPngFormat)) {
            EXPECT_EQ(under >> 24, 0u) << "transparent in PNG";
        } else {
            EXPECT_GT((under >> 16) & 0xFF, 0xF0u) << c.extension;
            EXPECT_GT((under >> 8) & 0xFF, 0xF0u) << c.extension;
            EXPECT_GT(under & 0xFF, 0xF0u) << c.extension << ": white";
        }
        EXPECT_GT((written.At(18, 10) >> 16) & 0xFF, 0x30u) << c.extension;
    }
    document().Change([](ImageGroup& group) {
        group.SetBackgroundColour(0x00FF0000);  // blue as 0x00BBGGRR
        return true;
    });
    ASSERT_TRUE(extraction_.ExtractImageToFile(Folder(), kBmpFormat, 0));
    EXPECT_EQ(testing::DecodePixels(In("image1.bmp")).At(3, 10), 0xFF0000FFu);
    EXPECT_FALSE(extraction_.ExtractImageToFile(Folder(), kEmfFormat, 0)) << "no encoder";
    EXPECT_FALSE(extraction_.ExtractImageToFile(Folder(), kPngFormat, 7)) << "no such image";
}

TEST_F(ExtractionTest, AFailureStopsTheRunAndStillSaysItIsDone) {
    MakeGroup(3);
    Select({0, 1, 2});
    std::vector<int> tried;
    Extraction failing(program_.document(), program_.choices, window_, ui_, kProgramFolder,
                       [&](const std::string& folder, const std::string& format, int index) {
                           tried.push_back(index);
                           return index != 1 &&
                                  extraction_.ExtractImageToFile(folder, format, index);
                       });
    Save(kPngFormat, folder_.path());
    failing.Extract();
    EXPECT_EQ(tried, (std::vector<int>{0, 1}));
    EXPECT_TRUE(FileExists(In("image0.png")));
    EXPECT_FALSE(FileExists(In("image1.png")));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"提取图标失败！", "提取图标完毕！"}));
    EXPECT_EQ(ui_.messages[0].style, testing::kErrorStyle);
    EXPECT_EQ(ui_.messages[1].style, testing::kInformationStyle);
}

TEST_F(ExtractionTest, TheRunIsCountedImageByImageAndTheCountEndsBeforeAnyMessage) {
    MakeGroup(3);
    Select({0, 1, 2});
    testing::RecordingProgress progress;
    std::size_t messagesAtEnd = 99;
    progress.ended = [&] { messagesAtEnd = ui_.messages.size(); };
    bool fail = false;
    Extraction counted(
        program_.document(), program_.choices, window_, ui_, kProgramFolder,
        [&](const std::string&, const std::string&, int index) { return !(fail && index == 1); },
        progress);
    Save(kPngFormat, folder_.path());
    counted.Extract();
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"begin 3 正在提取", "step 1", "step 1", "step 1", "end"}));
    EXPECT_EQ(messagesAtEnd, 0u);

    progress.calls.clear();
    fail = true;
    Save(kPngFormat, folder_.path());
    counted.Extract();
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"begin 3 正在提取", "step 1", "end"}));
    EXPECT_EQ(messagesAtEnd, 1u) << "only the first run's message came before";
    EXPECT_EQ(Messages().back(), "提取图标完毕！");
}

TEST_F(ExtractionTest, NothingToExtractOrACancelledDialogWritesAndAsksNothing) {
    extraction_.Extract();
    MakeGroup(2);
    extraction_.Extract();
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"请先新建或打开一个图片组！", "请选择要提取的图标！"}));
    EXPECT_TRUE(ui_.extractionFolders.empty());
    Select({0});
    extraction_.Extract();  // no scripted answer: cancelled
    EXPECT_EQ(ui_.messages.size(), 2u);
    EXPECT_FALSE(choices().extractionSaved);
    EXPECT_FALSE(FileExists(In("image0.png")));
}

TEST_F(ExtractionTest, TheDialogStartsInTheDocumentsFolderOrTheProgramsAndADriveRootStaysAsItIs) {
    MakeGroup(1);
    Select({0});
    extraction_.Extract();
    // A save that cannot be written still names the document's file.
    EXPECT_FALSE(document().SaveTo("C:\\icons\\a.eil"));
    extraction_.Extract();
    EXPECT_FALSE(document().SaveTo("Q:\\a.eil"));  // a drive that is not there
    extraction_.Extract();
    EXPECT_EQ(ui_.extractionFolders,
              (std::vector<std::string>{kProgramFolder, "C:\\icons", "Q:\\"}));

    Save(kPngFormat, "Z:\\");
    Extraction recording(program_.document(), program_.choices, window_, ui_, kProgramFolder,
                         [](const std::string&, const std::string&, int) { return true; });
    recording.Extract();
    EXPECT_EQ(choices().extractionFolder, "Z:\\");
    EXPECT_EQ(choices().formatIdentifier, kPngFormat);
    EXPECT_TRUE(choices().extractionSaved);
}

}  // namespace
}  // namespace iconvale
