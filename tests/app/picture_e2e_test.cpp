// Pictures into and out of the real program: a picture added through its file dialog and saved,
// then images extracted through its extraction dialog and folder browser, every file checked
// pixel by pixel.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/commands.h"
#include "app/extraction_dialog.h"
#include "core/file_io.h"
#include "core/group_file.h"
#include "core/image_list_stream.h"
#include "imaging/image_formats.h"
#include "support/remote_program.h"
#include "support/stream_builders.h"
#include "support/temp_folder.h"
#include "support/test_pictures.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::RemoteProgram;

// Every pixel tells where it came from: red is x, green is y, blue a fixed 0x40.
std::uint32_t Coordinates(int x, int y) {
    return 0xFF000040u | static_cast<std::uint32_t>(x * 7 & 0xFF) << 16 |
           static_cast<std::uint32_t>(y * 7 & 0xFF) << 8;
}

std::optional<ImageListData> Saved(const std::string& path) {
    Bytes file = ReadWholeFile(path);
    return ParseImageListStream(StreamPart(file, HasGroupHeaderName(path)));
}

// Waits until the group saved at `path` holds `count` images.
std::optional<ImageListData> WaitForSavedCount(const std::string& path, int count) {
    for (int wait = 0; wait < 200; ++wait) {
        auto saved = Saved(path);
        if (saved && saved->count == count) return saved;
        ::Sleep(50);
    }
    return Saved(path);
}

bool WaitForItemCount(const RemoteProgram& program, HWND list, int count) {
    for (int wait = 0; wait < 200 && program.ItemCount(list) != count; ++wait) ::Sleep(50);
    return program.ItemCount(list) == count;
}

std::string TextOf(HWND control) {
    wchar_t text[MAX_PATH] = {};
    ::SendMessageW(control, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(text));
    return ToNarrow(std::wstring_view(text));
}

void Click(HWND dialog, int id) {
    ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

TEST(PictureEndToEnd, AddThroughTheFileDialogSaveThenExtractThroughTheBrowser) {
    testing::TempFolder folder;
    const std::string group = folder.File("group.eil");
    ASSERT_TRUE(testing::WriteBytes(
        group, WithGroupHeader(WriteImageListStream(testing::OneRedPerImage(32, 32, 1)), true)));
    const std::string picture = folder.File("图案.png");
    ASSERT_TRUE(testing::WritePicture(picture, 32, 32, Coordinates, kPngFormat));
    const std::string output = folder.File("输出");
    ASSERT_TRUE(::CreateDirectoryW(WidePtr(ToWide(output)), nullptr));

    RemoteProgram program;
    ASSERT_TRUE(program.Start(L"\"" + std::wstring(WidePtr(ToWide(group))) + L"\""));
    HWND list = program.Child(WC_LISTVIEWW);
    ASSERT_EQ(program.ItemCount(list), 1);

    // Add the picture through the real file dialog, then save over the group's file.
    program.Command(CommandId(Command::Add));
    HWND add = program.WaitForDialog("添加图标");
    ASSERT_TRUE(add);
    testing::ChooseInFileDialog(add, picture);
    ASSERT_TRUE(WaitForItemCount(program, list, 2));
    EXPECT_EQ(program.StatusText(0), "图标数：2");
    program.Command(CommandId(Command::Save));
    auto saved = WaitForSavedCount(group, 2);
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->count, 2);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(saved->Pixel(1, x, y), Coordinates(x, y)) << x << "," << y;
            ASSERT_FALSE(saved->Transparent(1, x, y)) << x << "," << y;
        }

    // Extract both images as PNG: the folder is typed, then confirmed in the folder browser.
    ASSERT_TRUE(program.SelectItems(list, {0, 1}));
    program.Command(CommandId(Command::Extract));
    HWND extraction = program.WaitForWindow("提取图标");
    ASSERT_TRUE(extraction);
    HWND box = ::GetDlgItem(extraction, ExtractionDialog::kFolderBoxId);
    EXPECT_EQ(TextOf(box), folder.path()) << "it opens on the group's folder";
    ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WidePtr(ToWide(output))));
    Click(extraction, ExtractionDialog::kBrowseButtonId);
    HWND browser = program.WaitForDialogShowing("选择保存路径");
    ASSERT_TRUE(browser);
    ::Sleep(1000);  // the tree moves to the typed folder after it shows
    Click(browser, IDOK);
    ASSERT_TRUE(program.WaitForWindowGone(browser));
    for (int wait = 0; wait < 100 && TextOf(box) != output; ++wait) ::Sleep(50);
    EXPECT_EQ(TextOf(box), output) << "the browsed folder fills the box";
    Click(extraction, IDOK);

    HWND done = program.WaitForDialogShowing("提取图标完毕！");
    ASSERT_TRUE(done);
    ::PostMessageW(done, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(program.WaitForWindowGone(done));

    const testing::Pixels red = testing::DecodePixels(output + "\\image0.png");
    const testing::Pixels pattern = testing::DecodePixels(output + "\\image1.png");
    ASSERT_EQ(red.width, 32);
    ASSERT_EQ(red.height, 32);
    ASSERT_EQ(pattern.width, 32);
    ASSERT_EQ(pattern.height, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(red.At(x, y), 0xFF100000u) << x << "," << y;
            ASSERT_EQ(pattern.At(x, y), Coordinates(x, y)) << x << "," << y;
        }

    ::PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(10000)) << "a saved group closes without a question";
}

TEST(PictureEndToEnd, SeveralPicturesChosenInTheAddDialogEnterInTheOrderGiven) {
    testing::TempFolder folder;
    const std::string group = folder.File("group.eil");
    ASSERT_TRUE(testing::WriteBytes(
        group, WithGroupHeader(WriteImageListStream(testing::OneRedPerImage(32, 32, 1)), true)));
    const auto solid = [&](const char* name, Argb colour) {
        return testing::WritePicture(
            folder.File(name), 32, 32, [colour](int, int) { return colour; }, kPngFormat);
    };
    ASSERT_TRUE(solid("绿.png", 0xFF00FF00u) && solid("蓝.png", 0xFF0000FFu));

    RemoteProgram program;
    ASSERT_TRUE(program.Start(L"\"" + std::wstring(WidePtr(ToWide(group))) + L"\""));
    HWND list = program.Child(WC_LISTVIEWW);
    program.Command(CommandId(Command::Add));
    HWND add = program.WaitForDialog("添加图标");
    ASSERT_TRUE(add);
    // A folder typed and confirmed is opened; then both names are chosen in one go.
    testing::ChooseInFileDialog(add, folder.path());
    testing::ChooseInFileDialog(add, "\"蓝.png\" \"绿.png\"");
    ASSERT_TRUE(WaitForItemCount(program, list, 3));
    program.Command(CommandId(Command::Save));
    auto saved = WaitForSavedCount(group, 3);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->Pixel(1, 16, 16), 0xFF0000FFu);
    EXPECT_EQ(saved->Pixel(2, 16, 16), 0xFF00FF00u);

    ::PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
}

}  // namespace
}  // namespace iconvale
