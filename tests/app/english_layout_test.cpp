// The longer English texts fit: every label, button, check box, link and list column of each
// dialog, opened in English at 96 DPI and moved to 144 DPI, has room for its whole text with
// the font it is drawn in, and every control stays inside its dialog.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "app/platform_modal_ui.h"
#include "support/control_probes.h"
#include "support/dialog_driver.h"
#include "support/test_icons.h"
#include "support/windows.h"
#include "ui/dpi.h"
#include "ui/text.h"
#include "ui/ui_language.h"

namespace iconvale {
namespace {

using testing::HasChinese;

std::wstring WindowTextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The size `text` takes in the control's font: on one line, or broken into lines `width` wide.
SIZE Extent(HWND control, const std::wstring& text, int width = 0) {
    HDC dc = ::GetDC(control);
    auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0));
    HGDIOBJ former = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    if (width > 0) {
        RECT r{0, 0, width, 0};
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                    DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        size = {r.right - r.left, r.bottom - r.top};
    } else {
        std::wstring shown;
        for (wchar_t c : text) {
            if (c != L'&') shown += c;
        }
        ::GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    }
    ::SelectObject(dc, former);
    ::ReleaseDC(control, dc);
    return size;
}

// Whether the control shows its whole text; what does not fit goes into `faults`.
void CheckFits(HWND dialog, HWND control, UINT dpi, std::vector<std::string>& faults) {
    const std::string cls = testing::ClassOf(control);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    std::wstring text = WindowTextOf(control);
    RECT r{};
    ::GetClientRect(control, &r);
    const int width = r.right;
    const int height = r.bottom;
    const std::string name =
        cls + " \"" + ToNarrow(std::wstring_view(text)) + "\" at " + std::to_string(dpi) + " DPI";
    RECT inDialog = testing::ClientRectOf(control);
    RECT client{};
    ::GetClientRect(dialog, &client);
    if (inDialog.right > client.right || inDialog.bottom > client.bottom) {
        faults.push_back(name + ": outside the dialog");
    }
    if (HasChinese(text)) faults.push_back(name + ": not in English");
    const int edge = ScaleToDpi(1, dpi);
    SIZE needed{};
    if (cls == "Button") {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_OWNERDRAW || text.empty()) return;
        needed = Extent(control, text);
        // A push button's frame and focus rectangle; a check box's box and the gap after it.
        needed.cx += type == BS_AUTOCHECKBOX || type == BS_CHECKBOX ? ScaleToDpi(13 + 6, dpi)
                                                                    : ScaleToDpi(8, dpi);
    } else if (cls == "Static") {
        if ((style & SS_TYPEMASK) == SS_OWNERDRAW || text.empty()) return;
        needed = (style & SS_CENTERIMAGE) ? Extent(control, text) : Extent(control, text, width);
    } else if (cls == "SysLink") {
        text = std::regex_replace(text, std::wregex(L"<[^>]*>"), L"");
        needed = Extent(control, text, width);
    } else if (cls == "SysListView32") {
        HWND header = ListView_GetHeader(control);
        for (int c = 0; c < Header_GetItemCount(header); ++c) {
            wchar_t title[128] = {};
            HDITEMW item{};
            item.mask = HDI_TEXT | HDI_WIDTH;
            item.pszText = title;
            item.cchTextMax = 128;
            Header_GetItem(header, c, &item);
            // The header's own margins on both sides of the title.
            const int room = item.cxy - 2 * ScaleToDpi(6, dpi);
            if (HasChinese(title)) faults.push_back(name + ": a column not in English");
            const int needed = Extent(header, title).cx;
            if (needed > room) {
                faults.push_back(name + ": column \"" + ToNarrow(std::wstring_view(title)) +
                                 "\" needs " + std::to_string(needed) + " in " +
                                 std::to_string(room));
            }
        }
        return;
    } else {
        return;
    }
    if (needed.cx > width + edge || needed.cy > height + edge) {
        faults.push_back(name + ": needs " + std::to_string(needed.cx) + "x" +
                         std::to_string(needed.cy) + " in " + std::to_string(width) + "x" +
                         std::to_string(height));
    }
}

std::vector<std::string> FaultsAt(HWND dialog, UINT dpi) {
    std::vector<std::string> faults;
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        CheckFits(dialog, c, dpi, faults);
    }
    return faults;
}

void ExpectEnglishFits(HWND dialog) {
    EXPECT_FALSE(HasChinese(WindowTextOf(dialog))) << "the caption";
    for (const std::string& fault : FaultsAt(dialog, kDesignDpi)) ADD_FAILURE() << fault;
    // A check box may change the texts beside it, as the new group's colour label does.
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        if ((::GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX &&
            testing::ClassOf(c) == "Button") {
            testing::Click(c);
        }
    }
    for (const std::string& fault : FaultsAt(dialog, kDesignDpi)) ADD_FAILURE() << fault;
    RECT outer{};
    ::GetWindowRect(dialog, &outer);
    RECT large{outer.left, outer.top, outer.left + ScaleToDpi(outer.right - outer.left, 144),
               outer.top + ScaleToDpi(outer.bottom - outer.top, 144)};
    ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&large));
    for (const std::string& fault : FaultsAt(dialog, 144)) ADD_FAILURE() << fault;
    ::SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&outer));
    ::SendMessageW(dialog, WM_CLOSE, 0, 0);
}

class EnglishLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX classes{sizeof classes, 0xFFFF};
        ::InitCommonControlsEx(&classes);
        SetUiLanguage(UiLanguage::English);
    }
    void TearDown() override { SetUiLanguage(UiLanguage::Chinese); }

    PlatformModalUi ui_;
};

TEST_F(EnglishLayoutTest, EveryDialogHasRoomForItsEnglishTextsAtBothScales) {
    UniqueIcon icon = testing::SolidIcon(32, 32, 0x2040E0);
    const std::vector<ImageListSummary> lists = {{"", 4, 16, 16, 32, true},
                                                 {"ilBookmarks", 12, 22, 22, 24, false}};
    struct Dialog {
        const char* caption;
        std::function<void()> show;
    } dialogs[] = {
        {"New group", [&] { ui_.ShowNewGroupDialog({}); }},
        {"Settings", [&] { ui_.ShowSettingsDialog({}); }},
        {"About Iconvale", [&] { ui_.ShowAboutDialog(nullptr, icon.get()); }},
        {"Extract icons", [&] { (void)ui_.ShowExtractionDialog("C:\\"); }},
        {"Choose an image list",
         [&] { (void)ui_.ChooseImageList(nullptr, lists, ListChoice::kImport); }},
        {"Choose an image list",
         [&] { (void)ui_.ChooseImageList(nullptr, lists, ListChoice::kReplace); }},
    };
    for (const Dialog& d : dialogs) {
        SCOPED_TRACE(d.caption);
        testing::RunModal(d.caption, &ExpectEnglishFits, d.show);
    }
}

}  // namespace
}  // namespace iconvale
