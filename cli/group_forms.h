// The forms an image group can take on disk, as the command line reads and writes them: the
// program's own (".eil" with its header, the bare stream under any other name) and the
// containers of other tools. Portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/file_forms.h"
#include "core/image_list_container.h"
#include "core/image_list_stream.h"

namespace iconvale::cli {

// Chosen by the file's name (FileFormForName), as the program chooses.
using GroupForm = FileForm;

// One image list of a file, with the name it has there (empty in the program's own forms).
struct NamedList {
    std::string name;
    int version = 0;  // of the stream it was read from; 0 where the form stores no stream
    // The images in the program's own forms; in a container only the header fields, its
    // images being decoded by TakeImages when they are asked for.
    ImageListData list;
    std::optional<ContainedImageList> contained = std::nullopt;
};

// Every image list in a file of that form, in file order. On failure `error` says why.
std::optional<std::vector<NamedList>> ReadGroupForm(GroupForm form, const Bytes& file,
                                                    std::string& error);

// The list in that form; `name` names its component in a container. Empty on failure, with
// `error` saying why.
Bytes WriteGroupForm(GroupForm form, const ImageListData& list, std::string_view name,
                     std::string& error);

// The list called `name` (any list when the name is empty and there is only one).
NamedList* PickList(std::vector<NamedList>& lists, std::string_view name, std::string& error);

// The sizes of a list as "WxH", the base size first.
std::vector<std::string> SizeNames(const NamedList& entry);

// The name of each image of the list (empty strings where an image has none); empty for lists
// of kinds that name no images.
const std::vector<std::string>& ImageNames(const NamedList& entry);

// The images of the list at `size` ("WxH"; the base size when empty), taken out of `entry`.
std::optional<ImageListData> TakeImages(NamedList& entry, std::string_view size,
                                        std::string& error);

}  // namespace iconvale::cli
