// Counted byte buffers and little-endian field access, shared by the file formats.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace iconvale {

// A whole file or stream in memory. Empty stands for failure or nothing.
using Bytes = std::vector<std::uint8_t>;

// Where a value lies in a larger buffer: `size` bytes from `offset`.
struct ByteSpan {
    std::size_t offset = 0;
    std::size_t size = 0;

    std::size_t end() const { return offset + size; }
    bool operator==(const ByteSpan&) const = default;
};

inline std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline void AppendU16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void AppendU32(Bytes& out, std::uint32_t v) {
    AppendU16(out, v & 0xFFFF);
    AppendU16(out, v >> 16);
}

// Reads forward through a buffer; every read is bounds-checked and a failed read
// poisons the reader so that callers can check once at the end of a block.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return ok_ ? size_ - offset_ : 0; }

    std::uint16_t U16() { return Take(2) ? ReadU16(data_ + offset_ - 2) : 0; }
    std::uint32_t U32() { return Take(4) ? ReadU32(data_ + offset_ - 4) : 0; }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }

    // Returns the start of the next n bytes and steps over them, or nullptr.
    const std::uint8_t* Span(std::size_t n) { return Take(n) ? data_ + offset_ - n : nullptr; }

private:
    bool Take(std::size_t n) {
        if (!ok_ || n > size_ - offset_) {
            ok_ = false;
            return false;
        }
        offset_ += n;
        return true;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    bool ok_ = true;
};

}  // namespace iconvale
