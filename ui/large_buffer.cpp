#include "ui/large_buffer.h"

#include <cstdint>

namespace iconvale {

namespace {

// One thread runs the program and its tests, so a plain value will do.
std::size_t failingFrom = SIZE_MAX;

}  // namespace

bool LargeBufferAllowed(std::size_t bytes) {
    return bytes < failingFrom;
}

LargeBufferFailure::LargeBufferFailure(std::size_t fromBytes) : previous_(failingFrom) {
    failingFrom = fromBytes;
}

LargeBufferFailure::~LargeBufferFailure() {
    failingFrom = previous_;
}

}  // namespace iconvale
