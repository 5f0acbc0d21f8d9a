#include "core/bit_rows.h"

#include <cstring>

namespace iconvale {

void CopyBits(std::uint8_t* dst, std::size_t dstBit, const std::uint8_t* src, std::size_t srcBit,
              std::size_t bitCount) {
    if (dstBit % 8 == 0 && srcBit % 8 == 0) {
        std::memcpy(dst + dstBit / 8, src + srcBit / 8, bitCount / 8);
        std::size_t done = bitCount / 8 * 8;
        dstBit += done;
        srcBit += done;
        bitCount -= done;
    }
    for (std::size_t i = 0; i < bitCount; ++i) {
        std::size_t s = srcBit + i;
        std::size_t d = dstBit + i;
        std::uint8_t bit = static_cast<std::uint8_t>(0x80u >> (d % 8));
        if (src[s / 8] & (0x80u >> (s % 8))) {
            dst[d / 8] |= bit;
        } else {
            dst[d / 8] &= static_cast<std::uint8_t>(~bit);
        }
    }
}

}  // namespace iconvale
