// Pictures into the open group, with files the tests draw and encode themselves, checked pixel by
// pixel through the group's own saved stream.
#include "app/picture_import.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cmath>

#include "app/drop_target.h"
#include "app/main_window.h"
#include "core/group_file.h"
#include "core/image_list_stream.h"
#include "imaging/image_formats.h"
#include "support/expected_flags.h"
#include "support/program_fixture.h"
#include "support/recording_progress.h"
#include "support/file_drop_data.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"
#include "support/test_pictures.h"
#include "support/wired_commands.h"
#include "ui/control_text.h"
#include "ui/status_bar_progress.h"
#include "ui/text.h"
#include "ui/win_handles.h"

namespace iconvale {
namespace {

using testing::Inputs;

constexpr Argb kOpaque = 0xFF000000u;
constexpr COLORREF kMagenta = 0x00FF00FF;

// Every pixel tells where it came from: red is x, green is y.
Argb Coordinates(int x, int y) {
    return kOpaque | (x & 0xFF) << 16 | (y & 0xFF) << 8;
}

int Red(std::uint32_t argb) {
    return (argb >> 16) & 0xFF;
}
int Green(std::uint32_t argb) {
    return (argb >> 8) & 0xFF;
}
int Blue(std::uint32_t argb) {
    return argb & 0xFF;
}

std::wstring Wide(const std::string& gbk) {
    return WidePtr(ToWide(gbk));
}

class PictureImportTest : public testing::ProgramFixture {
protected:
    // A group made through the new-group dialog, as a user makes one.
    void NewGroup(const char* size = "32", const char* depth = "32", bool mask = false,
                  COLORREF colour = kMagenta) {
        ui_.newGroupPresses.push_back({Inputs(size, size, depth, mask, colour)});
        commands_.New();
        ASSERT_TRUE(group().IsCreated());
    }

    std::string Picture(const std::string& name, int w, int h,
                        const std::function<Argb(int, int)>& pixel,
                        const char* format = kPngFormat) {
        const std::string path = folder_.File(name);
        EXPECT_TRUE(testing::WritePicture(path, w, h, pixel, format)) << name;
        return path;
    }
    std::string Solid(const std::string& name, Argb colour, const char* format = kPngFormat,
                      int w = 32, int h = 32) {
        return Picture(
            name, w, h, [colour](int, int) { return colour; }, format);
    }

    // The group as its own stream holds it.
    ImageListData Images() {
        auto list = ParseImageListStream(StreamPart(group().SaveToBytes(0), false));
        return list ? *list : ImageListData{};
    }
    // Pictures whose Add and drop count their files on `progress`.
    PictureImport CountedBy(ProgressReporter& progress) {
        return PictureImport(program_.document(), program_.choices, program_.scratchPicture(),
                             program_.fileDialog(), window_, ui_, commands_, progress);
    }
    void Choose(const std::string& path, int filterIndex = 5) {
        ui_.files.push_back(FileChoice{path, filterIndex});
    }

