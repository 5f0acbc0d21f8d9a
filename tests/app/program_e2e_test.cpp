// The real program in its own process, worked through its menu, its dialogs and its list, with
// every file it writes checked against the images it was given.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/commands.h"
#include "core/file_io.h"
#include "core/group_file.h"
#include "core/image_list_stream.h"
#include "support/remote_program.h"
#include "support/stream_builders.h"
#include "support/temp_folder.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::ChooseInFileDialog;
using testing::RemoteProgram;
using testing::WaitForFile;

std::optional<ImageListData> Saved(const std::string& path) {
    Bytes file = ReadWholeFile(path);
    return ParseImageListStream(StreamPart(file, HasGroupHeaderName(path)));
}

// Gives the program time to finish what a posted command started.
void Settle() {
    ::Sleep(500);
}

int Red(const ImageListData& list, int i) {
    return (list.Pixel(i, 3, 3) >> 16) & 0xFF;
}

void PressCtrl(WORD key) {
    INPUT keys[4] = {};
    for (auto& k : keys) k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_CONTROL;
    keys[1].ki.wVk = key;
    keys[2].ki.wVk = key;
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = VK_CONTROL;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(4, keys, sizeof(INPUT));
}

// Alt and a key as a hand often presses them, Alt let go first: the release that, under Wine,
// left the menu bar active after an accelerator had taken the chord.
void PressAltChord(WORD key) {
    INPUT keys[4] = {};
    for (auto& k : keys) k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_MENU;
    keys[1].ki.wVk = key;
    keys[2].ki.wVk = VK_MENU;
    keys[2].ki.dwFlags = KEYEVENTF_KEYUP;
    keys[3].ki.wVk = key;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(4, keys, sizeof(INPUT));
}

void PressAlone(WORD key) {
    INPUT keys[2] = {};
    for (auto& k : keys) k.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = key;
    keys[1].ki.wVk = key;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, keys, sizeof(INPUT));
}

bool WaitForChange(const std::string& path, const Bytes& before) {
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 10000; ::Sleep(50)) {
        if (ReadWholeFile(path) != before) return true;
    }
    return false;
}

bool InMenuMode(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) &&
           (info.flags & GUI_INMENUMODE) != 0;
}

bool WaitForMenuMode(HWND window) {
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 5000; ::Sleep(50)) {
        if (InMenuMode(window)) return true;
    }
    return false;
}

TEST(ProgramEndToEnd, CtrlSAfterAltDownSavesTheMovedOrderAndAltAloneStillOpensTheMenuBar) {
    testing::TempFolder folder;
    const std::string start = folder.File("start.eil");
    ASSERT_TRUE(testing::WriteBytes(
        start, WithGroupHeader(WriteImageListStream(testing::OneRedPerImage(16, 16, 3)), true)));
    const Bytes before = ReadWholeFile(start);

    RemoteProgram program;
    ASSERT_TRUE(program.Start(L"\"" + std::wstring(WidePtr(ToWide(start))) + L"\""));
    HWND list = program.Child(WC_LISTVIEWW);
    ASSERT_EQ(program.ItemCount(list), 3);
    ASSERT_TRUE(program.SelectItems(list, {0}));
    ::SetForegroundWindow(program.mainWindow());
    PressAltChord(VK_DOWN);
    Settle();
    EXPECT_FALSE(InMenuMode(program.mainWindow())) << "the release of Alt opened the menu bar";
    PressCtrl('S');
    ASSERT_TRUE(WaitForChange(start, before)) << "Ctrl+S after Alt+Down saved nothing";
    auto saved = Saved(start);
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->count, 3);
    EXPECT_EQ(Red(*saved, 0), 0x20);
    EXPECT_EQ(Red(*saved, 1), 0x10);
    EXPECT_EQ(Red(*saved, 2), 0x30);

    PressAlone(VK_MENU);
    EXPECT_TRUE(WaitForMenuMode(program.mainWindow())) << "Alt alone opens the menu bar";
    PressAlone(VK_ESCAPE);
    ::PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(10000));
}

