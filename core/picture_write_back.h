// Writing images back into a picture collection (an image collection or a PNG image list) of a
// form. Each image keeps the item it came from: an image whose pixels are those of an item keeps
// that item's text or bytes exactly, its name and PNG data included; a changed image is stored
// as a new PNG in the item at its place; a new one gets an item named in the pattern of the
// others. DevExpress image lists are read only.
#pragma once

#include <span>

#include "core/container_error.h"
#include "core/form_write_back.h"
#include "core/image_list_container.h"

namespace iconvale {

// The collection's new value, to take the place of `list.pictures.value` in `file`. Empty with
// `error` set when the list is read only or an image cannot be encoded.
Bytes WritePictureCollection(std::span<const std::uint8_t> file, bool binaryForm,
                             const ContainedImageList& list, std::span<const SizedImages> sizes,
                             ContainerError& error);

// The name a new item gets among `names`: the most common "<prefix><number>" continued with the
// next free number, or "image<N>" when the names follow no such pattern.
std::string NewItemName(const std::vector<std::string>& names);

}  // namespace iconvale
