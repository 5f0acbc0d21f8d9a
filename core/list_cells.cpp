#include "core/list_cells.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "core/bit_rows.h"
#include "ui/large_buffer.h"

namespace iconvale {

std::size_t CellShape::ImageRowBytes() const {
    return static_cast<std::size_t>(RowStride(width, bits));
}

std::size_t CellShape::MaskRowBytes() const {
    return static_cast<std::size_t>(RowStride(width, 1));
}

std::size_t CellShape::CellBytes() const {
    return (ImageRowBytes() + (mask ? MaskRowBytes() : 0)) * height;
}

namespace {

bool CellAt(HIMAGELIST list, int index, int x, int y) {
    IMAGEINFO info{};
    return ::ImageList_GetImageInfo(list, index, &info) && info.rcImage.left == x &&
           info.rcImage.top == y;
}

}  // namespace

std::optional<ListCells> ListCells::Open(HIMAGELIST list, const CellShape& shape, int upTo,
                                         MaskCopy* kept) {
    IMAGEINFO info{};
    const int count = ::ImageList_GetImageCount(list);
    if (count < 1 || upTo >= count || !::ImageList_GetImageInfo(list, 0, &info))
        return std::nullopt;
    const auto image = DibSectionPixels(info.hbmImage, shape.bits);
    if (!image || image->width < shape.width) return std::nullopt;
    ListCells cells;
    cells.shape_ = shape;
    cells.count_ = upTo < 0 ? count : upTo + 1;
    cells.image_ = *image;
    cells.perRow_ = image->width / shape.width;
    // The grid is checked at its corners: the platform lays every cell out by one rule.
    for (int i : {0, count / 2, count - 1}) {
        const int x = i % cells.perRow_ * shape.width;
        const int y = i / cells.perRow_ * shape.height;
        if (!CellAt(list, i, x, y) || y + shape.height > image->height) return std::nullopt;
    }
    if (!shape.mask) return cells;

    // Only a monochrome device-dependent mask, as the platform keeps it, is taken: its bits come
    // and go in one copy each, a set bit transparent, from the top as far as the cells reached.
    BITMAP bm{};
    if (::GetObjectW(info.hbmMask, sizeof(DIBSECTION), &bm) != sizeof(BITMAP) ||
        bm.bmBitsPixel != 1 || bm.bmPlanes != 1 || bm.bmWidth != image->width ||
        bm.bmHeight != image->height) {
        return std::nullopt;
    }
    cells.maskStride_ = static_cast<std::size_t>(WordRowStride(bm.bmWidth, 1));
    const int rows = std::min<int>(
        bm.bmHeight, (cells.count_ - 1) / cells.perRow_ * shape.height + shape.height);
    const std::size_t size = cells.maskStride_ * rows;
    if (static_cast<std::size_t>(bm.bmWidthBytes) != cells.maskStride_ || size > LONG_MAX)
        return std::nullopt;
    // Reading the mask back from the platform costs more than writing it: a copy kept from the
    // last write of this very mask is taken instead.
    if (kept && kept->bitmap == info.hbmMask && kept->bits.size() == size) {
        cells.maskBits_ = std::move(kept->bits);
    } else if (!TryResize(cells.maskBits_, size) ||
               ::GetBitmapBits(info.hbmMask, static_cast<LONG>(size), cells.maskBits_.data()) !=
                   static_cast<LONG>(size)) {
        return std::nullopt;
    }
    if (kept) *kept = {};
    cells.maskBitmap_ = info.hbmMask;
    return cells;
}

std::uint8_t* ListCells::ImageRow(int index, int y) const {
    return image_.Row(index / perRow_ * shape_.height + y);
}

std::uint8_t* ListCells::MaskRow(int index, int y) const {
    return const_cast<std::uint8_t*>(maskBits_.data()) +
           static_cast<std::size_t>(index / perRow_ * shape_.height + y) * maskStride_;
}

std::size_t ListCells::ImageBit(int index) const {
    return static_cast<std::size_t>(index % perRow_) * shape_.width * shape_.bits;
}

std::size_t ListCells::MaskBit(int index) const {
    return static_cast<std::size_t>(index % perRow_) * shape_.width;
}

Bytes ListCells::Read(int first, int n) const {
    Bytes out;
    if (first < 0 || n < 0 || first + n > count_ ||
        !TryResize(out, shape_.CellBytes() * static_cast<std::size_t>(n))) {
        return {};
    }
    const std::size_t imageBits = static_cast<std::size_t>(shape_.width) * shape_.bits;
    std::uint8_t* at = out.data();
    for (int i = first; i < first + n; ++i) {
        for (int y = 0; y < shape_.height; ++y, at += shape_.ImageRowBytes()) {
            CopyBits(at, 0, ImageRow(i, y), ImageBit(i), imageBits);
        }
        if (!shape_.mask) continue;
        for (int y = 0; y < shape_.height; ++y, at += shape_.MaskRowBytes()) {
            CopyBits(at, 0, MaskRow(i, y), MaskBit(i), static_cast<std::size_t>(shape_.width));
        }
    }
    return out;
}

void ListCells::Write(int first, int n, const std::uint8_t* cells) {
    const std::size_t imageBits = static_cast<std::size_t>(shape_.width) * shape_.bits;
    for (int i = first; i < first + n; ++i) {
        for (int y = 0; y < shape_.height; ++y, cells += shape_.ImageRowBytes()) {
            CopyBits(ImageRow(i, y), ImageBit(i), cells, 0, imageBits);
        }
        if (!shape_.mask) continue;
        for (int y = 0; y < shape_.height; ++y, cells += shape_.MaskRowBytes()) {
            CopyBits(MaskRow(i, y), MaskBit(i), cells, 0, static_cast<std::size_t>(shape_.width));
        }
        maskDirty_ = true;
    }
}

void ListCells::CopyCell(int from, int to) {
    const std::size_t imageBits = static_cast<std::size_t>(shape_.width) * shape_.bits;
    for (int y = 0; y < shape_.height; ++y) {
        CopyBits(ImageRow(to, y), ImageBit(to), ImageRow(from, y), ImageBit(from), imageBits);
        if (shape_.mask) {
            CopyBits(MaskRow(to, y), MaskBit(to), MaskRow(from, y), MaskBit(from),
                     static_cast<std::size_t>(shape_.width));
        }
    }
    maskDirty_ = maskDirty_ || shape_.mask;
}

bool ListCells::CopySpan(int from, int to, int n) {
    const std::size_t imageBits = static_cast<std::size_t>(shape_.width) * shape_.bits;
    const std::size_t maskBits = static_cast<std::size_t>(shape_.width);
    if (imageBits % 8 != 0 || (shape_.mask && maskBits % 8 != 0)) return false;
    // The cells of a span sit side by side in each row of the bitmaps: a row's part is one move.
    const std::size_t imageBytes = imageBits / 8 * n;
    const std::size_t maskBytes = maskBits / 8 * n;
    for (int y = 0; y < shape_.height; ++y) {
        std::memmove(ImageRow(to, y) + ImageBit(to) / 8, ImageRow(from, y) + ImageBit(from) / 8,
                     imageBytes);
        if (shape_.mask) {
            std::memmove(MaskRow(to, y) + MaskBit(to) / 8, MaskRow(from, y) + MaskBit(from) / 8,
                         maskBytes);
        }
    }
    maskDirty_ = maskDirty_ || shape_.mask;
    return true;
}

void ListCells::Move(int from, int to, int n) {
    if (to == from || n < 1) return;
    const bool down = to < from;
    const int shift = down ? from - to : to - from;
    // The rows of cells that lie wholly among the destinations.
    const int firstBand = (to + perRow_ - 1) / perRow_;
    const int endBand = (to + n) / perRow_;
    if (shift >= perRow_ || endBand <= firstBand || !BandsAreBlocks()) {
        MoveSpans(from, to, n);
        return;
    }
    const int head = firstBand * perRow_ - to;
    const int tail = endBand * perRow_ - to;
    if (down) {
        MoveSpans(from, to, head);
        for (int band = firstBand; band < endBand; ++band) ShiftBand(band, shift, down);
        MoveSpans(from + tail, to + tail, n - tail);
    } else {
        MoveSpans(from + tail, to + tail, n - tail);
        for (int band = endBand - 1; band >= firstBand; --band) ShiftBand(band, shift, down);
        MoveSpans(from, to, head);
    }
}

bool ListCells::BandsAreBlocks() const {
    const std::size_t imageBits = static_cast<std::size_t>(shape_.width) * shape_.bits;
    if (imageBits % 8 != 0 || image_.stride != imageBits / 8 * perRow_) return false;
    return !shape_.mask ||
           (shape_.width % 8 == 0 && maskStride_ == static_cast<std::size_t>(shape_.width) / 8 *
                                                        static_cast<std::size_t>(perRow_));
}

void ListCells::ShiftBand(int band, int shift, bool down) {
    // A row of cells is one block of memory, its rows of pixels one after another: moved by the
    // shift in one go, each row of pixels is right but for the cells that cross from the next row
    // of cells (or the one before), which are put in after.
    const int first = band * perRow_;
    auto shiftPlane = [&](auto rowOf, std::size_t cellBytes) {
        std::uint8_t* top = rowOf(first, 0);
        std::uint8_t* bottom = rowOf(first, shape_.height - 1);
        std::uint8_t* block = std::min(top, bottom);
        const std::size_t size = cellBytes * perRow_ * shape_.height;
        const std::size_t by = cellBytes * shift;
        const std::size_t kept = cellBytes * (perRow_ - shift);
        if (down) {
            std::memmove(block, block + by, size - by);
            for (int y = 0; y < shape_.height; ++y)
                std::memcpy(rowOf(first, y) + kept, rowOf(first + perRow_, y), by);
        } else {
            std::memmove(block + by, block, size - by);
            for (int y = 0; y < shape_.height; ++y)
                std::memcpy(rowOf(first, y), rowOf(first - perRow_, y) + kept, by);
        }
    };
    shiftPlane([this](int index, int y) { return ImageRow(index, y); },
               static_cast<std::size_t>(shape_.width) * shape_.bits / 8);
    if (shape_.mask) {
        shiftPlane([this](int index, int y) { return MaskRow(index, y); },
                   static_cast<std::size_t>(shape_.width) / 8);
        maskDirty_ = true;
    }
}

void ListCells::MoveSpans(int from, int to, int n) {
    if (to == from || n < 1) return;
    // Copied in the direction that never overwrites a cell before it has been moved, in spans
    // that stay within one row of cells at both ends.
    if (to < from) {
        for (int k = 0; k < n;) {
            const int span =
                std::min({n - k, perRow_ - (from + k) % perRow_, perRow_ - (to + k) % perRow_});
            if (!CopySpan(from + k, to + k, span)) {
                for (int i = 0; i < span; ++i) CopyCell(from + k + i, to + k + i);
            }
            k += span;
        }
    } else {
        for (int k = n; k > 0;) {
            const int span =
                std::min({k, (from + k - 1) % perRow_ + 1, (to + k - 1) % perRow_ + 1});
            k -= span;
            if (!CopySpan(from + k, to + k, span)) {
                for (int i = span - 1; i >= 0; --i) CopyCell(from + k + i, to + k + i);
            }
        }
    }
}

void ListCells::KeepMask(MaskCopy& kept) {
    if (maskDirty_ || !maskBitmap_) return;
    kept.bitmap = maskBitmap_;
    kept.bits = std::move(maskBits_);
    maskBitmap_ = nullptr;
}

bool ListCells::Commit() {
    ::GdiFlush();
    if (!maskDirty_) return true;
    maskDirty_ = false;
    const auto size = static_cast<LONG>(maskBits_.size());
    return ::SetBitmapBits(maskBitmap_, static_cast<DWORD>(size), maskBits_.data()) == size;
}

}  // namespace iconvale
