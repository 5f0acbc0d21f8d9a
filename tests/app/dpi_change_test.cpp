// A move to a monitor of another scale: the main window and the dialogs lay themselves out for
// 144 DPI from their design, and back at 96 DPI end exactly where they began.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/platform_modal_ui.h"
#include "support/dialog_driver.h"
#include "support/test_icons.h"
#include "support/windows.h"
#include "ui/dpi.h"

namespace iconvale {
namespace {

using testing::ChildRect;
using testing::PlaceOf;
using testing::WindowRectOf;

LONG FontHeight(HWND control) {
    LOGFONTW face{};
    auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0));
    return font && ::GetObjectW(font, sizeof face, &face) ? face.lfHeight : 0;
}

void ChangeDpi(HWND window, UINT dpi, RECT suggested) {
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
}

RECT Enlarged(RECT r, UINT dpi) {
    return {r.left, r.top, r.left + ScaleToDpi(r.right - r.left, dpi),
            r.top + ScaleToDpi(r.bottom - r.top, dpi)};
}

std::array<int, 4> Scaled(std::array<int, 4> place, UINT dpi) {
    for (int& v : place) v = ScaleToDpi(v, dpi);
    return place;
}

// Everything of the main window that the DPI decides.
struct MainGeometry {
    RECT outer, toolbar, link, list, status, client;
    int edges[4];
    LRESULT buttonSize;
    LONG fonts[3];
};

