// Whole-file reads for the program's documents; paths are GBK text.
#pragma once

#include <string_view>

#include "core/bytes.h"

namespace iconvale {

// The file's whole content; empty when it cannot be read (or is empty).
Bytes ReadWholeFile(std::string_view path);

}  // namespace iconvale
