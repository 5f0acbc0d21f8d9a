// Memory of its own pages, for reading a whole document: the parts a reader has finished with
// can be given back at once, so that the document and what is made from it are not both held
// whole.
#pragma once

#include <cstddef>
#include <cstdint>

namespace iconvale {

class PageBuffer {
public:
    PageBuffer() = default;
    // `size` bytes, zeroed; empty when there is no room.
    static PageBuffer Allocate(std::size_t size);

    PageBuffer(PageBuffer&& other) noexcept;
    PageBuffer& operator=(PageBuffer&& other) noexcept;
    PageBuffer(const PageBuffer&) = delete;
    PageBuffer& operator=(const PageBuffer&) = delete;
    ~PageBuffer();

    std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Gives back the whole pages within [begin, end), which must lie in the buffer; they may not
    // be read or written afterwards.
    void Release(const std::uint8_t* begin, const std::uint8_t* end);

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace iconvale
