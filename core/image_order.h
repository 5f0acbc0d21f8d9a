// New orders of a group's images: a multi-selection moved as one block to where it is dropped,
// or moved one place up or down. Portable; no platform headers.
#pragma once

#include <optional>
#include <span>
#include <vector>

namespace iconvale {

// order[i] is the position, before the move, of the image that ends at position i. `moved`
// holds where the moved images end, ascending, so that the selection can follow them.
struct ImageOrder {
    std::vector<int> order;
    std::vector<int> moved;

    // False when every image stays where it was.
    bool Changes() const;
};

// The selected positions (any order, repeats allowed) moved as one block, keeping their order,
// into the gap before the image at `target` (0..count; count is the end). Nullopt when a
// position or the target is out of range.
std::optional<ImageOrder> MoveBlock(int count, std::span<const int> selected, int target);

// Each selected image moved one place towards the start (step -1) or the end (step +1), past the
// unselected image there. When one of them is already at that edge nothing moves. Nullopt when
// a position is out of range or the step is neither.
std::optional<ImageOrder> MoveByOne(int count, std::span<const int> selected, int step);

// Whether `order` holds each of 0..count-1 exactly once.
bool IsPermutation(std::span<const int> order, int count);

}  // namespace iconvale
