// The cells of a platform image list read, written and moved in place, in the list's own bitmaps:
// the image bitmap's memory where it is a DIB section of the list's depth, the mask's bits in one
// copy each way. Cells travel as packed blocks, each image's rows followed by its mask's rows.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include <optional>
#include <span>
#include <vector>

#include "core/bytes.h"
#include "core/dib_bitmaps.h"

namespace iconvale {

struct CellShape {
    int width = 0;
    int height = 0;
    int bits = 0;
    bool mask = false;

    std::size_t ImageRowBytes() const;
    std::size_t MaskRowBytes() const;
    // Bytes of one packed cell: its image rows, then its mask rows when the list has a mask.
    std::size_t CellBytes() const;
};

// A list's mask bits as they were last written, for the next ListCells of that list to take
// instead of reading them back.
struct MaskCopy {
    HBITMAP bitmap = nullptr;  // the list's, only compared: a new mask bitmap is a new mask
    std::vector<std::uint8_t> bits;
};

class ListCells {
public:
    // Nullopt where the list's bitmaps cannot be reached in place (a device-dependent image
    // bitmap, another depth, cells outside a grid), so the caller takes the platform's way.
    // With `upTo`, only cells 0..upTo are reached, and the mask is read only as far down as they
    // lie.
    // With `kept`, its bits are taken where they are this list's whole mask, and it is emptied.
    static std::optional<ListCells> Open(HIMAGELIST list, const CellShape& shape, int upTo = -1,
                                         MaskCopy* kept = nullptr);

    ListCells(ListCells&&) = default;
    ListCells& operator=(ListCells&&) = default;

    const CellShape& shape() const { return shape_; }
    int count() const { return count_; }

    // Cells first..first+n-1 packed one after another; empty on failure.
    Bytes Read(int first, int n) const;
    // Writes n packed cells from `cells` at first..first+n-1.
    void Write(int first, int n, const std::uint8_t* cells);
    // Moves cells from..from+n-1 to to..to+n-1; the ranges may overlap.
    void Move(int from, int to, int n);
    // Hands the mask bits back to the list, if any were written. False when the platform refused.
    bool Commit();
    // After a Commit, hands the mask bits over to `kept`, for as long as nothing else writes the
    // list's mask; this object's mask is then gone.
    void KeepMask(MaskCopy& kept);

    // Row y of cell `index` in the list's bitmaps, and the bit of that row where the cell starts.
    std::uint8_t* ImageRow(int index, int y) const;
    std::size_t ImageBit(int index) const;
    // The mask's rows are a copy: after writing them, MaskWritten, so that Commit hands them back.
    std::uint8_t* MaskRow(int index, int y) const;
    std::size_t MaskBit(int index) const;
    void MaskWritten() { maskDirty_ = true; }

private:
    ListCells() = default;
    void CopyCell(int from, int to);
    // Cells from..from+n-1 to to..to+n-1, all of each range in one row of cells, by whole bytes;
    // false, with nothing copied, where a cell does not start on a byte.
    bool CopySpan(int from, int to, int n);
    void MoveSpans(int from, int to, int n);
    // Whether each row of cells is one block of memory in both bitmaps, the cells filling it.
    bool BandsAreBlocks() const;
    // Row of cells `band` takes the cells `shift` places above it (down) or below it, fewer than
    // a row holds.
    void ShiftBand(int band, int shift, bool down);

    HBITMAP maskBitmap_ = nullptr;  // the list's; never destroyed here
    CellShape shape_;
    int count_ = 0;
    int perRow_ = 1;
    DibPixels image_;
    std::vector<std::uint8_t> maskBits_;
    std::size_t maskStride_ = 0;
    bool maskDirty_ = false;
};

}  // namespace iconvale
