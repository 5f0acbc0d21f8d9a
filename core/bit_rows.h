// Rows of bitmap pixels, as every uncompressed bitmap here keeps them: the bytes a row takes, and
// single bits or runs of bits, most significant bit of each byte first. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

namespace iconvale {

// Bytes in one row of a device-independent bitmap: rows are padded to 32-bit boundaries.
std::uint64_t RowStride(std::uint64_t widthPixels, int bitsPerPixel);
// Bytes in one row of a device-dependent bitmap (CreateBitmap): padded to 16 bits only.
std::uint64_t WordRowStride(std::uint64_t widthPixels, int bitsPerPixel);

// Bit `bit` of a row: one mask pixel, or one bit of a wider pixel.
inline bool BitAt(const std::uint8_t* row, std::size_t bit) {
    return (row[bit / 8] & (0x80u >> (bit % 8))) != 0;
}

inline void SetBitAt(std::uint8_t* row, std::size_t bit, bool value) {
    const auto mask = static_cast<std::uint8_t>(0x80u >> (bit % 8));
    row[bit / 8] = static_cast<std::uint8_t>(value ? row[bit / 8] | mask : row[bit / 8] & ~mask);
}

// Copies `bitCount` bits from bit `srcBit` of `src` to bit `dstBit` of `dst`. Other bits of
// `dst` are left as they were.
void CopyBits(std::uint8_t* dst, std::size_t dstBit, const std::uint8_t* src, std::size_t srcBit,
              std::size_t bitCount);

}  // namespace iconvale
