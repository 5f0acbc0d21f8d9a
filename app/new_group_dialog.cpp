#include "app/new_group_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "ui/control_text.h"
#include "ui/text.h"

namespace iconvale {

namespace {

constexpr char kTransparentLabel[] = "透明色：";
constexpr char kBackgroundLabel[] = "背景色：";
constexpr const char* kDepthItems[] = {"4", "8", "16", "24", "32"};
constexpr int kDesignDepthItem = 3;  // "24"

}  // namespace

NewGroupDialog::NewGroupDialog(NewGroupDialogHooks hooks)
    : ModalForm(IDD_NEW_GROUP), hooks_(std::move(hooks)) {
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
    AddTemplateControls();
    widthBox_ = Control(kWidthBoxId);
    heightBox_ = Control(kHeightBoxId);
    transparencyBox_ = Control(kTransparencyBoxId);
    colourLabel_ = Control(kColourLabelId);
    colourChooser_ = Control(kColourChooserId);
    depthList_ = Control(kDepthListId);
    for (const char* item : kDepthItems) AddComboItem(depthList_, item);
    ::SendMessageW(depthList_, CB_SETCURSEL, kDesignDepthItem, 0);
    FitClosedHeight(depthList_, Scaled(20));

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
