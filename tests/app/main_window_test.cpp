#include "app/main_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>

#include "app/main_toolbar.h"
#include "support/control_probes.h"
#include "support/test_icons.h"
#include "support/windows.h"
#include "ui/text.h"

namespace iconvale {
namespace {

using testing::ChildRect;
using testing::PumpMessages;
using testing::WindowRectOf;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes{sizeof classes, 0xFFFF};
        ::InitCommonControlsEx(&classes);
        for (UINT id = kFirstCommand; id < kFirstCommand + kCommandCount; ++id) {
            window_.SetCommandHandler(static_cast<Command>(id), [this, id] { ran_.push_back(id); });
        }
        MainWindow::Events events;
        events.itemsDropped = [this](const std::vector<int>& selected, int gap) {
            drops_.emplace_back(selected, gap);
        };
        ASSERT_TRUE(window_.Create(::GetModuleHandleW(nullptr), std::move(events)));
        window_.LoadToolbarImages();
        window_.Show(SW_SHOWNORMAL);
        PumpMessages();
    }

    std::string PaneText(int pane) { return testing::PaneText(window_.statusBar(), pane); }

    std::string MenuText(HMENU menu, int position) {
        wchar_t text[256] = {};
        ::GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
        return ToNarrow(std::wstring_view(text));
    }

    ImageGroup group_;
    MainWindow window_{group_};
    std::vector<UINT> ran_;
    std::vector<std::pair<std::vector<int>, int>> drops_;
};

TEST_F(MainWindowTest, OuterSizeIsTheDesignsAndTheWindowIsCentred) {
    RECT r = WindowRectOf(window_.hwnd());
    EXPECT_EQ(r.right - r.left, 604);
    EXPECT_EQ(r.bottom - r.top, 415);
    EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - 604) / 2);
    EXPECT_EQ(r.top, (::GetSystemMetrics(SM_CYSCREEN) - 415) / 2);
    EXPECT_EQ(testing::WindowText(window_.hwnd()), "Iconvale");
    LONG style = ::GetWindowLongW(window_.hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_SYSMENU);
}

TEST_F(MainWindowTest, ControlsSitAtTheirDesignedPlaces) {
    RECT toolbar = ChildRect(window_.toolbar());
    EXPECT_EQ(toolbar.left, 0);
    EXPECT_EQ(toolbar.top, 0);
    EXPECT_EQ(toolbar.right - toolbar.left, 598);
    EXPECT_EQ(toolbar.bottom - toolbar.top, 28);
    RECT link = ChildRect(window_.linkLabel());
    EXPECT_EQ(link.left, 416);
    EXPECT_EQ(link.top, 0);
    EXPECT_EQ(link.right - link.left, 152);
    EXPECT_EQ(link.bottom - link.top, 24);

    RECT client{};
    ::GetClientRect(window_.hwnd(), &client);
    RECT status = ChildRect(window_.statusBar());
    EXPECT_EQ(status.bottom, client.bottom);
    RECT list = ChildRect(window_.iconList());
    EXPECT_EQ(list.left, 0);
    EXPECT_EQ(list.top, 28);
    EXPECT_EQ(list.right, client.right);
    EXPECT_EQ(list.bottom, status.top);

    LONG listStyle = ::GetWindowLongW(window_.iconList(), GWL_STYLE);
    EXPECT_EQ(listStyle & LVS_TYPEMASK, LVS_ICON);
    EXPECT_TRUE(listStyle & LVS_AUTOARRANGE);
    EXPECT_FALSE(listStyle & (LVS_SINGLESEL | LVS_EDITLABELS | LVS_NOLABELWRAP | LVS_SORTASCENDING |
                              LVS_SORTDESCENDING));
}

