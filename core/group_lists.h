// The open group and the image lists of files, one chain for both front ends: a group goes out
// as the stream a save stores, and a list comes in through a stream the platform list reads.
#pragma once

#include <optional>
#include <string_view>

#include "core/file_forms.h"
#include "core/image_group.h"
#include "core/image_list_stream.h"

namespace iconvale {

// The group's images as a save stores them; nullopt when there is no group or it cannot be
// read back.
std::optional<ImageListData> ListOfGroup(const ImageGroup& group);

// Makes `made` hold the list; false, with `made` left empty, when the platform refuses it.
bool GroupOfList(const ImageListData& list, ImageGroup& made);

// The group's file in that form, `name` naming its component in a container; empty on failure.
Bytes WriteGroupAs(const ImageGroup& group, FileForm form, std::string_view name);

}  // namespace iconvale
