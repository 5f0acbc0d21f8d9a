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

// A block that holds one T (a platform record, or a run of characters), owned as a T*.
template <typename T>
struct TypedHeapBlockTraits {
    using Handle = T*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { FreeBlock(h); }
};
template <typename T>
using UniqueHeapBlockOf = UniqueHandle<TypedHeapBlockTraits<T>>;

// A zero-filled T from the process heap; empty when the heap is exhausted.
template <typename T>
UniqueHeapBlockOf<T> AllocateRecord() {
    return UniqueHeapBlockOf<T>(static_cast<T*>(AllocateBlock(sizeof(T))));
}

}  // namespace iconvale
