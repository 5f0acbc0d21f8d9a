// What the copies of one image group share; seen only by the group's own source files.
#pragma once

#include "core/image_list_bridge.h"
#include "ui/win_handles.h"

namespace iconvale {

struct GroupChange;

struct ImageGroup::State {
    UniqueImageList list;
    StreamFields fields;
    GroupChange* journal = nullptr;  // while a change is recorded
};

}  // namespace iconvale
