// What the document commands need of the window that shows the open group.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string_view>
#include <vector>

namespace iconvale {

class DocumentView {
public:
    virtual ~DocumentView() = default;
    virtual void RebuildIconList() = 0;
    // Brings the icon list in line with a group whose list stayed the same one after a change:
    // only the items the count gained or lost are added or taken away.
    virtual void UpdateIconList() { RebuildIconList(); }
    virtual void UpdateStatusBar(std::string_view text) = 0;
    virtual std::vector<int> SelectedIndices() const = 0;
    virtual int FirstSelectedIndex() const = 0;
    // Selects exactly these items, the first of them focused and scrolled into view.
    virtual void SelectIndices(const std::vector<int>& indices) = 0;
    // Greys Undo and Redo while there is nothing to undo or redo.
    virtual void ShowUndoState(bool canUndo, bool canRedo) = 0;
    // Hands the group's image list to the icon list; null before the list is destroyed.
    virtual void AttachImages(HIMAGELIST images) = 0;
    // Owner of the dialogs and message boxes the commands show.
    virtual HWND DialogOwner() const = 0;
};

}  // namespace iconvale