TEST(ProgramEndToEnd, DeleteSaveSaveAsMergeClearAndNew) {
    testing::TempFolder folder;
    const std::string start = folder.File("start.eil");
    const std::string other = folder.File("other.eil");
    ASSERT_TRUE(testing::WriteBytes(
        start, WithGroupHeader(WriteImageListStream(testing::OneRedPerImage(16, 16, 6)), true)));
    ASSERT_TRUE(testing::WriteBytes(
        other, WithGroupHeader(WriteImageListStream(testing::OneRedPerImage(32, 32, 2)), true)));

    RemoteProgram program;
    ASSERT_TRUE(program.Start(L"\"" + std::wstring(WidePtr(ToWide(start))) + L"\""));
    HWND list = program.Child(WC_LISTVIEWW);
    ASSERT_EQ(program.ItemCount(list), 6);
    EXPECT_EQ(program.StatusText(0), "图标数：6");
    EXPECT_EQ(program.StatusText(3), start);

    // Delete images 1, 3 and 4, then save over the file it came from.
    ASSERT_TRUE(program.SelectItems(list, {1, 3, 4}));
    program.Command(CommandId(Command::Delete));
    program.Command(CommandId(Command::Save));
    Settle();
    ASSERT_EQ(program.ItemCount(list), 3);
    auto saved = Saved(start);
    ASSERT_TRUE(saved);
    ASSERT_EQ(saved->count, 3);
    EXPECT_EQ(Red(*saved, 0), 0x10);
    EXPECT_EQ(Red(*saved, 1), 0x30);
    EXPECT_EQ(Red(*saved, 2), 0x60);
    const Bytes afterDelete = ReadWholeFile(start);

    // Save as a copy: the same bytes under another name.
    program.Command(CommandId(Command::SaveAs));
    HWND saveAs = program.WaitForDialog("另存图片组");
    ASSERT_TRUE(saveAs);
    ChooseInFileDialog(saveAs, folder.File("copy.eil"));
    ASSERT_TRUE(WaitForFile(folder.File("copy.eil")));
    EXPECT_EQ(ReadWholeFile(folder.File("copy.eil")), afterDelete);
    EXPECT_EQ(program.StatusText(3), start) << "save as leaves the current file";

    // Merge the 32x32 group: two more images, scaled to 16x16.
    program.Command(CommandId(Command::Merge));
    HWND merge = program.WaitForDialog("合并图片组");
    ASSERT_TRUE(merge);
    ChooseInFileDialog(merge, other);
    ASSERT_TRUE(program.WaitForWindowGone(merge));
    Settle();
    EXPECT_EQ(program.ItemCount(list), 5);
    EXPECT_EQ(program.StatusText(0), "图标数：5");

    // Clear, answering the question with Yes.
    program.Command(CommandId(Command::Clear));
    HWND question = program.WaitForDialog("Iconvale");
    ASSERT_TRUE(question && question != program.mainWindow());
    ::PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    ASSERT_TRUE(program.WaitForWindowGone(question));
    EXPECT_EQ(program.ItemCount(list), 0);

    // Ctrl+N: the changes are declined, then a 24x20 group is made in the dialog.
    ::SetForegroundWindow(program.mainWindow());
    PressCtrl('N');
    HWND discard = program.WaitForDialog("Iconvale");
    ASSERT_TRUE(discard && discard != program.mainWindow());
    ::PostMessageW(discard, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    HWND newGroup = program.WaitForWindow("新建图片组");
    ASSERT_TRUE(newGroup);
    HWND widthBox = ::FindWindowExW(newGroup, nullptr, L"Edit", nullptr);
    HWND heightBox = ::FindWindowExW(newGroup, widthBox, L"Edit", nullptr);
    ::SendMessageW(widthBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"24"));
    ::SendMessageW(heightBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"20"));
    HWND ok = ::FindWindowExW(newGroup, nullptr, L"Button", WidePtr(ToWide("确定")));
    ASSERT_TRUE(ok);
    ::PostMessageW(ok, BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitForWindowGone(newGroup));
    Settle();
    EXPECT_EQ(program.StatusText(1), "宽度：24");
    EXPECT_EQ(program.StatusText(2), "高度：20");
    EXPECT_EQ(program.StatusText(3), "未命名图片组");

    program.Command(CommandId(Command::Save));
    HWND save = program.WaitForDialog("保存图片组");
    ASSERT_TRUE(save);
    ChooseInFileDialog(save, folder.File("fresh.eil"));
    ASSERT_TRUE(WaitForFile(folder.File("fresh.eil")));
    auto fresh = Saved(folder.File("fresh.eil"));
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->width, 24);
    EXPECT_EQ(fresh->height, 20);
    EXPECT_EQ(fresh->count, 0);
    EXPECT_EQ(fresh->bitsPerPixel, 24) << "the dialog's design depth";

    ::PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(10000)) << "a saved group closes without a question";
}

}  // namespace
}  // namespace iconvale
