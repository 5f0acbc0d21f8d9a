// The two on-disk forms of an image group: an ".eil" file (an 8-byte group header, then the
// image-list stream) and, under any other name, the bare stream.
#pragma once

#include <span>
#include <string_view>

#include "core/bytes.h"

namespace iconvale {

inline constexpr std::size_t kGroupHeaderSize = 8;

// "MITL" and four constant bytes; written always, never checked on reading.
inline constexpr std::uint8_t kGroupHeader[kGroupHeaderSize] = {'M', 'I', 'T', 'L', 0, 0, 0, 0xFF};

// True when the last four characters of the path, in lower case, are ".eil".
bool HasGroupHeaderName(std::string_view path);

// The stream part of a file's bytes: with a header, everything after the first 8 bytes
// (nothing when the file is 8 bytes or shorter); without one, all of them.
std::span<const std::uint8_t> StreamPart(std::span<const std::uint8_t> file, bool withHeader);

// The file's bytes for a stream: the header in front when asked for.
Bytes WithGroupHeader(Bytes stream, bool withHeader);

}  // namespace iconvale
