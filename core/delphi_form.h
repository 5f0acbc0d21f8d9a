// Delphi and C++Builder image lists (.dfm): a TImageList object block whose Bitmap property
// holds the image-list stream itself, as hex in the text form.
#pragma once

#include <string>
#include <string_view>

#include "core/image_list_stream.h"

namespace iconvale {

// The VCL's TColorDepth name for a list's flags: cd4Bit ... cd32Bit, or cdDeviceDependent.
std::string_view DelphiColorDepth(std::uint16_t flags);

// A .dfm object block for the list, named `name`, with Width, Height, a ColorDepth matching the
// depth and the stream in hex lines as Delphi wraps them; empty when the list cannot be written.
std::string WriteDelphiFormBlock(const ImageListData& list, std::string_view name);

}  // namespace iconvale