    testing::WiredCommands wired_{program_, window_, ui_, folder_.File("seting.ini")};
    DocumentCommands& commands_ = wired_.document;
    PictureImport& import_ = wired_.pictures;
};

TEST_F(PictureImportTest, WithoutSegmentationAPictureIsSqueezedIntoOneCell) {
    NewGroup();
    // Left half red, right half blue, over 100 x 50.
    const auto path =
        Picture("wide.png", 100, 50, [](int x, int) { return x < 50 ? 0xFFFF0000u : 0xFF0000FFu; });
    ASSERT_TRUE(import_.AddPictureFile(path));
    ImageListData images = Images();
    ASSERT_EQ(images.count, 1);
    EXPECT_EQ(images.width, 32);
    EXPECT_GT(Red(images.Pixel(0, 4, 16)), 200);
    EXPECT_GT(Blue(images.Pixel(0, 28, 16)), 200);
    EXPECT_GT(Red(images.Pixel(0, 4, 30)), 200) << "stretched over the whole height too";
    EXPECT_TRUE(program_.scratchPicture().IsEmpty());
}

TEST_F(PictureImportTest, SegmentationCutsCellsFromTheLeftAtTheTopUnscaled) {
    NewGroup();
    choices().autoSegmentation = true;
    ASSERT_TRUE(import_.AddPictureFile(Picture("strip.png", 100, 32, Coordinates)));
    ASSERT_TRUE(import_.AddPictureFile(Picture("tall.png", 64, 48, Coordinates)));
    ImageListData images = Images();
    ASSERT_EQ(images.count, 5) << "three cells of 100 wide (the last 4 columns dropped), two of 64";
    for (int cell = 0; cell < 5; ++cell) {
        const int left = cell < 3 ? 32 * cell : 32 * (cell - 3);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const std::uint32_t pixel = images.Pixel(cell, x, y);
                ASSERT_EQ(Red(pixel), left + x) << "cell " << cell << " at " << x << "," << y;
                ASSERT_EQ(Green(pixel), y) << "cell " << cell << " at " << x << "," << y;
                ASSERT_FALSE(images.Transparent(cell, x, y));
            }
    }
}

TEST_F(PictureImportTest, TheTransparentColourMasksOnlyWhenSegmentingWithTheFlagExactlyOne) {
    // Magenta in the left half, its neighbour 0xFE00FF in the right half.
    auto pixel = [](int x, int) { return x < 16 ? 0xFFFF00FFu : 0xFFFE00FFu; };
    NewGroup("32", "24", true, kMagenta);
    ASSERT_TRUE(choices().useTransparentColour);
    ASSERT_EQ(choices().transparentColour, kMagenta);
    const auto path = Picture("keyed.bmp", 32, 32, pixel, kBmpFormat);

    choices().autoSegmentation = true;
    ASSERT_TRUE(import_.AddPictureFile(path));
    choices().useTransparentColour = false;  // a stored 2 is read as no
    ASSERT_TRUE(import_.AddPictureFile(path));
    choices().useTransparentColour = true;
    choices().autoSegmentation = false;
    ASSERT_TRUE(import_.AddPictureFile(path));

    ImageListData images = Images();
    ASSERT_EQ(images.count, 3);
    EXPECT_TRUE(images.Transparent(0, 3, 3));
    EXPECT_EQ(images.Pixel(0, 3, 3) & 0xFFFFFF, 0u) << "black under the mask";
    EXPECT_FALSE(images.Transparent(0, 20, 3)) << "a neighbouring colour stays";
    EXPECT_EQ(Red(images.Pixel(0, 20, 3)), 0xFE);
    for (int cell : {1, 2}) {
        EXPECT_FALSE(images.Transparent(cell, 3, 3)) << cell;
        EXPECT_EQ(Red(images.Pixel(cell, 3, 3)), 0xFF) << cell;
    }
}

TEST_F(PictureImportTest, AGroupOpenedBeforeAnyNewGroupDialogIsNeverMasked) {
    ImageGroup made;
    ASSERT_TRUE(made.Create(32, 32, ILC_COLOR24 | ILC_MASK));
    const std::string file = folder_.File("opened.eil");
    ASSERT_TRUE(testing::WriteBytes(file, made.SaveToBytes(1)));
    ASSERT_TRUE(document().Open(file));
    choices().autoSegmentation = true;
    ASSERT_TRUE(import_.AddPictureFile(Solid("black.png", 0xFF000000u)));
    ImageListData images = Images();
    ASSERT_EQ(images.count, 1);
    EXPECT_FALSE(images.Transparent(0, 5, 5)) << "colour 0 is no transparent colour here";
}

TEST_F(PictureImportTest, IconFilesAreLoadedAtTheCellSizeWhateverTheSegmentation) {
    NewGroup();
    const std::string both = folder_.File("A.ICO");
    ASSERT_TRUE(
        testing::WriteIconFile(both, {{16, 0xFFFF0000}, {32, 0xFF00FF00}, {48, 0xFF0000FF}}));
    const std::string onlyLarge = folder_.File("large.ico");
    ASSERT_TRUE(testing::WriteIconFile(onlyLarge, {{48, 0xFF0000FF}}));
    choices().autoSegmentation = true;
    ASSERT_TRUE(import_.AddPictureFile(both));
    ASSERT_TRUE(import_.AddPictureFile(onlyLarge));
    ImageListData images = Images();
    ASSERT_EQ(images.count, 2) << "one image each, never cut";
    EXPECT_GT(Green(images.Pixel(0, 10, 10)), 200) << "the 32 x 32 image of the file was picked";
    EXPECT_GT(Blue(images.Pixel(1, 10, 10)), 200);
    EXPECT_FALSE(import_.AddPictureFile(folder_.File("missing.ico")));
}

TEST_F(PictureImportTest, EveryPictureFormatImportsAndATiffGivesItsFirstFrame) {
    NewGroup();
    ASSERT_TRUE(import_.AddPictureFile(Solid("a.jpg", 0xFFFF0000u, kJpegFormat)));
    ASSERT_TRUE(import_.AddPictureFile(Solid("b.bmp", 0xFF00FF00u, kBmpFormat)));
    ASSERT_TRUE(import_.AddPictureFile(Solid("c.gif", 0xFF0000FFu, kGifFormat)));
    const std::string tiff = folder_.File("d.tif");
    ASSERT_TRUE(testing::WriteTwoFrameTiff(tiff, 32, 32, 0xFFFFFF00u, 0xFF00FFFFu));
    ASSERT_TRUE(import_.AddPictureFile(tiff));
    ASSERT_TRUE(import_.AddPictureFile(
        Picture("e.png", 32, 32, [](int x, int) { return x < 16 ? 0x00000000u : 0xFFFFFFFFu; })));
    ImageListData images = Images();
    ASSERT_EQ(images.count, 5);
    EXPECT_GT(Red(images.Pixel(0, 8, 8)), 200);
    EXPECT_LT(Green(images.Pixel(0, 8, 8)), 60) << "JPEG, within its loss";
    EXPECT_EQ(images.Pixel(1, 8, 8) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(images.Pixel(2, 8, 8) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(images.Pixel(3, 8, 8) & 0xFFFFFF, 0xFFFF00u) << "the first frame";
    EXPECT_EQ(images.Pixel(4, 4, 4) >> 24, 0u) << "a PNG's own transparency stays";
    EXPECT_EQ(images.Pixel(4, 24, 4) >> 24, 0xFFu);
    EXPECT_FALSE(import_.AddPictureFile(folder_.File("missing.png")));
    EXPECT_EQ(group().GetCount(), 5);
}

TEST_F(PictureImportTest, ReplaceWorksAtTheFirstIndexInBothModes) {
    NewGroup();
    ASSERT_TRUE(import_.AddPictureFile(Solid("red.png", 0xFFFF0000u)));
    ASSERT_TRUE(import_.AddPictureFile(Solid("red2.png", 0xFFFF0000u)));
    ASSERT_TRUE(
        import_.ReplaceWithPictureFile(0, Solid("green.png", 0xFF00FF00u, kPngFormat, 64, 64)));
    choices().autoSegmentation = true;
    const std::string icon = folder_.File("blue.ico");
    ASSERT_TRUE(testing::WriteIconFile(icon, {{32, 0xFF0000FF}}));
    ASSERT_TRUE(import_.ReplaceWithPictureFile(1, icon))
        << "an icon file through the picture library";
    EXPECT_FALSE(import_.ReplaceWithPictureFile(2, Solid("x.png", 0xFF000000u)));
    EXPECT_FALSE(import_.ReplaceWithPictureFile(0, folder_.File("missing.png")));
    ImageListData images = Images();
    ASSERT_EQ(images.count, 2);
    EXPECT_EQ(images.Pixel(0, 30, 30) & 0xFFFFFF, 0x00FF00u) << "stretched over the whole cell";
    EXPECT_GT(Blue(images.Pixel(1, 8, 8)), 200);
    EXPECT_TRUE(program_.scratchPicture().IsEmpty());
}

TEST_F(PictureImportTest, AddAsksForAPictureRemembersItsFilterAndRefreshes) {
    NewGroup();
    choices().pictureFilterIndex = 6;
    import_.Add();  // cancelled
    ASSERT_EQ(ui_.fileDialogs.size(), 1u);
    EXPECT_EQ(ui_.fileDialogs[0].title, "添加图标");
    EXPECT_EQ(ui_.fileDialogs[0].flags, testing::kPickExistingFilesFlags);
    EXPECT_EQ(ui_.fileDialogs[0].filterIndex, 6);
    EXPECT_EQ(ui_.fileDialogs[0].defaultExtension, "");
    EXPECT_EQ(choices().pictureFilterIndex, 6) << "a cancel changes nothing";
    EXPECT_FALSE(document().modified());

    Choose(Solid("one.png", 0xFF00FF00u), 5);
    import_.Add();
    EXPECT_EQ(choices().pictureFilterIndex, 5);
    EXPECT_TRUE(document().modified());
    EXPECT_EQ(ListCount(), 1);
    EXPECT_TRUE(ui_.messages.empty());

    Choose(folder_.File("missing.png"), 2);
    import_.Add();
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "添加失败！");
    EXPECT_EQ(ui_.messages[0].title, "Iconvale");
    EXPECT_EQ(ui_.messages[0].style, testing::kErrorStyle);
    EXPECT_EQ(choices().pictureFilterIndex, 2);

    // One file chosen where several may be comes back as a line of its own.
    Choose(Solid("two.png", 0xFF0000FFu) + "\r\n", 3);
    import_.Add();
    EXPECT_EQ(ListCount(), 2);
    EXPECT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(choices().pictureFilterIndex, 3);
}

TEST_F(PictureImportTest, AddAndDropCountTheirFilesAndTheRefreshHasTheLastWordInThePane) {
    NewGroup();
    testing::RecordingProgress progress;
    PictureImport counted = CountedBy(progress);
    const std::string good = Solid("good.png", 0xFF00FF00u);
    int listedAtEnd = -1;
    progress.ended = [&] { listedAtEnd = ListCount(); };
    Choose(good + "\r\n" + good + "\r\n" + good + "\r\n");
    counted.Add();
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"begin 3 正在添加", "step 1", "step 1", "step 1", "end"}));
    EXPECT_EQ(listedAtEnd, 0) << "the count is over before the list is rebuilt";
    EXPECT_EQ(ListCount(), 3);

    progress.calls.clear();
    counted.Drop(good + "\r\n" + folder_.File("missing.png"));
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"begin 2 正在添加", "step 1", "end"}));

    // On the real status bar the count shows, then gives way to the refresh's text (an untitled
    // group's empty path), not to the text the pane had before. The bar's clock looks at the pane
    // whenever it is asked the time, and each asking is 600 ms later.
    std::vector<std::string> panes;
    std::uint64_t now = 0;
    StatusBarProgress bar(window_.statusBar(), [&] {
        panes.push_back(Pane(3));
        return now += 600;
    });
    PictureImport shown = CountedBy(bar);
    SetPaneText(window_.statusBar(), 3, "before");
    shown.Drop(good + "\r\n" + good + "\r\n" + good);
    EXPECT_EQ(panes,
              (std::vector<std::string>{"before", "before", "正在添加 1/3", "正在添加 2/3"}));
    EXPECT_EQ(Pane(3), "");
    EXPECT_EQ(ListCount(), 7);
}

