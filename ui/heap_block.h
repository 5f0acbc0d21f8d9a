// Zero-filled blocks of the process heap, for platform records and the strings they point to.
#pragma once

#include <cstddef>

#include "ui/unique_handle.h"

namespace iconvale {

void* AllocateBlock(std::size_t bytes);  // zero-filled; nullptr when the heap is exhausted
void FreeBlock(void* block);             // nullptr is ignored

struct HeapBlockTraits {
    using Handle = void*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { FreeBlock(h); }
};
using UniqueHeapBlock = UniqueHandle<HeapBlockTraits>;

}  // namespace iconvale
