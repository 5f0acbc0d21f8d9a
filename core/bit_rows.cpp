#include "core/bit_rows.h"

#include <cstring>

namespace iconvale {

std::uint64_t RowStride(std::uint64_t widthPixels, int bitsPerPixel) {
    return (widthPixels * static_cast<std::uint64_t>(bitsPerPixel) + 31) / 32 * 4;
}

std::uint64_t WordRowStride(std::uint64_t widthPixels, int bitsPerPixel) {
    return (widthPixels * static_cast<std::uint64_t>(bitsPerPixel) + 15) / 16 * 2;
}

void CopyBits(std::uint8_t* dst, std::size_t dstBit, const std::uint8_t* src, std::size_t srcBit,
              std::size_t bitCount) {
    if (dstBit % 8 == 0 && srcBit % 8 == 0) {
        std::memcpy(dst + dstBit / 8, src + srcBit / 8, bitCount / 8);
        std::size_t done = bitCount / 8 * 8;
        dstBit += done;
        srcBit += done;
        bitCount -= done;
    }
    for (std::size_t i = 0; i < bitCount; ++i) SetBitAt(dst, dstBit + i, BitAt(src, srcBit + i));
}

}  // namespace iconvale