TEST_F(PictureImportTest, AddAndDropWithoutAGroupRunNewFirstAndACancelledNewDoesNothing) {
    import_.Add();
    import_.Drop(Solid("one.png", 0xFF00FF00u));
    EXPECT_FALSE(group().IsCreated());
    EXPECT_TRUE(ui_.fileDialogs.empty());
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_FALSE(document().modified());

    ui_.newGroupPresses.push_back({Inputs("16", "16", "32")});
    import_.Drop(Solid("two.png", 0xFF0000FFu));
    ASSERT_TRUE(group().IsCreated());
    EXPECT_EQ(group().GetCount(), 1);
    EXPECT_EQ(ListCount(), 1);
    EXPECT_TRUE(document().modified());
}

TEST_F(PictureImportTest, APartlyFailedDropKeepsWhatWasAddedAsAChangeToSave) {
    NewGroup();
    const std::string good = Solid("good.png", 0xFF00FF00u);
    const std::string broken = folder_.File("broken.png");
    ASSERT_TRUE(testing::WriteBytes(broken, Bytes{0x89, 'P', 'N', 'G', 1, 2, 3}));
    // Dropped as the shell drops files: through the drop target, from a CF_HDROP data object.
    ComPtr<IDropTarget> target(
        new FileDropTarget([this](const std::string& paths) { import_.Drop(paths); }));
    ComPtr<IDataObject> data(
        testing::NewFileDropData({Wide(good), Wide(good), Wide(broken), Wide(good)}));
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragEnter(data.get(), 0, {0, 0}, &effect), S_OK);
    ASSERT_EQ(target->Drop(data.get(), 0, {0, 0}, &effect), S_OK);
    EXPECT_EQ(group().GetCount(), 2) << "the files before the broken one, none after";
    EXPECT_EQ(ListCount(), 2) << "the list shows them";
    EXPECT_TRUE(document().modified()) << "closing asks to save them";
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "添加失败！");

    MarkSaved();
    import_.Drop(folder_.File("bad.png"));
    EXPECT_FALSE(document().modified()) << "nothing was added";
    EXPECT_EQ(ui_.messages.size(), 2u);
}