TEST_F(MainWindowTest, ResizingStretchesTheListAndLeavesTheLinkLabel) {
    ::SetWindowPos(window_.hwnd(), nullptr, 0, 0, 900, 700, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    RECT client{};
    ::GetClientRect(window_.hwnd(), &client);
    RECT list = ChildRect(window_.iconList());
    RECT status = ChildRect(window_.statusBar());
    EXPECT_EQ(list.right - list.left, client.right);
    EXPECT_EQ(list.bottom, status.top);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(ChildRect(window_.linkLabel()).left, 416);
}

TEST_F(MainWindowTest, MenuBarHasEveryItemWithItsShortcut) {
    HMENU bar = window_.menuBar();
    ASSERT_EQ(::GetMenuItemCount(bar), 5);
    const std::vector<std::vector<std::string>> expected = {
        {"新建(&N)\tCtrl+N", "打开(&O)\tCtrl+O", "保存(&S)\tCtrl+S", "", "另存为", "导入(&I)…",
         "导出(&X)…", "写回表单(&W)", "", "退出"},
        {"添加图标(&A)", "替换图标(&R)", "", "删除(&D)\tDel", "清空(&C)", "", "合并图片组(&M)",
         "提取图标(&E)", "", "撤销(&U)\tCtrl+Z", "重做(&Y)\tCtrl+Y", "上移\tAlt+Up",
         "下移\tAlt+Down", "", "复制(&O)\tCtrl+C", "粘贴(&P)\tCtrl+V"},
        {"自动分割(&A)", "设置(&S)"},
        {"关于(&O)"},
        {"实际大小(&1)\tCtrl+1", "两倍(&2)\tCtrl+2", "四倍(&4)\tCtrl+4", "", "放大(&I)\tCtrl++",
         "缩小(&O)\tCtrl+-", "", "透明处显示棋盘格", "语言 / Language (&L)"},
    };
    const char* titles[] = {"文件(&F)", "编辑(&E)", "选项(&O)", "帮助(&H)", "视图(&V)"};
    for (int m = 0; m < 5; ++m) {
        EXPECT_EQ(MenuText(bar, m), titles[m]);
        HMENU popup = ::GetSubMenu(bar, m);
        ASSERT_EQ(::GetMenuItemCount(popup), static_cast<int>(expected[m].size())) << m;
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
            EXPECT_EQ(MenuText(popup, i), expected[m][i]) << m << "," << i;
            UINT state = ::GetMenuState(popup, i, MF_BYPOSITION);
            if (expected[m][i].empty()) {
                EXPECT_TRUE(state & MF_SEPARATOR);
            } else if (m == 1 && (i == 9 || i == 10)) {
                EXPECT_TRUE(state & MF_GRAYED) << "nothing to undo or redo yet";
            } else {
                EXPECT_FALSE(state & (MF_GRAYED | MF_DISABLED)) << expected[m][i];
            }
        }
    }
}

