// Lazarus image lists (.lfm): the Bitmap property holds "Lz" or "Li", the image count, width
// and height as 32-bit integers, then count images of width x height pixels stacked top to
// bottom, 4 bytes each (blue, green, red, alpha). "Lz" puts a 64-bit size in front of the
// pixels and compresses them with zlib; "Li" stores them as they are.
//
// An import makes a 32-bit masked list: the pixels as stored, and a pixel is transparent in
// the mask where its alpha is 0. An export of a 4- to 24-bit list, or of a 32-bit image whose
// alpha is 0 throughout (which the platform draws through its mask), gives alpha 255 where the
// mask is opaque and 0 where it is transparent; other 32-bit images keep their alpha.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/container_error.h"
#include "core/image_list_stream.h"

namespace iconvale {

// True when the bytes start with "Lz" or "Li".
bool IsLazarusImageData(std::span<const std::uint8_t> bytes);

// Checks every size before it allocates or inflates; nullopt with `error` set on damage.
std::optional<ImageListData> DecodeLazarusImages(std::span<const std::uint8_t> bytes,
                                                 ContainerError& error);

// The "Lz" bytes of a list; empty when the list is inconsistent or too large.
Bytes EncodeLazarusImages(const ImageListData& list);

// An .lfm object block for the list, named `name`, ending with a line break.
std::string WriteLazarusFormBlock(const ImageListData& list, std::string_view name);

}  // namespace iconvale
