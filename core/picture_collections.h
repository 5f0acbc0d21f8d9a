// Image lists kept as a collection of picture files: Delphi's image collections (PNG, several
// sizes an image), PNG image lists, and DevExpress image lists (BMP files, or PNG). Their sizes
// come from the pictures' headers; the pixels are decoded when one size is asked for.
#pragma once

#include <optional>
#include <span>

#include "core/container_error.h"
#include "core/embedded_pictures.h"
#include "core/image_list_container.h"

namespace iconvale {

// No picture of a collection may have more pixels than this; a forged header could otherwise ask
// for gigabytes before its data is found wanting.
inline constexpr std::uint64_t kMaxCollectionPicturePixels = 1ull << 24;

// Fills `entry` (whose `pictures` holds the form's collection) with the list's sizes, figures and
// names. `file` is the whole form, for the Width and Height it may hold. False with `error`
// naming the item when a picture is damaged, of another format, of a size the list does not
// have, or the sizes are over the budget; an empty collection is an error as well.
bool DescribePictureCollection(std::span<const std::uint8_t> file, bool binaryForm,
                               ContainedImageList& entry, ContainerError& error);

// The images of one size (an index into `sizes`), 32-bit with alpha and a mask where alpha is
// 0. An item without a picture of that size gets its nearest larger picture scaled down, or its
// largest scaled up.
std::optional<ImageListData> DecodePictureCollection(const ContainedImageList& entry,
                                                     std::size_t size, ContainerError& error);

// Item `item`'s image at width x height, as DecodePictureCollection makes it, unmasked: its
// picture of that size, or the nearest one scaled. False when the picture is damaged.
bool DecodeCollectionImage(const ContainedImageList& entry, std::size_t item, int width, int height,
                           BgraPicture& out);

// The picture file an item value holds: DevExpress puts a BMP file's length before it.
std::span<const std::uint8_t> PictureFileOf(PictureCollectionKind kind,
                                            std::span<const std::uint8_t> value);

}  // namespace iconvale