TEST_F(MainWindowTest, MenuItemsReachTheirCommands) {
    for (UINT id = kFirstCommand; id < kFirstCommand + kCommandCount; ++id) {
        ::SendMessageW(window_.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
    ASSERT_EQ(ran_.size(), kCommandCount);
    for (UINT i = 0; i < kCommandCount; ++i) EXPECT_EQ(ran_[i], kFirstCommand + i);
}

TEST_F(MainWindowTest, ShortcutKeysReachTheirCommands) {
    auto press = [&](UINT key, bool control) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = control ? 0x80 : 0;
        ::SetKeyboardState(keys);
        MSG message{window_.hwnd(), WM_KEYDOWN, key, 1, 0, {}};
        BOOL translated = ::TranslateAcceleratorW(window_.hwnd(), window_.accelerators(), &message);
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
        return translated;
    };
    EXPECT_TRUE(press('N', true));
    EXPECT_TRUE(press('O', true));
    EXPECT_TRUE(press('S', true));
    EXPECT_TRUE(press(VK_DELETE, false));
    EXPECT_FALSE(press('N', false));
    EXPECT_EQ(ran_, (std::vector<UINT>{CommandId(Command::New), CommandId(Command::Open),
                                       CommandId(Command::Save), CommandId(Command::Delete)}));
}

TEST_F(MainWindowTest, EditKeysReachTheirCommandsWhileTheirItemsAreEnabled) {
    auto press = [&](UINT key, std::initializer_list<BYTE> held) {
        BYTE keys[256] = {};
        for (BYTE modifier : held) keys[modifier] = 0x80;
        ::SetKeyboardState(keys);
        const bool alt = keys[VK_MENU] != 0;
        MSG message{window_.hwnd(),
                    alt ? UINT{WM_SYSKEYDOWN} : UINT{WM_KEYDOWN},
                    key,
                    alt ? LPARAM{0x20000001} : LPARAM{1},
                    0,
                    {}};
        BOOL translated = ::TranslateAcceleratorW(window_.hwnd(), window_.accelerators(), &message);
        keys[VK_MENU] = keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        ::SetKeyboardState(keys);
        return translated;
    };
    window_.ShowUndoState(true, true);
    EXPECT_TRUE(press('Z', {VK_CONTROL}));
    EXPECT_TRUE(press('Y', {VK_CONTROL}));
    EXPECT_TRUE(press('Z', {VK_CONTROL, VK_SHIFT}));
    EXPECT_TRUE(press(VK_UP, {VK_MENU}));
    EXPECT_TRUE(press(VK_DOWN, {VK_MENU}));
    EXPECT_FALSE(press(VK_UP, {}));
    EXPECT_EQ(ran_, (std::vector<UINT>{CommandId(Command::Undo), CommandId(Command::Redo),
                                       CommandId(Command::Redo), CommandId(Command::MoveUp),
                                       CommandId(Command::MoveDown)}));
    ran_.clear();
    window_.ShowUndoState(false, false);
    press('Z', {VK_CONTROL});
    press('Y', {VK_CONTROL});
    EXPECT_TRUE(ran_.empty()) << "greyed items take no keys";
}

TEST_F(MainWindowTest, ViewKeysAndTheWheelOverTheListReachTheZoomCommands) {
    auto press = [&](UINT key, bool shift) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(keys);
        MSG message{window_.hwnd(), WM_KEYDOWN, key, 1, 0, {}};
        BOOL translated = ::TranslateAcceleratorW(window_.hwnd(), window_.accelerators(), &message);
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        ::SetKeyboardState(keys);
        return translated;
    };
    for (UINT key : {UINT{'1'}, UINT{'2'}, UINT{'4'}}) EXPECT_TRUE(press(key, false));
    EXPECT_TRUE(press(VK_OEM_PLUS, true));   // Ctrl+Plus
    EXPECT_TRUE(press(VK_OEM_PLUS, false));  // Ctrl+=
    EXPECT_TRUE(press(VK_ADD, false));
    EXPECT_TRUE(press(VK_OEM_MINUS, false));
    EXPECT_TRUE(press(VK_SUBTRACT, false));
    const UINT in = CommandId(Command::ZoomIn), out = CommandId(Command::ZoomOut);
    EXPECT_EQ(ran_,
              (std::vector<UINT>{CommandId(Command::ZoomActual), CommandId(Command::ZoomDouble),
                                 CommandId(Command::ZoomQuadruple), in, in, in, out, out}));

    ran_.clear();
    RECT list{};
    ::GetWindowRect(window_.iconList(), &list);
    const LPARAM over = MAKELPARAM(list.left + 5, list.top + 5);
    ::SendMessageW(window_.iconList(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 2 * WHEEL_DELTA),
                   over);
    ::SendMessageW(window_.iconList(), WM_MOUSEWHEEL,
                   MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA / 2)), over);
    ::SendMessageW(window_.iconList(), WM_MOUSEWHEEL,
                   MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-WHEEL_DELTA / 2)), over);
    ::SendMessageW(window_.iconList(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), over);
    ::SendMessageW(window_.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), over);
    EXPECT_EQ(ran_, (std::vector<UINT>{in, in, out, in}))
        << "half notches add up; no Ctrl, no zoom";
}

TEST_F(MainWindowTest, ToolbarRoutesByPositionAndSeparatorsRunNothing) {
    ASSERT_EQ(::SendMessageW(window_.toolbar(), TB_BUTTONCOUNT, 0, 0), kToolbarEntryCount);
    for (int position = 0; position < kToolbarEntryCount; ++position) {
        TBBUTTON button{};
        ::SendMessageW(window_.toolbar(), TB_GETBUTTON, position,
                       reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.fsStyle & BTNS_SEP,
                  (position == 2 || position == 4 || position == 7) ? BTNS_SEP : 0);
        ::SendMessageW(window_.hwnd(), WM_COMMAND, MAKEWPARAM(button.idCommand, BN_CLICKED),
                       reinterpret_cast<LPARAM>(window_.toolbar()));
    }
    window_.RunToolbarPosition(9);
    window_.RunToolbarPosition(-1);
    EXPECT_EQ(ran_, (std::vector<UINT>{CommandId(Command::New), CommandId(Command::Open),
                                       CommandId(Command::Save), CommandId(Command::Add),
                                       CommandId(Command::Replace), CommandId(Command::Delete)}));
    EXPECT_EQ(ToNarrow(std::wstring_view(ToolbarTip(kToolbarIdBase + 0))), "新建图片组");
    EXPECT_EQ(ToNarrow(std::wstring_view(ToolbarTip(kToolbarIdBase + 8))), "删除图片");
    EXPECT_EQ(ToolbarTip(kToolbarIdBase + 2), nullptr);
}

