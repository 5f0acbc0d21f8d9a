// Lazarus image lists (.lfm): the Bitmap property holds "Lz" or "Li", the image count, width
// and height as 32-bit integers, then count images of width x height pixels stacked top to
// bottom, 4 bytes each (blue, green, red, alpha). "Lz" puts a 64-bit size in front of the
// pixels and compresses them with zlib; "Li" stores them as they are. A list with several sizes
// keeps the others in "BitmapAdv": "Li", a 32-bit count of sizes, then one such block per size.
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
#include <vector>

#include "core/container_error.h"
#include "core/image_list_stream.h"

namespace iconvale {

// True when the bytes start with "Lz" or "Li".
bool IsLazarusImageData(std::span<const std::uint8_t> bytes);

// The fixed part of one block of Lazarus images.
struct LazarusBlock {
    bool compressed = false;
    std::uint16_t count = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::size_t size = 0;  // the whole block: its header, the compressed size and the data
};

// Reads a block's header and checks it against the bytes that follow, without inflating: the
// sizes and the budget, that the data is there, and that compressed data is long enough to
// expand to the images it claims. False with `error` set on damage.
bool ReadLazarusBlock(std::span<const std::uint8_t> bytes, LazarusBlock& block,
                      ContainerError& error);

// Inflates (or copies) the images of a block whose header has been read. Memory grows with the
// data actually inflated, never ahead of it by more than what is already there; nullopt with
// `error` set on damage.
std::optional<ImageListData> DecodeLazarusImages(std::span<const std::uint8_t> bytes,
                                                 ContainerError& error);

// One further size of a multi-size list: its block and where it lies in the BitmapAdv bytes.
struct LazarusSize {
    LazarusBlock block;
    ByteSpan span;
};

// The sizes a BitmapAdv property holds, checked against the list's base block: each holds as
// many images, and no two sizes (the base included) share a width. On damage `error` is set,
// naming the size by its width and height where they could be read.
std::vector<LazarusSize> ReadLazarusSizes(std::span<const std::uint8_t> advanced,
                                          const LazarusBlock& base, ContainerError& error);

// The "Lz" bytes of a list, or with `compress` false its "Li" bytes; empty when the list is
// inconsistent or too large.
Bytes EncodeLazarusImages(const ImageListData& list, bool compress = true);

// An .lfm object block for the list, named `name`, ending with a line break.
std::string WriteLazarusFormBlock(const ImageListData& list, std::string_view name);

}  // namespace iconvale
