#include "app/icon_list_images.h"

namespace iconvale {

void IconListImages::AttachGroupList(HIMAGELIST groupList) {
    groupList_ = groupList;
    // The display list, if the view needs one, is made by the rebuild that follows every attach.
    Show(groupList, static_cast<bool>(display_));
    display_.reset();
}

void IconListImages::Refresh() {
    if (!groupList_ || DrawsFromGroup(options_)) {
        if (display_) {
            Show(groupList_, true);
            display_.reset();
        }
        return;
    }
    UniqueImageList fresh = MakeDisplayList(group_, options_);
    // Without a display list (an empty group, or one too large to enlarge) the group's own shows.
    Show(fresh ? fresh.get() : groupList_, static_cast<bool>(fresh) || static_cast<bool>(display_));
    display_ = std::move(fresh);
}

void IconListImages::SetOptions(DisplayOptions options) {
    options_ = options;
    Refresh();
}

void IconListImages::Show(HIMAGELIST list, bool sizeMayChange) {
    if (!iconList_) return;
    ::SendMessageW(iconList_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(list));
    // The default spacing follows the size of the images shown; the items keep their places
    // until they are arranged again.
    if (sizeMayChange) {
        // All bits set, not MAKELPARAM(-1, -1): a 64-bit list reads the wider value as sizes.
        ::SendMessageW(iconList_, LVM_SETICONSPACING, 0, static_cast<LPARAM>(-1));
        ::SendMessageW(iconList_, LVM_ARRANGE, LVA_DEFAULT, 0);
    }
    ::InvalidateRect(iconList_, nullptr, TRUE);
}

}  // namespace iconvale
