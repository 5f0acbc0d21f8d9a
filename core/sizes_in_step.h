// Writing one size of a multi-size list after its images were deleted, moved or added, so that
// the list's other sizes follow: each of them is rebuilt to the new count and order from its own
// old images, and an image new to the list gets a copy of itself scaled to that size, as the
// Lazarus IDE makes a resolution that an image lacks.
#pragma once

#include <span>
#include <string_view>

#include "core/bytes.h"
#include "core/container_error.h"
#include "core/image_list_stream.h"

namespace iconvale {

// The file's bytes with size `size` of the list named `listName` replaced by `images`, where
// `sources` holds for each image the index it had in the list as read from the file, or -1 for
// an image added or replaced since. In every other size, image p becomes that size's old image
// sources[p], its pixels as they were, or where sources[p] is -1, image p scaled to that size
// (ScaleBgra). A size whose images keep their order is left as it was. A list of one size is
// written as WriteBackList writes it. Empty with `error` set as WriteBackSizes sets it, and with
// kSizesOutOfStep when `sources` does not hold one index (or -1) of the old list per image.
// Never throws.
Bytes WriteBackInStep(std::span<const std::uint8_t> file, std::string_view listName,
                      std::size_t size, const ImageListData& images, std::span<const int> sources,
                      ContainerError& error);

}  // namespace iconvale
