#include "app/icon_list_drag.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace iconvale {

int DropGap(const std::vector<int>& selected, int item) {
    if (item < 0 || selected.empty()) return -1;
    if (std::find(selected.begin(), selected.end(), item) != selected.end()) return -1;
    return item < selected.front() ? item : item + 1;
}

void IconListDrag::Begin(std::vector<int> selected) {
    if (!list_ || selected.empty()) return;
    std::sort(selected.begin(), selected.end());
    selected_ = std::move(selected);
    marked_ = -1;
    active_ = true;
    ::SetCapture(list_);
}

bool IconListDrag::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!active_) return false;
    switch (message) {
        case WM_MOUSEMOVE:
            MarkDropItem(ItemAt(lParam));
            return true;
        case WM_LBUTTONUP: {
            const int gap = Finish(ItemAt(lParam));
            std::vector<int> selected = std::move(selected_);
            if (gap >= 0 && dropped_) dropped_(selected, gap);
            // The list still sees the release, so that it ends its own drag state.
            return false;
        }
        case WM_KEYDOWN:
            if (wParam != VK_ESCAPE) return true;
            Finish(-1);
            return true;
        case WM_CAPTURECHANGED:
            Finish(-1);
            return false;
        default:
            return false;
    }
}

int IconListDrag::ItemAt(LPARAM clientPoint) const {
    LVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
    const int item =
        static_cast<int>(::SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & LVHT_ONITEM) ? item : -1;
}

void IconListDrag::MarkDropItem(int item) {
    if (DropGap(selected_, item) < 0) item = -1;
    if (item == marked_) return;
    const int previous = marked_;
    LVITEMW state{};
    state.stateMask = LVIS_DROPHILITED;
    if (marked_ >= 0)
        ::SendMessageW(list_, LVM_SETITEMSTATE, marked_, reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_DROPHILITED;
    if (item >= 0) ::SendMessageW(list_, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
    marked_ = item;
    // Wine's list draws no drop highlight of its own: the custom draw below paints it, for
    // which the items must be drawn again.
    for (int changed : {previous, item}) {
        if (changed >= 0) ::SendMessageW(list_, LVM_REDRAWITEMS, changed, changed);
    }
}

LRESULT IconListDrag::OnCustomDraw(NMLVCUSTOMDRAW& draw) const {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT)
        return active_ ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT &&
        static_cast<int>(draw.nmcd.dwItemSpec) == marked_) {
        draw.clrText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
        draw.clrTextBk = ::GetSysColor(COLOR_HIGHLIGHT);
    }
    return CDRF_DODEFAULT;
}

int IconListDrag::Finish(int item) {
    // Inactive first: releasing the capture sends WM_CAPTURECHANGED back here.
    active_ = false;
    MarkDropItem(-1);
    if (::GetCapture() == list_) ::ReleaseCapture();
    return DropGap(selected_, item);
}

}  // namespace iconvale
