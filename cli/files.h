// The command line's file access: UTF-8 names on every platform (wide names underneath on
// Windows), whole-file reads, and writes that never leave a half-written or clobbered file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/bytes.h"

namespace iconvale::cli {

std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8Name(const std::filesystem::path& path);

// The file's whole content. On failure the bytes are empty and `error` says why.
Bytes ReadInputFile(const std::filesystem::path& path, std::string& error);

// Writes the bytes to a temporary file beside the target, flushes it to the disk (unless
// `flush` is off, as for extracted pictures, which the program does not flush either), and
// then moves it into place: over an existing file only when `replace` is set, and never over
// a folder. On failure `error` says why and nothing is left behind.
bool WriteOutputFile(const std::filesystem::path& path, const Bytes& bytes, bool replace,
                     std::string& error, bool flush = true);

}  // namespace iconvale::cli
