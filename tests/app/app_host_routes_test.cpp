// Commands reached through the real main window and its host: what the list shows after them,
// the keys and menu items that reach them, the cursor while they work, and how they fail.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_host.h"
#include "app/platform_modal_ui.h"
#include "core/group_file.h"
#include "core/image_group.h"
#include "core/image_list_stream.h"
#include "imaging/image_formats.h"
#include "support/control_probes.h"
#include "support/dialog_driver.h"
#include "support/scripted_ui.h"
#include "support/stream_builders.h"
#include "support/temp_folder.h"
#include "support/test_pictures.h"
#include "support/windows.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::PumpMessages;

// Remembers which cursor was up whenever a message box came.
class CursorWatchingUi : public testing::ScriptedUi {
public:
    int Message(HWND owner, std::string_view text, std::string_view title, UINT style) override {
        cursors.push_back(::GetCursor());
        return ScriptedUi::Message(owner, text, title, style);
    }
    std::vector<HCURSOR> cursors;
};

class AppHostRoutesTest : public ::testing::Test {
protected:
    void Start(ModalUi& ui, const std::string& commandLine = "iconvale.exe") {
        testing::EnsurePictureLibrary();
        host_ = std::make_unique<AppHost>(program_, ui, AppHostOptions{commandLine, settings_});
        ASSERT_TRUE(host_->Start(::GetModuleHandleW(nullptr), SW_SHOWNORMAL));
        PumpMessages();
    }
    void StartWithGroup(int count) {
        ImageListData list = testing::PatternList({.width = 16, .height = 16, .count = count});
        const std::string path = folder_.File("group.eil");
        ASSERT_TRUE(testing::WriteBytes(path, WithGroupHeader(WriteImageListStream(list), true)));
        Start(ui_, "iconvale.exe \"" + path + "\"");
        ASSERT_EQ(program_.document().group().GetCount(), count);
    }
    HWND Main() { return host_->mainWindow().hwnd(); }
    HWND List() { return host_->mainWindow().iconList(); }
    void Run(Command command) {
        ::SendMessageW(Main(), WM_COMMAND, MAKEWPARAM(CommandId(command), 0), 0);
    }
    void Select(std::initializer_list<int> items) { testing::SelectItems(List(), items); }
    std::vector<std::string> Labels() { return testing::ItemLabels(List()); }
    Bytes Images() { return program_.document().group().SnapshotBytes(); }
    // A key as the message loop hands it over, with the modifiers held down.
    void Press(UINT key, std::initializer_list<BYTE> held) {
        BYTE keys[256] = {};
        for (BYTE modifier : held) keys[modifier] = 0x80;
        ::SetKeyboardState(keys);
        const bool alt = keys[VK_MENU] != 0;
        // Alt turns a key into a system key, with the context bit set.
        MSG message{List(), alt ? UINT{WM_SYSKEYDOWN} : UINT{WM_KEYDOWN},
                    key,    alt ? LPARAM{0x20000001} : LPARAM{1},
                    0,      {}};
        ::TranslateAcceleratorW(Main(), host_->mainWindow().accelerators(), &message);
        keys[VK_MENU] = keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        ::SetKeyboardState(keys);
    }
    bool Greyed(Command command) {
        return (::GetMenuState(host_->mainWindow().menuBar(), CommandId(command), MF_BYCOMMAND) &
                MF_GRAYED) != 0;
    }

    testing::TempFolder folder_;
    std::string settings_ = folder_.File("seting.ini");
    ProgramObjects program_;
    CursorWatchingUi ui_;
    std::unique_ptr<AppHost> host_;
};

TEST_F(AppHostRoutesTest, DeleteRelabelsByPositionAndDelTakesTheWholeSelectionOnce) {
    StartWithGroup(5);
    Select({0});
    Run(Command::Delete);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"0", "1", "2", "3"}));

    // Del as the loop hands it over: the accelerator turns it into one Delete.
    Select({1, 3});
    MSG del{List(), WM_KEYDOWN, VK_DELETE, 1, 0, {}};
    ASSERT_TRUE(::TranslateAcceleratorW(Main(), host_->mainWindow().accelerators(), &del));
    EXPECT_EQ(program_.document().group().GetCount(), 2);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"0", "1"}));
    EXPECT_TRUE(ui_.messages.empty()) << ui_.messages.front().text;
}

