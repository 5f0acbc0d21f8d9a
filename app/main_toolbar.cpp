#include "app/main_toolbar.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "ui/dpi.h"
#include "ui/text.h"
#include "ui/ui_language.h"

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

// The tips in the language of the moment; each stays until its button's tip is asked again.
std::array<std::wstring, kToolbarEntryCount>& ShownTips() {
    static std::array<std::wstring, kToolbarEntryCount> tips;
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
    const ToolbarEntry& entry = kEntries[controlId - kToolbarIdBase];
    if (!entry.tip) return nullptr;
    std::wstring& tip = ShownTips()[controlId - kToolbarIdBase];
    tip = ShownText(entry.tip);
    return tip.c_str();
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
