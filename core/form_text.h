// The text form of Delphi, C++Builder and Lazarus forms (.dfm, .lfm): nested object blocks
// (object, inherited, inline ... end) of properties, where binary values are hex in braces.
#pragma once

#include <string_view>

#include "core/form_objects.h"

namespace iconvale {

// True when the text, after an optional UTF-8 byte-order mark and blanks, opens an object.
bool LooksLikeTextForm(std::string_view text);

// Parses the whole text; every hex digit and every block is checked.
FormObjects ReadTextForm(std::string_view text);

}  // namespace iconvale
