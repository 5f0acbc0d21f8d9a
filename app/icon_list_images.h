// Which image list the icon list draws from: the group's own, or, when the view is zoomed or
// shows the checkerboard, a display list made from the group and owned here.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "core/image_group.h"
#include "imaging/display_list.h"
#include "ui/win_handles.h"

namespace iconvale {

class IconListImages {
public:
    explicit IconListImages(const ImageGroup& group) : group_(group) {}

    void SetIconList(HWND iconList) { iconList_ = iconList; }
    // The group's list, as the commands hand it over; null before it is destroyed.
    void AttachGroupList(HIMAGELIST groupList);
    // Makes the display list again from the group, or goes back to the group's own list.
    void Refresh();

    DisplayOptions options() const { return options_; }
    void SetOptions(DisplayOptions options);
    // The list the icon list draws from now.
    HIMAGELIST shown() const { return display_ ? display_.get() : groupList_; }

private:
    void Show(HIMAGELIST list, bool sizeMayChange);

    const ImageGroup& group_;
    HWND iconList_ = nullptr;
    HIMAGELIST groupList_ = nullptr;  // the group's; never destroyed here
    UniqueImageList display_;
    DisplayOptions options_;
};

}  // namespace iconvale
