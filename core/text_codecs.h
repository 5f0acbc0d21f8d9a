// Hex and base64, as forms and resource files carry binary values in text.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/bytes.h"

namespace iconvale {

// The value of one hex digit, either case; -1 for anything else.
int HexDigitValue(char c);

// Upper-case hex of `bytes` in lines of `bytesPerLine` bytes, each line starting with `indent`
// and all but the last ending with `newline`.
std::string HexLines(std::span<const std::uint8_t> bytes, std::size_t bytesPerLine,
                     std::string_view indent, std::string_view newline);

// Decodes base64 with line breaks and blanks anywhere between the characters. On a character
// outside the alphabet, misplaced padding or a length that is not a whole number of quads it
// returns nullopt and, when asked, the offset in `text` where decoding stopped.
std::optional<Bytes> DecodeBase64(std::string_view text, std::size_t* badAt = nullptr);

// Base64 of `bytes` with padding, in lines of `lineChars` characters laid out as HexLines does.
std::string Base64Lines(std::span<const std::uint8_t> bytes, std::size_t lineChars,
                        std::string_view indent, std::string_view newline);

// Appends a code point as UTF-8; one beyond Unicode or a lone surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, std::uint32_t codePoint);

// The text of a form's string literal, one token as the form text has it: quoted parts ('It''s')
// and character codes (#13, #$263A) side by side. Codes become UTF-8; quoted bytes stay as they
// are. Stops at the first thing that is neither.
std::string FormStringText(std::string_view literal);

}  // namespace iconvale
