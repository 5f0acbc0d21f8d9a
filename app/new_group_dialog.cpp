#include "app/new_group_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "ui/control_text.h"
#include "ui/text.h"

namespace iconvale {

namespace {

constexpr char kCaption[] = "新建图片组";
constexpr char kTransparentLabel[] = "透明色：";
constexpr char kBackgroundLabel[] = "背景色：";
constexpr const char* kDepthItems[] = {"4", "8", "16", "24", "32"};
constexpr int kDesignDepthItem = 3;  // "24"

}  // namespace

NewGroupDialog::NewGroupDialog(NewGroupDialogHooks hooks)
    : ModalForm(kCaption, 304, 161), hooks_(std::move(hooks)) {
    std::fill(std::begin(customColours_), std::end(customColours_), kDesignColour);
}

void NewGroupDialog::SetColour(COLORREF colour) {
    colour_ = colour & 0x00FFFFFF;
    if (colourChooser_) ::InvalidateRect(colourChooser_, nullptr, TRUE);
}

NewGroupInputs NewGroupDialog::Inputs() const {
    NewGroupInputs inputs;
    inputs.widthText = TextOf(widthBox_);
    inputs.heightText = TextOf(heightBox_);
    const LRESULT selected = ::SendMessageW(depthList_, CB_GETCURSEL, 0, 0);
    const LRESULT length = ::SendMessageW(depthList_, CB_GETLBTEXTLEN, selected, 0);
    if (selected != CB_ERR && length != CB_ERR) {
        std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
        ::SendMessageW(depthList_, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text.data()));
        inputs.depthText = ToNarrow(text);
    }
    inputs.useTransparentColour =
        ::SendMessageW(transparencyBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    inputs.colour = colour_;
    return inputs;
}

void NewGroupDialog::CreateControls() {
    colour_ = kDesignColour;
    const DWORD label = SS_LEFT;
    const DWORD box = WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
    AddControl(L"STATIC", "宽度：", label, {9, 16, 48, 16}, -1);
    widthBox_ = AddControl(L"EDIT", "16", box, {57, 14, 48, 19}, kWidthBoxId, WS_EX_CLIENTEDGE);
    AddControl(L"STATIC", "高度：", label, {8, 49, 48, 16}, -1);
    heightBox_ = AddControl(L"EDIT", "16", box, {56, 47, 48, 19}, kHeightBoxId, WS_EX_CLIENTEDGE);
    // English needs a wider box and label; the colour button moves right by what the label grew.
    transparencyBox_ =
        AddControl(L"BUTTON", "使用透明色", WS_TABSTOP | BS_AUTOCHECKBOX,
                   ByLanguage({144, 12, 80, 24}, {144, 12, 148, 24}), kTransparencyBoxId);
    colourLabel_ = AddControl(L"STATIC", kTransparentLabel, label,
                              ByLanguage({144, 48, 48, 16}, {144, 48, 76, 16}), kColourLabelId);
    colourChooser_ = AddControl(L"BUTTON", "", WS_TABSTOP | BS_OWNERDRAW,
                                ByLanguage({192, 46, 68, 20}, {220, 46, 68, 20}), kColourChooserId);
    AddControl(L"STATIC", "位深：", label, {8, 81, 48, 16}, -1);
    // Created with room for the five items dropped down below the closed list.
    depthList_ = AddControl(L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                            {55, 78, 66, 120}, kDepthListId);
    for (const char* item : kDepthItems) AddComboItem(depthList_, item);
    ::SendMessageW(depthList_, CB_SETCURSEL, kDesignDepthItem, 0);
    FitClosedHeight(depthList_, Scaled(20));
    AddControl(L"BUTTON", "确定", WS_TABSTOP | BS_DEFPUSHBUTTON, {141, 99, 64, 24}, IDOK);
    AddControl(L"BUTTON", "取消", WS_TABSTOP | BS_PUSHBUTTON, {216, 99, 64, 24}, IDCANCEL);

    const bool ticked = hooks_.opened && hooks_.opened();
    ::SendMessageW(transparencyBox_, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    UpdateColourLabel();
}

void NewGroupDialog::OnDpiChanged() {
    FitClosedHeight(depthList_, Scaled(20));
}

void NewGroupDialog::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case kTransparencyBoxId:
            UpdateColourLabel();
            break;
        case kColourChooserId:
            ChooseColour();
            break;
        case IDOK:
            Confirm();
            break;
        default:
            break;
    }
}

void NewGroupDialog::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem != colourChooser_) return;
    RECT face = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    ::DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    RECT swatch = item.rcItem;
    ::InflateRect(&swatch, -Scaled(4), -Scaled(4));
    if (pushed) ::OffsetRect(&swatch, 1, 1);
    UniqueBrush fill(::CreateSolidBrush(colour_));
    if (fill) ::FillRect(item.hDC, &swatch, fill.get());
    ::FrameRect(item.hDC, &swatch, ::GetSysColorBrush(COLOR_BTNTEXT));
    if (item.itemState & ODS_FOCUS) {
        RECT focus = swatch;
        ::InflateRect(&focus, 2, 2);
        ::DrawFocusRect(item.hDC, &focus);
    }
}

void NewGroupDialog::UpdateColourLabel() {
    const bool ticked = ::SendMessageW(transparencyBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    SetTextOf(colourLabel_, ticked ? kTransparentLabel : kBackgroundLabel);
}

void NewGroupDialog::ChooseColour() {
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = hwnd();
    choose.rgbResult = colour_;
    choose.lpCustColors = customColours_;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (::ChooseColorW(&choose)) SetColour(choose.rgbResult);
}

void NewGroupDialog::Confirm() {
    const bool accepted = !hooks_.confirmed || hooks_.confirmed(Inputs());
    if (accepted) Close();
}

}  // namespace iconvale