TEST_F(MainWindowTest, StatusBarShowsDesignTextsThenTheGroup) {
    EXPECT_EQ(::SendMessageW(window_.statusBar(), SB_GETPARTS, 0, 0), 4);
    int edges[4] = {};
    ::SendMessageW(window_.statusBar(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[0], 80);
    EXPECT_EQ(edges[1], 150);
    EXPECT_EQ(edges[2], 220);
    EXPECT_EQ(PaneText(0), "图标数：");
    EXPECT_EQ(PaneText(1), "宽度：");
    EXPECT_EQ(PaneText(2), "高度：");
    EXPECT_EQ(PaneText(3), "");

    ASSERT_TRUE(group_.Create(24, 20));
    for (int i = 0; i < 3; ++i) group_.AddIcon(testing::SolidIcon(24, 20, 0x00FF00).get());
    window_.UpdateStatusBar("C:\\图标\\a.eil");
    EXPECT_EQ(PaneText(0), "图标数：3");
    EXPECT_EQ(PaneText(1), "宽度：24");
    EXPECT_EQ(PaneText(2), "高度：20");
    EXPECT_EQ(PaneText(3), "C:\\图标\\a.eil");
    group_.Destroy();
    window_.UpdateStatusBar("");
    EXPECT_EQ(PaneText(0), "图标数：0");
}

TEST_F(MainWindowTest, TheLinkLabelLinksTheSiteAndTheCountPaneHasItsTip) {
    LITEM link{};
    link.mask = LIF_ITEMINDEX | LIF_URL;
    ASSERT_TRUE(
        ::SendMessageW(window_.linkLabel(), LM_GETITEM, 0, reinterpret_cast<LPARAM>(&link)));
    EXPECT_EQ(std::wstring(link.szUrl), L"https://iconvale.example/");
    wchar_t tip[16] = {};
    ::SendMessageW(window_.statusBar(), SB_GETTIPTEXTW, MAKEWPARAM(0, 16),
                   reinterpret_cast<LPARAM>(tip));
    EXPECT_EQ(std::wstring(tip), L"图标数");
}

TEST_F(MainWindowTest, RebuildLabelsItemsByPositionAndSelectionsReadBack) {
    ASSERT_TRUE(group_.Create(16, 16));
    for (int i = 0; i < 5; ++i) group_.AddIcon(testing::SolidIcon(16, 16, 0x102030 * i).get());
    window_.AttachImages(group_.GetHandle());
    window_.RebuildIconList();
    ASSERT_EQ(testing::ItemCount(window_.iconList()), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(testing::ItemText(window_.iconList(), i), std::to_string(i));
    EXPECT_EQ(window_.SelectedIndices(), std::vector<int>{});
    EXPECT_EQ(window_.FirstSelectedIndex(), -1);
    testing::SelectItems(window_.iconList(), {3, 1});
    EXPECT_EQ(window_.SelectedIndices(), (std::vector<int>{1, 3}));
    EXPECT_EQ(window_.FirstSelectedIndex(), 1);

    group_.Remove(0);
    window_.RebuildIconList();
    EXPECT_EQ(testing::ItemCount(window_.iconList()), 4);
    window_.AttachImages(nullptr);
}

HMENU shownMenu = nullptr;
RECT shownAt{};

// The popup runs its own loop; this timer, run inside it, looks at the menu window and closes it.
void CALLBACK InspectPopup(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND popup = ::FindWindowW(L"#32768", nullptr)) {
        shownMenu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
        ::GetWindowRect(popup, &shownAt);
    }
    ::EndMenu();
}

TEST_F(MainWindowTest, RightClickPopsUpTheEditMenuAtTheCursor) {
    shownMenu = nullptr;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 200, InspectPopup);
    ::SetCursorPos(300, 300);
    NMHDR click{window_.iconList(), 3001, static_cast<UINT>(NM_RCLICK)};
    ::SendMessageW(window_.hwnd(), WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(shownMenu, ::GetSubMenu(window_.menuBar(), 1));
    POINT cursor{};
    ::GetCursorPos(&cursor);
    EXPECT_LE(std::abs(shownAt.left - cursor.x), 2);
    EXPECT_LE(std::abs(shownAt.top - cursor.y), 2);
    EXPECT_TRUE(ran_.empty()) << "closing the popup runs nothing";
}

char popupKey = 0;

// Chooses an item of the open popup by its mnemonic, from inside the popup's own loop.
void CALLBACK ChooseInPopup(HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND popup = ::FindWindowW(L"#32768", nullptr)) {
        ::KillTimer(nullptr, timer);
        ::PostMessageW(popup, WM_CHAR, static_cast<WPARAM>(popupKey), 0);
    }
}

