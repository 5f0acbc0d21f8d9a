// What the copies of one image group share; seen only by the group's own source files.
#pragma once

#include "core/image_list_bridge.h"
#include "core/list_cells.h"
#include "ui/win_handles.h"

namespace iconvale {

struct GroupChange;

struct ImageGroup::State {
    UniqueImageList list;
    StreamFields fields;
    GroupChange* journal = nullptr;  // while a change is recorded
    // Cells at the list's end that are no longer images: removals shift the images down in place
    // and leave them there, since the platform copies the whole list to shrink it.
    int spare = 0;
    // The mask as a removal or its undo last wrote it; emptied by anything else that may write it.
    MaskCopy maskCopy;
};

}  // namespace iconvale
