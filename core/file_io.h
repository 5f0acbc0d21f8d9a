// Whole-file reads for the program's documents; paths are GBK text.
#pragma once

#include <string>
#include <string_view>

#include "core/bytes.h"

namespace iconvale {

// The file's whole content; empty when it cannot be read (or is empty).
Bytes ReadWholeFile(std::string_view path);

// Writes the bytes as the file's whole content without ever leaving it half-written: they go
// to a temporary file in the same folder, which is flushed and then swapped in. On failure the
// old file is as it was and no temporary file is left.
bool WriteFileAtomically(std::string_view path, const Bytes& bytes);

// The temporary file of a save to `target`, try number `serial`: in the target's folder, and short
// enough to fit wherever the target fits, since a target near the path limit leaves little room.
std::wstring TemporaryNameFor(const std::wstring& target, unsigned serial);

// Creates the file with the bytes as its content; fails, touching nothing, when a file or folder
// of that name exists. A failed write leaves no partial file behind.
bool WriteNewFile(std::string_view path, const Bytes& bytes);

// Whether a file or folder of that name exists.
bool PathExists(std::string_view path);

}  // namespace iconvale
