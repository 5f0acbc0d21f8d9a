#include "ui/heap_block.h"

#include <windows.h>

namespace iconvale {

void* AllocateBlock(std::size_t bytes) {
    return ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void FreeBlock(void* block) {
    if (block) ::HeapFree(::GetProcessHeap(), 0, block);
}

}  // namespace iconvale
