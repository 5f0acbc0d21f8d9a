#include "core/image_sources.h"

#include <algorithm>
#include <utility>

namespace iconvale {

namespace {

using Kind = CellChange::Kind;

// One change as it happened; false when it cannot be followed.
bool Follow(const CellChange& change, std::vector<int>& sources) {
    const auto size = static_cast<int>(sources.size());
    switch (change.kind) {
        case Kind::kReplaced:
            if (change.index < 0 || change.index + change.count > size) return false;
            std::fill_n(sources.begin() + change.index, change.count, kNewImage);
            return true;
        case Kind::kRemoved:
            if (change.index < 0 || change.index + change.count > size) return false;
            sources.erase(sources.begin() + change.index,
                          sources.begin() + change.index + change.count);
            return true;
        case Kind::kInserted:
            if (change.index < 0 || change.index > size || change.count < 0) return false;
            sources.insert(sources.begin() + change.index, change.count, kNewImage);
            return true;
        case Kind::kMoved: {
            // Recorded as the moves that turn it back: for (p, q) the image now at q came
            // from p, where the undo puts it again.
            const std::vector<int> before = sources;
            for (const auto& [from, to] : change.moves) {
                if (to < 0 || to >= size || from < 0 || from >= size) return false;
                sources[to] = before[from];
            }
            return true;
        }
        case Kind::kWhole:
            return false;
    }
    return false;
}

}  // namespace

std::vector<int> SourcesAfter(const GroupChange& step, std::vector<int> sources, int countAfter) {
    bool followed = !step.lost;
    for (const CellChange& change : step.cells) {
        if (!followed) break;
        followed = Follow(change, sources);
    }
    if (!followed || static_cast<int>(sources.size()) != countAfter) {
        sources.assign(std::max(countAfter, 0), kNewImage);
    }
    return sources;
}

}  // namespace iconvale
