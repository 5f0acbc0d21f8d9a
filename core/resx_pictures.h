// A .resx file of bitmaps, one resource per image of a list, each stored as the bytes of a PNG
// (mimetype bytearray.base64): .NET turns them into Bitmaps through Bitmap's TypeConverter, so
// neither ResXResourceReader nor MSBuild's preserialized resources need the BinaryFormatter.
#pragma once

#include <string>
#include <vector>

#include "core/image_list_stream.h"

namespace iconvale {

// The resource names for `count` images: each image's name from `names` as a resource name
// (ResourceNameOf), or, where it has none, is empty or repeats an earlier one (as .NET compares
// them, without regard to case), the first free "image<N>".
std::vector<std::string> ResourceNamesOf(const std::vector<std::string>& names, int count);

// The whole document, each image as ImageAsPicture gives it; empty when an image cannot be
// encoded or memory runs out.
std::string WriteResxPictures(const ImageListData& images, const std::vector<std::string>& names);

}  // namespace iconvale
