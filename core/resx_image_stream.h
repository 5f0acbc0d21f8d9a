// WinForms resources (.resx): an image list's "<name>.ImageStream" data element holds, in
// base64, the .NET binary serialization of an ImageListStreamer: a stream header, the
// System.Windows.Forms library, the class with its one member "Data" (a byte array), the
// array, and the end record. The array is "MSFt" followed by (count, value) byte pairs that
// expand to an image-list stream, or, without "MSFt", the stream itself.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/container_error.h"
#include "core/bytes.h"

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

// One image list found in a resource file.
struct ResxImageStream {
    std::string name;  // the component, e.g. imageList1 for "imageList1.ImageStream"
    int line = 0;      // line of its data element
    Bytes stream;      // the expanded image-list stream
};

bool LooksLikeResx(std::string_view text);

// Every data element named "*.ImageStream" or typed as an ImageListStreamer, decoded.
std::vector<ResxImageStream> ReadResxImageStreams(std::string_view text, ContainerError& error);

// A complete .resx document holding one "<name>.ImageStream" element for the stream.
std::string WriteResxDocument(std::span<const std::uint8_t> stream, std::string_view name);

}  // namespace iconvale