TEST_F(AppHostRoutesTest, EditKeysMoveUndoAndRedoWhileTheMenuGreysWithTheHistory) {
    StartWithGroup(3);
    const Bytes opened = Images();
    EXPECT_TRUE(Greyed(Command::Undo) && Greyed(Command::Redo));
    Press('Z', {VK_CONTROL});
    EXPECT_EQ(Images(), opened) << "a greyed item's key runs nothing";

    Select({2});
    Press(VK_UP, {VK_MENU});
    const Bytes movedUp = Images();
    EXPECT_NE(movedUp, opened);
    EXPECT_EQ(host_->mainWindow().SelectedIndices(), std::vector<int>{1});
    EXPECT_FALSE(Greyed(Command::Undo));
    Press(VK_DOWN, {VK_MENU});
    EXPECT_EQ(host_->mainWindow().SelectedIndices(), std::vector<int>{2});

    Press('Z', {VK_CONTROL});
    EXPECT_EQ(Images(), movedUp);
    Press('Z', {VK_CONTROL});
    EXPECT_EQ(Images(), opened);
    EXPECT_FALSE(program_.document().modified());
    EXPECT_TRUE(Greyed(Command::Undo));
    EXPECT_FALSE(Greyed(Command::Redo));
    Press('Y', {VK_CONTROL});
    EXPECT_EQ(Images(), movedUp);
    Press('Z', {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(Images(), opened) << "moved up and down again";
    EXPECT_TRUE(program_.document().modified());
    EXPECT_TRUE(Greyed(Command::Redo));
    EXPECT_EQ(Labels(), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(AppHostRoutesTest, DraggingTwoItemsMovesThemAsOneBlockThatStaysSelected) {
    StartWithGroup(5);
    const Bytes opened = Images();
    Select({0, 1});
    NMLISTVIEW begin{};
    begin.hdr = {List(), static_cast<UINT_PTR>(::GetDlgCtrlID(List())),
                 static_cast<UINT>(LVN_BEGINDRAG)};
    begin.iItem = 1;
    ::SendMessageW(Main(), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
    RECT item{LVIR_ICON, 0, 0, 0};
    ::SendMessageW(List(), LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
    const LPARAM over = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ::SendMessageW(List(), WM_MOUSEMOVE, MK_LBUTTON, over);
    ::SendMessageW(List(), WM_LBUTTONUP, 0, over);

    const int order[] = {2, 3, 0, 1, 4};
    ImageGroup original;
    ASSERT_TRUE(original.RestoreFromBytes(opened));
    EXPECT_EQ(Images(), original.SnapshotBytes(order));
    EXPECT_EQ(host_->mainWindow().SelectedIndices(), (std::vector<int>{2, 3}));
    EXPECT_EQ(::GetCapture(), nullptr);
    Run(Command::Undo);
    EXPECT_EQ(Images(), opened);
}

TEST_F(AppHostRoutesTest, EscClosesNothing) {
    StartWithGroup(1);
    for (HWND target : {List(), Main()}) {
        ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1);
        ::PostMessageW(target, WM_CHAR, VK_ESCAPE, 1);
    }
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (::TranslateAcceleratorW(Main(), host_->mainWindow().accelerators(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    EXPECT_TRUE(::IsWindowVisible(Main()));
    EXPECT_TRUE(program_.document().group().IsCreated());
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(AppHostRoutesTest, SettingsAndAboutFromTheMenuBarShowTheirDialogs) {
    PlatformModalUi platform;
    Start(platform);
    HMENU options = ::GetSubMenu(host_->mainWindow().menuBar(), 2);
    HMENU help = ::GetSubMenu(host_->mainWindow().menuBar(), 3);
    const UINT settings = ::GetMenuItemID(options, 1);
    const UINT about = ::GetMenuItemID(help, 0);
    // Each owner starts from the value the check would reject, so a dialog that never showed fails.
    const auto ownerOf = [&](const char* title, UINT command, HWND unlessShown) {
        HWND owner = unlessShown;
        testing::RunModal(
            title,
            [&](HWND dialog) {
                owner = ::GetWindow(dialog, GW_OWNER);
                ::SendMessageW(dialog, WM_CLOSE, 0, 0);
            },
            [&] { ::SendMessageW(Main(), WM_COMMAND, MAKEWPARAM(command, 0), 0); });
        return owner;
    };
    EXPECT_EQ(ownerOf("设置", settings, Main()), nullptr);
    EXPECT_EQ(ownerOf("关于", about, nullptr), Main());
}

HCURSOR cursorWhileListed = nullptr;
WNDPROC listProcedure = nullptr;

LRESULT CALLBACK WatchListCursor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LVM_INSERTITEMW) cursorWhileListed = ::GetCursor();
    return ::CallWindowProcW(listProcedure, window, message, wParam, lParam);
}

TEST_F(AppHostRoutesTest, WaitCursorShowsWhileAddAndExtractWorkAndTheOldOneComesBack) {
    StartWithGroup(2);
    const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
    const HCURSOR before = ::LoadCursorW(nullptr, IDC_CROSS);
    const std::string picture = folder_.File("red.png");
    ASSERT_TRUE(testing::WritePicture(
        picture, 16, 16, [](int, int) { return 0xFFFF0000u; }, kPngFormat));
    const std::string notPicture = folder_.File("text.png");
    ASSERT_TRUE(testing::WriteBytes(notPicture, Bytes{'n', 'o'}));
    listProcedure = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchListCursor)));

    // Added: the list is rebuilt under the wait cursor, which then goes.
    ::SetCursor(before);
    ui_.files.push_back(FileChoice{picture, 5});
    Run(Command::Add);
    EXPECT_EQ(cursorWhileListed, wait);
    EXPECT_EQ(::GetCursor(), before);
    // Refused: the cursor is back before the message; cancelled: it never changed.
    ::SetCursor(before);
    ui_.files.push_back(FileChoice{notPicture, 5});
    Run(Command::Add);
    ::SetCursor(before);
    Run(Command::Add);
    EXPECT_EQ(::GetCursor(), before);

    // Extraction into a folder that is not there: the failure is told under the wait cursor,
    // the end after it.
    Select({0, 1});
    ::SetCursor(before);
    ui_.extractionChoices.push_back(ExtractionChoice{folder_.File("missing"), kPngFormat});
    Run(Command::Extract);
    EXPECT_EQ(::GetCursor(), before);
    ::SetWindowLongPtrW(List(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProcedure));

    EXPECT_EQ(ui_.MessageTexts(),
              (std::vector<std::string>{"添加失败！", "提取图标失败！", "提取图标完毕！"}));
    EXPECT_EQ(ui_.cursors, (std::vector<HCURSOR>{before, wait, before}));
}

TEST_F(AppHostRoutesTest, AFailedSaveInTheSaveChangesCheckStopsTheCommand) {
    StartWithGroup(2);
    const std::wstring file = WidePtr(ToWide(folder_.File("group.eil")));
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    program_.document().Change([](ImageGroup&) { return true; });
    ui_.answers = {IDYES, IDYES};
    Run(Command::Open);
    EXPECT_TRUE(ui_.fileDialogs.empty()) << "Open stops before its dialog";
    ::SendMessageW(Main(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(Main())) << "the window stays open";

    ASSERT_EQ(ui_.messages.size(), 4u);
    for (int i : {1, 3}) {
        EXPECT_EQ(ui_.messages[i].text, "保存失败！");
        EXPECT_EQ(ui_.messages[i].title, "信息：");
        EXPECT_EQ(ui_.messages[i].style, static_cast<UINT>(MB_ICONERROR));
    }
    EXPECT_EQ(program_.document().group().GetCount(), 2);
    EXPECT_TRUE(program_.document().modified());
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(AppHostRoutesTest, MergeStoppedPartWayKeepsWhatItAddedAndRefreshes) {
    // Room for two more images before the group is full; the merged file has three.
    StartWithGroup(kMaxGroupCount - 2);
    ImageListData other = testing::PatternList({.width = 16, .height = 16, .count = 3});
    const std::string otherPath = folder_.File("other.eil");
    ASSERT_TRUE(testing::WriteBytes(otherPath, WithGroupHeader(WriteImageListStream(other), true)));
    ui_.files.push_back(FileChoice{otherPath, 1});
    Run(Command::Merge);
    EXPECT_EQ(ui_.MessageTexts(), (std::vector<std::string>{"合并图片组失败！"}));
    EXPECT_EQ(program_.document().group().GetCount(), kMaxGroupCount);
    EXPECT_EQ(testing::ItemCount(List()), kMaxGroupCount);
    EXPECT_TRUE(program_.document().modified());
}

}  // namespace
}  // namespace iconvale
