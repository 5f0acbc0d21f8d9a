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

TEST(RowStride, PadsEachRowToFourBytesAndDdbRowsToTwo) {
    struct Case {
        int bits;
        std::uint64_t width, dib, ddb;
    };
    const Case cases[] = {{1, 1, 4, 2},    {1, 17, 4, 4},
                          {1, 33, 8, 6},   {4, 7, 4, 4},
                          {4, 9, 8, 6},    {8, 3, 4, 4},
                          {8, 5, 8, 6},    {16, 1, 4, 2},
                          {16, 3, 8, 6},   {24, 1, 4, 4},
                          {24, 5, 16, 16}, {24, 7, 24, 22},
                          {32, 3, 12, 12}, {32, 65535, 262140, 262140}};
    for (const Case& c : cases) {
        EXPECT_EQ(RowStride(c.width, c.bits), c.dib) << c.bits << " bits, " << c.width << " wide";
        EXPECT_EQ(WordRowStride(c.width, c.bits), c.ddb) << c.bits << " bits, " << c.width;
    }
    // A cell strip of the widest cells at 32 bits does not wrap.
    EXPECT_EQ(RowStride(65535ull * 65535, 32), 65535ull * 65535 * 4);
}

TEST(BitAt, ReachesTheLastBitOfARowWithoutTouchingItsNeighbours) {
    std::uint8_t row[] = {0x00, 0x00, 0xAA};  // a 9-pixel mask row, padded, then the next row
    SetBitAt(row, 8, true);
    SetBitAt(row, 7, true);
    EXPECT_EQ(row[0], 0x01);
    EXPECT_EQ(row[1], 0x80);
    EXPECT_EQ(row[2], 0xAA);
    EXPECT_TRUE(BitAt(row, 7) && BitAt(row, 8));
    EXPECT_FALSE(BitAt(row, 6) || BitAt(row, 9));
    SetBitAt(row, 8, false);
    EXPECT_EQ(row[1], 0x00);
    EXPECT_EQ(row[0], 0x01);
}

}  // namespace
}  // namespace iconvale
