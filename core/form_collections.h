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

// A picture value read for an item's property: its mask, or one more of its pictures.
void AddItemPicture(FormPictureItem& item, ItemProperty property, FormPicture picture);
// An image collection item's SourceImages, read as a collection of Image.Data items.
void AddSourcePictures(FormPictureItem& item, FormPictureCollection& sources);
inline constexpr PictureCollectionKind kSourceImagesKind = PictureCollectionKind::kCxImageList;

// Adds a component's collection to the form's, before those of its children (which were parsed
// first), as bitmaps go: in the order objects open. `propertyName` is where the collection's
// property name stands, before which a Width or Height that must be added goes.
void PlaceCollection(FormObjects& objects, std::size_t before, FormPictureCollection collection,
                     const FormBitmap& component, std::size_t propertyName);

}  // namespace iconvale
