// A new image list filled with cells in order, with the header fields the Windows build's
// group writes for a list made and added to the same way. Portable.
#pragma once

#include "core/image_list_stream.h"
#include "imaging/picture_cells.h"

namespace iconvale {

class PictureGroup {
public:
    // A list of cells of that format, empty, as a new group starts (capacity 1, growth 4).
    explicit PictureGroup(const CellFormat& format);

    // Appends the block's cells; false, with nothing appended, when the list would then hold
    // more than 65535 images or memory runs out.
    bool Append(const CellBlock& block);

    int Count() const { return list_.count; }
    const ImageListData& List() const { return list_; }

private:
    ImageListData list_;
};

}  // namespace iconvale
