// Copies runs of pixels between bitmap rows whose pixels may not start on a byte boundary.
#pragma once

#include <cstddef>
#include <cstdint>

namespace iconvale {

// Copies `bitCount` bits, most significant bit of each byte first, from bit `srcBit` of `src`
// to bit `dstBit` of `dst`. Other bits of `dst` are left as they were.
void CopyBits(std::uint8_t* dst, std::size_t dstBit, const std::uint8_t* src, std::size_t srcBit,
              std::size_t bitCount);

}  // namespace iconvale
