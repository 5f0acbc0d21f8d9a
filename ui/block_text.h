// Wide text copied into zero-filled heap blocks, the form in which platform dialog records take
// the strings they point to.
#pragma once

#include <cstddef>

#include "ui/heap_block.h"
#include "ui/text.h"

namespace iconvale {

using UniqueWideBlock = UniqueHeapBlockOf<wchar_t>;

// The units of a terminated text without its terminator; 0 for an empty text.
std::size_t UnitsOf(const WideText& text);

// A zero-filled block of `units` with `text`, terminator included, at its start. Empty when
// `units` is 0 or too small for the text, or when the heap is exhausted.
UniqueWideBlock CopyToBlock(const WideText& text, std::size_t units);
// A block just large enough for `text`; empty for an empty text.
UniqueWideBlock CopyToBlock(const WideText& text);

}  // namespace iconvale
