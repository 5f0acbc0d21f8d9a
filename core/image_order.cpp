#include "core/image_order.h"

#include <algorithm>
#include <numeric>

namespace iconvale {

namespace {

// The selection sorted without repeats, or nullopt when a position is outside 0..count-1.
std::optional<std::vector<int>> SortedSelection(int count, std::span<const int> selected) {
    std::vector<int> sorted(selected.begin(), selected.end());
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (!sorted.empty() && (sorted.front() < 0 || sorted.back() >= count)) return std::nullopt;
    return sorted;
}

std::vector<int> Identity(int count) {
    std::vector<int> order(static_cast<std::size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

}  // namespace

bool ImageOrder::Changes() const {
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] != static_cast<int>(i)) return true;
    }
    return false;
}

std::optional<ImageOrder> MoveBlock(int count, std::span<const int> selected, int target) {
    if (count < 0 || target < 0 || target > count) return std::nullopt;
    auto block = SortedSelection(count, selected);
    if (!block) return std::nullopt;

    std::vector<int> rest;
    rest.reserve(static_cast<std::size_t>(count) - block->size());
    int restBeforeTarget = 0;
    for (int i = 0, next = 0; i < count; ++i) {
        if (next < static_cast<int>(block->size()) && (*block)[next] == i) {
            ++next;
            continue;
        }
        rest.push_back(i);
        if (i < target) ++restBeforeTarget;
    }

    ImageOrder result;
    result.order = std::move(rest);
    result.order.insert(result.order.begin() + restBeforeTarget, block->begin(), block->end());
    result.moved.resize(block->size());
    std::iota(result.moved.begin(), result.moved.end(), restBeforeTarget);
    return result;
}

std::optional<ImageOrder> MoveByOne(int count, std::span<const int> selected, int step) {
    if (count < 0 || (step != -1 && step != 1)) return std::nullopt;
    auto sorted = SortedSelection(count, selected);
    if (!sorted) return std::nullopt;

    ImageOrder result{Identity(count), *sorted};
    const bool atEdge =
        !sorted->empty() && (step < 0 ? sorted->front() == 0 : sorted->back() == count - 1);
    if (atEdge) return result;
    // Going through the selection from the edge it moves towards, each image trades places with
    // the one beside it, which by then is the unselected image that stood before its run.
    auto trade = [&](int position) {
        std::swap(result.order[position], result.order[position + step]);
    };
    if (step < 0) {
        std::for_each(sorted->begin(), sorted->end(), trade);
    } else {
        std::for_each(sorted->rbegin(), sorted->rend(), trade);
    }
    for (int& position : result.moved) position += step;
    return result;
}

bool IsPermutation(std::span<const int> order, int count) {
    if (count < 0 || order.size() != static_cast<std::size_t>(count)) return false;
    std::vector<bool> seen(order.size(), false);
    for (int position : order) {
        if (position < 0 || position >= count || seen[position]) return false;
        seen[position] = true;
    }
    return true;
}

}  // namespace iconvale
