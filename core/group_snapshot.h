// A whole image group as the edit history keeps it: the stream's fields, then every image's
// pixels and every mask packed one image after another, rows as ImageListData keeps them. Nothing
// else is stored, so that a snapshot costs little more than the pixels themselves. Snapshots live
// only in memory, within one run of the program. Portable; no platform headers.
#pragma once

#include <optional>
#include <span>

#include "core/bytes.h"
#include "core/cell_rows.h"
#include "core/image_list_stream.h"

namespace iconvale {

// The snapshot of a list with the fields of `fields` (its own pixels and mask are not read) and
// the first fields.count cells of `image` and `mask`, null when the flags ask for no mask.
// Image order[i] of the cells becomes image i; an empty order keeps them as they are. Empty
// bytes when the fields are inconsistent, the order is not one of every cell, or memory runs out.
Bytes WriteGroupSnapshot(const ImageListData& fields, const CellRows& image, const CellRows* mask,
                         std::span<const int> order = {});

// A snapshot read back: every field but the pixels in `fields`, and the cells where they lie in
// the snapshot's bytes, which must outlive them.
struct GroupSnapshotView {
    ImageListData fields;
    CellRows image;
    std::optional<CellRows> mask;
};

// Nullopt unless the bytes are a whole snapshot with consistent fields.
std::optional<GroupSnapshotView> ReadGroupSnapshot(std::span<const std::uint8_t> bytes);

}  // namespace iconvale
