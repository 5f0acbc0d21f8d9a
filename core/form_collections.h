// Which collection properties of a form hold pictures, shared by the text and binary form
// readers: the property of the component that names the collection, and each item's properties.
#pragma once

#include <optional>
#include <string_view>

#include "core/form_objects.h"

namespace iconvale {

// The kind of collection a component property starts ("Images", "PngImages", "ImageInfo").
std::optional<PictureCollectionKind> PictureCollectionProperty(std::string_view property);

enum class ItemProperty { kOther, kName, kPicture, kMask, kSources };

ItemProperty ItemPropertyOf(PictureCollectionKind kind, std::string_view property);

// "Images" is also the name of other components' collections (a virtual image list's
// references, for one); it holds pictures only in an image collection.
bool IsPictureCollection(const FormPictureCollection& collection, std::string_view className);

}  // namespace iconvale
