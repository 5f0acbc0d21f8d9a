#include "ui/page_buffer.h"

#include <windows.h>

#include <utility>

#include "ui/large_buffer.h"

namespace iconvale {

PageBuffer PageBuffer::Allocate(std::size_t size) {
    PageBuffer buffer;
    if (size == 0 || !LargeBufferAllowed(size)) return buffer;
    void* pages = ::VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!pages) return buffer;
    buffer.data_ = static_cast<std::uint8_t*>(pages);
    buffer.size_ = size;
    return buffer;
}

PageBuffer::PageBuffer(PageBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

PageBuffer& PageBuffer::operator=(PageBuffer&& other) noexcept {
    if (this != &other) {
        if (data_) ::VirtualFree(data_, 0, MEM_RELEASE);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

PageBuffer::~PageBuffer() {
    if (data_) ::VirtualFree(data_, 0, MEM_RELEASE);
}

void PageBuffer::Release(const std::uint8_t* begin, const std::uint8_t* end) {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    const std::uintptr_t page = system.dwPageSize;
    const auto base = reinterpret_cast<std::uintptr_t>(data_);
    auto from = reinterpret_cast<std::uintptr_t>(begin);
    auto to = reinterpret_cast<std::uintptr_t>(end);
    if (!data_ || from < base || to > base + size_ || from >= to) return;
    from = (from + page - 1) / page * page;
    to = to / page * page;
    if (from < to) ::VirtualFree(reinterpret_cast<void*>(from), to - from, MEM_DECOMMIT);
}

}  // namespace iconvale
