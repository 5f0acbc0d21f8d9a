#include "core/bit_rows.h"

#include <gtest/gtest.h>

namespace iconvale {
namespace {

TEST(CopyBits, UnalignedRunsKeepTheirNeighbours) {
    const std::uint8_t src[] = {0b10110011, 0b01011100};
    std::uint8_t dst[] = {0xFF, 0xFF, 0xFF};
    CopyBits(dst, 3, src, 2, 10);  // bits 2..11 of src: 1100110101
    EXPECT_EQ(dst[0], 0b11111001);
    EXPECT_EQ(dst[1], 0b10101111);
    EXPECT_EQ(dst[2], 0xFF);
}

TEST(CopyBits, AlignedRunsCopyWholeBytesAndTheTail) {
    const std::uint8_t src[] = {0x12, 0x34, 0xF0};
    std::uint8_t dst[] = {0, 0, 0x0F};
    CopyBits(dst, 0, src, 0, 20);
    EXPECT_EQ(dst[0], 0x12);
    EXPECT_EQ(dst[1], 0x34);
    EXPECT_EQ(dst[2], 0xFF);
}

}  // namespace
}  // namespace iconvale
