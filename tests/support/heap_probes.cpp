#include "support/heap_probes.h"

#include <windows.h>

namespace iconvale::testing {

std::size_t BlockBytes(const void* block) {
    return ::HeapSize(::GetProcessHeap(), 0, block);
}

long long BusyHeapBlocks() {
    HANDLE heap = ::GetProcessHeap();
    ::HeapLock(heap);
    PROCESS_HEAP_ENTRY entry{};
    long long count = 0;
    while (::HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++count;
    }
    ::HeapUnlock(heap);
    return count;
}

bool HeapIntact() {
    return ::HeapValidate(::GetProcessHeap(), 0, nullptr) != FALSE;
}

}  // namespace iconvale::testing
