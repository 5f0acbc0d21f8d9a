// The .NET binary serialization of a WinForms ImageListStreamer, as resource files carry it: a
// stream header, the System.Windows.Forms library, the class with its one member "Data" (a byte
// array), the array, and the end record. The array is "MSFt" followed by (count, value) byte
// pairs that expand to an image-list stream, or, without "MSFt", the stream itself.
#pragma once

#include <optional>
#include <span>

#include "core/bytes.h"
#include "core/container_error.h"

namespace iconvale {

// The "MSFt" run-length form: pairs of a count of 1 to 255 and the byte repeated.
Bytes RunLengthEncode(std::span<const std::uint8_t> stream);
// Refuses a count of 0, an odd number of pair bytes and output beyond `limit`.
std::optional<Bytes> RunLengthDecode(std::span<const std::uint8_t> pairs, std::size_t limit,
                                     ContainerError& error);

// The record set of an ImageListStreamer around the stream, its Data in "MSFt" form.
Bytes SerializeImageListStreamer(std::span<const std::uint8_t> stream);
// The stream inside such a record set; nullopt with `error` set when any record differs from
// what an ImageListStreamer is serialized as.
std::optional<Bytes> DeserializeImageListStreamer(std::span<const std::uint8_t> records,
                                                  ContainerError& error);

// The same in steps, so that a reader can look at a list's header without expanding it: the
// Data array inside the records (a view into them), its first `size` stream bytes or fewer, and
// the whole stream. The last two check every run-length pair, without allocating for them.
std::optional<std::span<const std::uint8_t>> FindImageListStreamerData(
    std::span<const std::uint8_t> records, ContainerError& error);
std::optional<Bytes> ImageListStreamerPrefix(std::span<const std::uint8_t> data, std::size_t size,
                                             ContainerError& error);
std::optional<Bytes> ExpandImageListStreamerData(std::span<const std::uint8_t> data,
                                                 ContainerError& error);

}  // namespace iconvale