MainGeometry Measure(const MainWindow& window) {
    MainGeometry g{};
    g.outer = WindowRectOf(window.hwnd());
    g.toolbar = ChildRect(window.toolbar());
    g.link = ChildRect(window.linkLabel());
    g.list = ChildRect(window.iconList());
    g.status = ChildRect(window.statusBar());
    ::GetClientRect(window.hwnd(), &g.client);
    ::SendMessageW(window.statusBar(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(g.edges));
    g.buttonSize = ::SendMessageW(window.toolbar(), TB_GETBUTTONSIZE, 0, 0);
    g.fonts[0] = FontHeight(window.linkLabel());
    g.fonts[1] = FontHeight(window.statusBar());
    g.fonts[2] = FontHeight(window.iconList());
    return g;
}

void ExpectSame(const MainGeometry& a, const MainGeometry& b) {
    EXPECT_TRUE(::EqualRect(&a.outer, &b.outer));
    EXPECT_TRUE(::EqualRect(&a.toolbar, &b.toolbar));
    EXPECT_TRUE(::EqualRect(&a.link, &b.link));
    EXPECT_TRUE(::EqualRect(&a.list, &b.list));
    EXPECT_TRUE(::EqualRect(&a.status, &b.status));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(a.edges[i], b.edges[i]) << i;
    EXPECT_EQ(a.buttonSize, b.buttonSize);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(a.fonts[i], b.fonts[i]) << i;
}

TEST(DpiChange, MainWindowScalesEveryDesignedPartAndComesBack) {
    INITCOMMONCONTROLSEX classes{sizeof classes, 0xFFFF};
    ::InitCommonControlsEx(&classes);
    ImageGroup group;
    MainWindow window(group);
    ASSERT_TRUE(window.Create(::GetModuleHandleW(nullptr), {}));
    window.LoadToolbarImages();
    window.Show(SW_SHOWNORMAL);
    testing::PumpMessages();
    ASSERT_EQ(window.dpi(), kDesignDpi) << "the suite runs at 96 DPI";
    const MainGeometry design = Measure(window);
    ASSERT_NE(design.fonts[0], 0);

    ChangeDpi(window.hwnd(), 144, Enlarged(design.outer, 144));
    testing::PumpMessages();
    const MainGeometry large = Measure(window);
    RECT expectedOuter = Enlarged(design.outer, 144);
    EXPECT_TRUE(::EqualRect(&large.outer, &expectedOuter));
    EXPECT_EQ(PlaceOf(window.toolbar()), (std::array<int, 4>{0, 0, 897, 42}));
    EXPECT_EQ(PlaceOf(window.linkLabel()), (std::array<int, 4>{624, 0, 228, 36}));
    EXPECT_EQ(large.edges[0], 120);
    EXPECT_EQ(large.edges[1], 225);
    EXPECT_EQ(large.edges[2], 330);
    EXPECT_EQ(LOWORD(large.buttonSize), ScaleToDpi(23, 144));
    EXPECT_EQ(HIWORD(large.buttonSize), 33);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(large.fonts[i], ScaleToDpi(design.fonts[i], 144)) << i;
    EXPECT_EQ(large.list.top, 42) << "the list starts below the taller toolbar";
    EXPECT_EQ(large.list.right, large.client.right);
    EXPECT_EQ(large.list.bottom, large.status.top);
    EXPECT_EQ(large.status.bottom, large.client.bottom);
    EXPECT_GT(large.status.bottom - large.status.top, design.status.bottom - design.status.top);

    ChangeDpi(window.hwnd(), 96, design.outer);
    testing::PumpMessages();
    ExpectSame(Measure(window), design);
}

// Each direct child's place and font, and the frame, at 144 DPI and back at 96.
void ExpectDialogScales(HWND dialog, int designWidth, int designHeight) {
    std::vector<HWND> children;
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        children.push_back(c);
    }
    ASSERT_FALSE(children.empty());
    std::vector<std::array<int, 4>> places;
    std::vector<LONG> fonts;
    for (HWND c : children) {
        places.push_back(PlaceOf(c));
        fonts.push_back(FontHeight(c));
    }
    const RECT outer = WindowRectOf(dialog);

    ChangeDpi(dialog, 144, Enlarged(outer, 144));
    RECT large = WindowRectOf(dialog);
    EXPECT_EQ(large.right - large.left, ScaleToDpi(designWidth, 144));
    EXPECT_EQ(large.bottom - large.top, ScaleToDpi(designHeight, 144));
    for (std::size_t i = 0; i < children.size(); ++i) {
        const std::string name = testing::ClassOf(children[i]) + " " + testing::TextOf(children[i]);
        std::array<int, 4> expected = Scaled(places[i], 144);
        std::array<int, 4> now = PlaceOf(children[i]);
        // A closed drop-down list takes the height of its field, which follows the font.
        if (testing::ClassOf(children[i]) == "ComboBox") expected[3] = now[3];
        EXPECT_EQ(now, expected) << name;
        EXPECT_EQ(FontHeight(children[i]), ScaleToDpi(fonts[i], 144)) << name;
    }

    ChangeDpi(dialog, 96, outer);
    RECT back = WindowRectOf(dialog);
    EXPECT_TRUE(::EqualRect(&back, &outer));
    for (std::size_t i = 0; i < children.size(); ++i) {
        EXPECT_EQ(PlaceOf(children[i]), places[i]) << testing::ClassOf(children[i]);
        EXPECT_EQ(FontHeight(children[i]), fonts[i]);
    }
    ::SendMessageW(dialog, WM_CLOSE, 0, 0);
}

TEST(DpiChange, EachDialogScalesItsControlsAndFontAndComesBack) {
    PlatformModalUi ui;
    testing::RunModal(
        "新建图片组", [](HWND d) { ExpectDialogScales(d, 304, 161); },
        [&] { ui.ShowNewGroupDialog({}); });
    testing::RunModal(
        "设置", [](HWND d) { ExpectDialogScales(d, 253, 120); },
        [&] { ui.ShowSettingsDialog({}); });
    UniqueIcon icon = testing::SolidIcon(32, 32, 0x2040E0);
    testing::RunModal(
        "关于", [](HWND d) { ExpectDialogScales(d, 277, 156); },
        [&] { ui.ShowAboutDialog(nullptr, icon.get()); });
    testing::RunModal(
        "提取图标", [](HWND d) { ExpectDialogScales(d, 338, 132); },
        [&] { (void)ui.ShowExtractionDialog("C:\\"); });
}

}  // namespace
}  // namespace iconvale
