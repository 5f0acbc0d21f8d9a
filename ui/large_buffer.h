// Room for whole files and whole pictures. Their buffers are asked for here, so that running
// out of memory for one is an ordinary failure of the operation, and tests can make it happen.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace iconvale {

// False while a LargeBufferFailure of at most this size exists.
bool LargeBufferAllowed(std::size_t bytes);

// Resizes the buffer to `count` elements, the new ones value-initialised. When there is no room
// it returns false with the buffer emptied and its memory given back.
template <typename T>
bool TryResize(std::vector<T>& buffer, std::size_t count) {
    bool resized = false;
    if (count <= buffer.max_size() && LargeBufferAllowed(count * sizeof(T))) {
        try {
            buffer.resize(count);
            resized = true;
        } catch (const std::bad_alloc&) {
        }
    }
    if (!resized) std::vector<T>().swap(buffer);
    return resized;
}

// For tests: while one exists, every large buffer of at least `fromBytes` bytes fails as if
// memory had run out.
class LargeBufferFailure {
public:
    explicit LargeBufferFailure(std::size_t fromBytes = 1);
    ~LargeBufferFailure();
    LargeBufferFailure(const LargeBufferFailure&) = delete;
    LargeBufferFailure& operator=(const LargeBufferFailure&) = delete;

private:
    std::size_t previous_;
};

}  // namespace iconvale
