// Where the rows of each cell of an image list lie, in either of the two layouts cells are kept
// in: one block per image with the top row first, or a stream's sheet, cells four to a row with
// the bottom row of the sheet first. Portable; no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace iconvale {

class CellRows {
public:
    // `count` images of `rowBytes` * `cellHeight` bytes each, one after the other.
    static CellRows Blocks(const std::uint8_t* bits, std::size_t rowBytes, int cellHeight) {
        return {bits, rowBytes, 0, cellHeight, 1, 0, false};
    }

    // A bitmap of `heightPixels` rows of `stride` bytes, stored bottom-up unless told otherwise,
    // with `perRow` cells of `cellBits` bits side by side in each row of cells.
    static CellRows Sheet(const std::uint8_t* bits, std::size_t stride, std::size_t heightPixels,
                          int cellHeight, int perRow, std::size_t cellBits, bool bottomUp = true) {
        return {bits, stride, heightPixels, cellHeight, perRow, cellBits, bottomUp};
    }

    // Row y (the top row is 0) of cell `index`, and the bit of that row where the cell starts.
    const std::uint8_t* Row(int index, int y) const {
        std::size_t row = static_cast<std::size_t>(index / perRow_) * cellHeight_ + y;
        if (bottomUp_) row = heightPixels_ - 1 - row;
        return bits_ + row * stride_;
    }
    std::size_t FirstBit(int index) const {
        return static_cast<std::size_t>(index % perRow_) * cellBits_;
    }
    int PerRow() const { return perRow_; }
    std::size_t Stride() const { return stride_; }

private:
    CellRows(const std::uint8_t* bits, std::size_t stride, std::size_t heightPixels, int cellHeight,
             int perRow, std::size_t cellBits, bool bottomUp)
        : bits_(bits),
          stride_(stride),
          heightPixels_(heightPixels),
          cellHeight_(cellHeight),
          perRow_(perRow),
          cellBits_(cellBits),
          bottomUp_(bottomUp) {}

    const std::uint8_t* bits_;
    std::size_t stride_;
    std::size_t heightPixels_;
    int cellHeight_;
    int perRow_;
    std::size_t cellBits_;
    bool bottomUp_;
};

}  // namespace iconvale
