// One undo step of an image group, kept as what changed rather than as a copy: each operation
// holds what it takes to turn it round, and turning it round leaves the operation that undoes
// that in its place, so the same record serves undo and redo. Portable; no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/bytes.h"

namespace iconvale {

struct CellChange {
    enum class Kind {
        kReplaced,  // cells index..index+count-1 were `cells`
        kRemoved,   // `cells` stood at index..index+count-1 and were taken out
        kInserted,  // cells index..index+count-1 were put in
        kMoved,     // position p came from `moves` (p, from); the others stayed
        kWhole,     // the whole group was `cells`, a snapshot (core/group_snapshot.h)
    };
    Kind kind = Kind::kReplaced;
    int index = 0;
    int count = 0;
    Bytes cells;
    // kRemoved from a 32-bit list: whether the platform drew each cell through its alpha.
    std::vector<std::uint8_t> marks;
    std::vector<std::pair<int, int>> moves;
    bool hadGroup = true;  // kWhole: false when there was no group, and `cells` is empty

    std::size_t HeldBytes() const {
        return sizeof(CellChange) + cells.size() + marks.size() + moves.size() * sizeof(moves[0]);
    }
};

struct GroupChange {
    std::vector<CellChange> cells;
    // The stream fields and background colour the group had on the other side of the step,
    // opaque here; exchanged with the group's own at each turn.
    Bytes fields;
    // Where the images on the other side of the step came from in an imported multi-size list
    // (core/image_sources.h), exchanged with the document's own at each turn; empty when not
    // followed.
    std::vector<int> sources;
    // A change could not be recorded (no memory for the cells it replaced).
    bool lost = false;

    bool empty() const { return cells.empty(); }
    std::size_t HeldBytes() const {
        std::size_t bytes = sizeof(GroupChange) + fields.size() + sources.size() * sizeof(int);
        for (const auto& change : cells) bytes += change.HeldBytes();
        return bytes;
    }
};

}  // namespace iconvale
