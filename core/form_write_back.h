// Writing one list back into the file it was read from, in place: the list's value (one size of
// it) and, where the images' size or depth differ, its Width, Height and ColorDepth change; every
// other byte of the file stays as it was, line endings and indentation included. The new value
// takes the old one's layout: hex rows or base64 lines of the same width and indentation, the
// closing brace or end tag where it was; a binary form's value with its new length.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "core/bytes.h"
#include "core/container_error.h"
#include "core/image_list_container.h"
#include "core/image_list_stream.h"

namespace iconvale {

// The file's bytes with size `size` (an index into the list's `sizes`) of the list named
// `listName` (the first of that name) replaced by `images`; an empty name stands for a file's
// only list. Empty with
// `error` set when the file no longer reads (the reader's error), the list or size is not in it
// (kListGone), the images would put a multi-size list's sizes out of step (kSizesOutOfStep,
// kRepeatedSize) or cannot be written (kTooLarge, kBadStream). Never throws.
Bytes WriteBackList(std::span<const std::uint8_t> file, std::string_view listName, std::size_t size,
                    const ImageListData& images, ContainerError& error);

// Images for one size of a list: `size` is an index into the list's `sizes`.
struct SizedImages {
    std::size_t size = 0;
    const ImageListData* images = nullptr;
};

// The file's bytes with several sizes of one list replaced at once, in one pass, as
// WriteBackList does for one. Every size given must hold one count, and a multi-size list's
// sizes not given must hold it too (kSizesOutOfStep); a size given twice, or two sizes of one
// width, are kRepeatedSize. Never throws.
Bytes WriteBackSizes(std::span<const std::uint8_t> file, std::string_view listName,
                     std::span<const SizedImages> sizes, ContainerError& error);

// A fingerprint of a list's stored values (Bitmap and BitmapAdv, as decoded), so that a caller can
// tell whether the list changed on disk since it was read.
std::uint64_t ListFingerprint(const ContainedImageList& list);

}  // namespace iconvale