TEST_F(PictureImportTest, ReplaceSaysWhatIsMissingAndWhenItFails) {
    import_.Replace();
    NewGroup();
    ASSERT_TRUE(import_.AddPictureFile(Solid("red.png", 0xFFFF0000u)));
    window_.RebuildIconList();
    import_.Replace();
    Select({0});
    Choose(folder_.File("missing.png"), 3);
    import_.Replace();
    Choose(Solid("green.png", 0xFF00FF00u), 4);
    import_.Replace();
    ASSERT_EQ(ui_.messages.size(), 3u);
    EXPECT_EQ(ui_.messages[0].text, "请先新建或打开一个图片组！");
    EXPECT_EQ(ui_.messages[0].style, testing::kInformationStyle);
    EXPECT_EQ(ui_.messages[1].text, "请在列表框中选择一个要替换的图标");
    EXPECT_EQ(ui_.messages[1].style, testing::kInformationStyle);
    EXPECT_EQ(ui_.messages[2].text, "替换图片失败！");
    EXPECT_EQ(ui_.messages[2].style, testing::kErrorStyle);
    ASSERT_EQ(ui_.fileDialogs.size(), 2u);
    EXPECT_EQ(ui_.fileDialogs[0].title, "替换图标");
    EXPECT_EQ(choices().pictureFilterIndex, 4);
    EXPECT_TRUE(document().modified());
    EXPECT_EQ(Images().Pixel(0, 8, 8) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(PictureImportTest, AHugePictureInASmallFileFailsAndLeavesTheGroupAsItWas) {
    // 8200 x 8200 at one bit per pixel: a few kilobytes of PNG, far more pixels than an icon or a
    // bitmap may have.
    const std::string huge = folder_.File("huge.png");
    ASSERT_TRUE(testing::WriteBlankPicture(huge, 8200, 8200, 0x30101, kPngFormat));
    NewGroup("32", "24", true, kMagenta);
    ASSERT_TRUE(import_.AddPictureFile(Solid("red.png", 0xFFFF0000u)));
    window_.RebuildIconList();
    MarkSaved();
    const Bytes before = group().SaveToBytes(1);

    for (int mode : {0, 1}) {
        choices().autoSegmentation = mode == 1;
        for (int useColour : {0, 1}) {
            choices().useTransparentColour = useColour == 1;
            Choose(huge);
            import_.Add();
            Select({0});
            Choose(huge);
            import_.Replace();
        }
    }
    ASSERT_EQ(ui_.messages.size(), 8u);
    for (std::size_t i = 0; i < ui_.messages.size(); ++i) {
        EXPECT_EQ(ui_.messages[i].text, i % 2 == 0 ? "添加失败！" : "替换图片失败！") << i;
    }
    EXPECT_EQ(group().SaveToBytes(1), before);
    EXPECT_FALSE(document().modified());
    EXPECT_TRUE(program_.scratchPicture().IsEmpty());
}

TEST_F(PictureImportTest, AStripOf2048CellsEntersInOneAddAndAPictureOnePixelOverTheBudgetFails) {
    NewGroup();
    choices().autoSegmentation = true;
    Choose(Picture("strip.png", 65536, 32, [](int x, int y) { return Coordinates(x / 32, y); }));
    import_.Add();
    EXPECT_TRUE(ui_.messages.empty());
    ImageListData images = Images();
    ASSERT_EQ(images.count, 2048);
    EXPECT_EQ(Red(images.Pixel(2047, 5, 7)), 2047 & 0xFF);
    EXPECT_EQ(Green(images.Pixel(2047, 5, 7)), 7);
    EXPECT_EQ(ListCount(), 2048);

    // Blank pictures of one bit per pixel: small files, but their pixels count in full.
    const long long over = kMaxPicturePixels + 1;
    int width = static_cast<int>(std::sqrt(static_cast<double>(over)));
    while (over % width != 0) --width;
    const std::string tooLarge = folder_.File("over.png");
    ASSERT_TRUE(testing::WriteBlankPicture(tooLarge, width, static_cast<int>(over / width), 0x30101,
                                           kPngFormat));
    const std::string atTheBudget = folder_.File("budget.png");
    ASSERT_TRUE(testing::WriteBlankPicture(
        atTheBudget, 4096, static_cast<int>(kMaxPicturePixels / 4096), 0x30101, kPngFormat));
    for (int segment : {0, 1}) {
        choices().autoSegmentation = segment == 1;
        Choose(tooLarge);
        import_.Add();
    }
    EXPECT_EQ(ui_.MessageTexts(), (std::vector<std::string>{"添加失败！", "添加失败！"}));
    EXPECT_EQ(group().GetCount(), 2048);
    EXPECT_TRUE(program_.scratchPicture().IsEmpty());
    choices().autoSegmentation = false;
    Choose(atTheBudget);
    import_.Add();
    EXPECT_EQ(group().GetCount(), 2049) << "the budget itself is allowed";
}

}  // namespace
}  // namespace iconvale
