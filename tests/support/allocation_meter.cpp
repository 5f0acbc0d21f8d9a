#include "support/allocation_meter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> heldBytes{0};
std::atomic<std::size_t> peakBytes{0};

// Each block carries its size in front, kept at the alignment new promises.
constexpr std::size_t kPrefix = alignof(std::max_align_t);

void* Take(std::size_t size) {
    void* block = std::malloc(size + kPrefix);
    if (!block) return nullptr;
    *static_cast<std::size_t*>(block) = size;
    const std::size_t held = heldBytes.fetch_add(size) + size;
    std::size_t peak = peakBytes.load();
    while (held > peak && !peakBytes.compare_exchange_weak(peak, held)) {
    }
    return static_cast<char*>(block) + kPrefix;
}

void Give(void* pointer) {
    if (!pointer) return;
    void* block = static_cast<char*>(pointer) - kPrefix;
    heldBytes.fetch_sub(*static_cast<std::size_t*>(block));
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = Take(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Take(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Take(size);
}
void operator delete(void* p) noexcept {
    Give(p);
}
void operator delete[](void* p) noexcept {
    Give(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Give(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Give(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Give(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Give(p);
}

namespace iconvale::testing {

AllocationMeter::AllocationMeter() : start_(heldBytes.load()) {
    peakBytes.store(start_);
}

std::size_t AllocationMeter::PeakBytes() const {
    const std::size_t peak = peakBytes.load();
    return peak > start_ ? peak - start_ : 0;
}

}  // namespace iconvale::testing
