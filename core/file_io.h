// Whole-file reads and writes for the program's documents; paths are GBK text.
#pragma once

#include <string>
#include <string_view>

#include "core/bytes.h"
#include "ui/page_buffer.h"

namespace iconvale {

// The file's whole content; empty when it cannot be read (or is empty).
Bytes ReadWholeFile(std::string_view path);
// The same in pages of its own, whose parts can be given back as they are read.
PageBuffer ReadFilePages(std::string_view path);

// Writes the bytes as the file's whole content without ever leaving it half-written
// (core/atomic_file.h). On failure the old file is as it was and no temporary file is left.
bool WriteFileAtomically(std::string_view path, const Bytes& bytes);

// Creates the file with the bytes as its content, the same way; fails, touching nothing, when a
// file or folder of that name exists.
bool WriteNewFile(std::string_view path, const Bytes& bytes);

// Whether a file or folder of that name exists.
bool PathExists(std::string_view path);

}  // namespace iconvale