TEST_F(MainWindowTest, EachPopUpItemRunsItsCommand) {
    window_.ShowUndoState(true, true);
    const std::vector<std::pair<char, Command>> items = {
        {'a', Command::Add},   {'r', Command::Replace}, {'d', Command::Delete},
        {'c', Command::Clear}, {'m', Command::Merge},   {'e', Command::Extract},
        {'u', Command::Undo},  {'y', Command::Redo}};
    for (const auto& [key, command] : items) {
        ran_.clear();
        popupKey = key;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 100, ChooseInPopup);
        NMHDR click{window_.iconList(), 3001, static_cast<UINT>(NM_RCLICK)};
        ::SendMessageW(window_.hwnd(), WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
        ::KillTimer(nullptr, timer);
        EXPECT_EQ(ran_, std::vector<UINT>{CommandId(command)}) << key;
    }
}

TEST_F(MainWindowTest, ADraggedSelectionDropsAtTheItemUnderTheMouseOrNowhere) {
    ASSERT_TRUE(group_.Create(16, 16));
    for (int i = 0; i < 6; ++i) group_.AddIcon(testing::SolidIcon(16, 16, 0x102030 * i).get());
    window_.AttachImages(group_.GetHandle());
    window_.RebuildIconList();
    HWND list = window_.iconList();
    auto at = [&](int item) {
        RECT r{LVIR_ICON, 0, 0, 0};
        ::SendMessageW(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r));
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    auto marked = [&](int item) {
        return ::SendMessageW(list, LVM_GETITEMSTATE, item, LVIS_DROPHILITED) != 0;
    };
    auto drag = [&](const std::vector<int>& selected, const std::function<void()>& finish) {
        testing::SelectOnly(list, selected);
        NMLISTVIEW begin{};
        begin.hdr = {list, 3001, static_cast<UINT>(LVN_BEGINDRAG)};
        begin.iItem = selected.front();
        ::SendMessageW(window_.hwnd(), WM_NOTIFY, 3001, reinterpret_cast<LPARAM>(&begin));
        EXPECT_EQ(::GetCapture(), list);
        finish();
        EXPECT_NE(::GetCapture(), list);
    };
    drag({1, 2}, [&] {
        ::SendMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, at(3));
        EXPECT_TRUE(marked(3));
        ::SendMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, at(2));
        EXPECT_FALSE(marked(3) || marked(2)) << "the selection is no place to drop it";
        ::SendMessageW(list, WM_MOUSEMOVE, MK_LBUTTON, at(4));
        EXPECT_TRUE(marked(4));
        ::SendMessageW(list, WM_LBUTTONUP, 0, at(4));
        EXPECT_FALSE(marked(4));
    });
    drag({3, 4}, [&] { ::SendMessageW(list, WM_KEYDOWN, VK_ESCAPE, 1); });
    drag({3, 4}, [&] { ::SendMessageW(list, WM_LBUTTONUP, 0, at(4)); });
    drag({3, 4}, [&] { ::SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(440, 230)); });
    drag({3, 4}, [&] { ::ReleaseCapture(); });
    drag({3, 5}, [&] { ::SendMessageW(list, WM_LBUTTONUP, 0, at(0)); });
    const std::vector<std::pair<std::vector<int>, int>> expected = {{{1, 2}, 5}, {{3, 5}, 0}};
    EXPECT_EQ(drops_, expected) << "after the drop below, only the one before the selection";
    window_.AttachImages(nullptr);
}

TEST_F(MainWindowTest, AutoSegmentMarkFollowsWhatIsSet) {
    EXPECT_FALSE(window_.AutoSegmentMarked());
    window_.SetAutoSegmentMark(true);
    EXPECT_TRUE(window_.AutoSegmentMarked());
    window_.SetAutoSegmentMark(false);
    EXPECT_FALSE(window_.AutoSegmentMarked());
}

}  // namespace
}  // namespace iconvale
