// Reading image groups from files; the file's name decides whether it carries the group header.
#pragma once

#include <string_view>

#include "core/image_group.h"

namespace iconvale {

// Discards the group, then reads the file into it. False leaves no group.
bool OpenGroupFrom(ImageGroup& group, std::string_view path);

}  // namespace iconvale
