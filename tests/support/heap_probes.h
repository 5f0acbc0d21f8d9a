// Looks into the process heap, where the dialog objects keep their records and strings.
#pragma once

#include <cstddef>

namespace iconvale::testing {

// The size the heap gives a block of its own.
std::size_t BlockBytes(const void* block);
// Busy blocks now: a set-up that kept what it replaced leaves more of them each time.
long long BusyHeapBlocks();
bool HeapIntact();

}  // namespace iconvale::testing
