// The binary form of Delphi forms: "TPF0", then the root object as the VCL's streaming writes
// it (class and name as short strings, typed property values, children, zero terminators).
#pragma once

#include <span>

#include "core/form_objects.h"

namespace iconvale {

inline constexpr char kBinaryFormSignature[4] = {'T', 'P', 'F', '0'};

bool LooksLikeBinaryForm(std::span<const std::uint8_t> bytes);

// Parses the whole form; every length and value type is checked.
FormObjects ReadBinaryForm(std::span<const std::uint8_t> bytes);

}  // namespace iconvale
