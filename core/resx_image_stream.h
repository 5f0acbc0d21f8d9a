// WinForms resources (.resx): an image list's "<name>.ImageStream" data element holds, in
// base64, the serialized ImageListStreamer (core/image_list_streamer.h).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/container_error.h"
#include "core/bytes.h"
#include "core/image_list_stream.h"
#include "core/image_list_streamer.h"

namespace iconvale {

// One image list found in a resource file, its stream not yet expanded.
struct ResxImageStream {
    std::string name;  // the component, e.g. imageList1 for "imageList1.ImageStream"
    int line = 0;      // line of its data element
    ByteSpan value;    // the base64 text inside <value>, where it stands in the file
    Bytes data;        // the ImageListStreamer's Data array: "MSFt" and run-length pairs
};

bool LooksLikeResx(std::string_view text);

// Every data element named "*.ImageStream" or typed as an ImageListStreamer, its records checked
// (core/image_list_streamer.h expands the data).
std::vector<ResxImageStream> ReadResxImageStreams(std::string_view text, ContainerError& error);

// The stream of a list as a resource carries it. At 32 bits, a masked image with alpha has its
// mask bit set wherever alpha is 0, so that readers taking transparency from the mask alone show
// what Windows shows (it draws such an image by its alpha; an image whose alpha is 0 throughout
// it draws through its mask, which is kept). Empty when the list cannot be written.
Bytes ResxImageListStream(const ImageListData& list);

// The start of a .resx document as the designer writes it: the XML declaration, <root> and the
// resheaders that name the format and its reader and writer; kResxDocumentTail ends it.
std::string_view ResxDocumentHead();
inline constexpr std::string_view kResxDocumentTail = "</root>\r\n";

// Text with &, <, > and " escaped, for element text and attribute values.
std::string EscapeXml(std::string_view s);

// A complete .resx document holding one "<name>.ImageStream" element for the stream.
std::string WriteResxDocument(std::span<const std::uint8_t> stream, std::string_view name);

}  // namespace iconvale
