#include "app/main_toolbar.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "ui/dpi.h"
#include "ui/text.h"

namespace iconvale {

namespace {

struct ToolbarEntry {
    int image;  // -1 for a separator
    const char* tip;
    Command command;
};

constexpr std::array<ToolbarEntry, kToolbarEntryCount> kEntries = {{
    {0, "新建图片组", Command::New},
    {1, "打开图片组", Command::Open},
    {-1, nullptr, Command::New},
    {2, "保存图片组", Command::Save},
    {-1, nullptr, Command::New},
    {3, "添加图片", Command::Add},
    {4, "替换图片", Command::Replace},
    {-1, nullptr, Command::New},
    {5, "删除图片", Command::Delete},
}};

const std::array<std::wstring, kToolbarEntryCount>& WideTips() {
    static const auto tips = [] {
        std::array<std::wstring, kToolbarEntryCount> wide;
        for (int i = 0; i < kToolbarEntryCount; ++i) {
            if (kEntries[i].tip) wide[i] = ToWideString(kEntries[i].tip);
        }
        return wide;
    }();
    return tips;
}

}  // namespace

std::optional<Command> CommandAtToolbarPosition(int position) {
    if (position < 0 || position >= kToolbarEntryCount || kEntries[position].image < 0) {
        return std::nullopt;
    }
    return kEntries[position].command;
}

const wchar_t* ToolbarTip(UINT controlId) {
    if (controlId < kToolbarIdBase || controlId >= kToolbarIdBase + kToolbarEntryCount)
        return nullptr;
    const std::wstring& tip = WideTips()[controlId - kToolbarIdBase];
    return tip.empty() ? nullptr : tip.c_str();
}

HWND CreateMainToolbar(HWND parent, UINT dpi) {
    // Placed by hand at its designed rectangle rather than docked by the control itself.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                  CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
    HWND toolbar =
        ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, ScaleToDpi(598, dpi),
                          ScaleToDpi(28, dpi), parent, nullptr, nullptr, nullptr);
    if (toolbar) ::SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return toolbar;
}

void ScaleToolbarButtons(HWND toolbar, UINT dpi) {
    ::SendMessageW(toolbar, TB_SETBUTTONSIZE, 0,
                   MAKELPARAM(ScaleToDpi(23, dpi), ScaleToDpi(22, dpi)));
}

void FillToolbar(HWND toolbar, HIMAGELIST images) {
    ::SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    std::array<TBBUTTON, kToolbarEntryCount> buttons{};
    for (int i = 0; i < kToolbarEntryCount; ++i) {
        TBBUTTON& b = buttons[i];
        b.idCommand = static_cast<int>(kToolbarIdBase + i);
        b.fsState = TBSTATE_ENABLED;
        if (kEntries[i].image < 0) {
            b.fsStyle = BTNS_SEP;
        } else {
            b.iBitmap = kEntries[i].image;
            b.fsStyle = BTNS_BUTTON;
        }
        b.iString = -1;
    }
    ::SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(),
                   reinterpret_cast<LPARAM>(buttons.data()));
}

}  // namespace iconvale
