// Dragging the selected items of the icon list to another place in it. It starts at the list's
// begin-drag notification, captures the mouse and marks the item under it as the drop place; a
// release over an item drops there, while Escape, a release elsewhere or a lost capture cancel.
// It knows only the list: what a drop does is the handler's.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

namespace iconvale {

// The gap (0..count) the selection goes to when dropped on `item`: before an item that lies
// before the selection, after any other; -1 when the item is one of the selection.
int DropGap(const std::vector<int>& selected, int item);

class IconListDrag {
public:
    // The selection as the drag began (ascending) and the gap it was dropped into.
    using DropHandler = std::function<void(const std::vector<int>& selected, int gap)>;

    void SetIconList(HWND list) { list_ = list; }
    void SetDropHandler(DropHandler handler) { dropped_ = std::move(handler); }

    void Begin(std::vector<int> selected);
    bool active() const { return active_; }
    // The list's own messages while a drag runs; true when the drag took the message.
    bool OnListMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The list's custom draw, as its parent hears it: the drop place is painted highlighted.
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) const;

private:
    int ItemAt(LPARAM clientPoint) const;
    void MarkDropItem(int item);
    // Ends the drag and gives the gap it was dropped into, or -1.
    int Finish(int item);

    HWND list_ = nullptr;
    DropHandler dropped_;
    std::vector<int> selected_;
    int marked_ = -1;
    bool active_ = false;
};

}  // namespace iconvale
