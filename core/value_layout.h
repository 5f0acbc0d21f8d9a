// How a binary value is laid out in the text of a form or a resource file (hex rows in braces,
// base64 lines in a value element), measured from the old value so that a new one written in its
// place looks as the tool that wrote the file would have written it.
#pragma once

#include <span>
#include <string_view>

#include "core/bytes.h"

namespace iconvale {

std::string_view AsText(std::span<const std::uint8_t> bytes);
Bytes FromText(std::string_view text);

// The file's line break: that of its first line, or `otherwise` when it has none.
std::string_view NewlineIn(std::string_view text, std::string_view otherwise);

// What comes before a value's first row, the rows' indentation, width and line break, and what
// follows the last row (e.g. Lazarus's break and indentation before the closing brace).
struct TextLayout {
    std::string_view lead;
    std::string_view indent;
    std::string_view newline;
    std::size_t rowChars = 0;
    std::string_view tail;
};

// Row widths for a value that had a single row to measure: Delphi's 32 bytes, the designer's 80
// base64 characters.
inline constexpr std::size_t kDefaultHexRow = 64;
inline constexpr std::size_t kDefaultBase64Row = 80;

TextLayout MeasureLayout(std::string_view old, bool hex, std::string_view fileNewline);

// `value` in hex or base64 as `layout` lays it out.
Bytes LaidOut(std::span<const std::uint8_t> value, bool hex, const TextLayout& layout);

}  // namespace iconvale
