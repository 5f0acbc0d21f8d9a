// The states an image group has been in, for undo and redo: one snapshot per state, the current
// one among them, oldest first. It also knows which state the file holds, so that its owner can
// tell whether the group is modified. Portable; no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>

#include "core/bytes.h"

namespace iconvale {

inline constexpr std::size_t kHistoryBudgetBytes = std::size_t{256} << 20;

class EditHistory {
public:
    explicit EditHistory(std::size_t budgetBytes = kHistoryBudgetBytes) : budget_(budgetBytes) {}

    // Nothing to undo or redo, and no state is the saved one.
    void Clear();

    // Starts over at `current`, a new, opened or imported group; `saved` when it is what the
    // file holds. Empty bytes (a snapshot that failed) leave nothing to undo to.
    void Start(Bytes current, bool saved);

    // The state after one change becomes the current one: the redo side goes, then the oldest
    // states while the history is over its budget. With empty bytes, or no memory to keep them,
    // every earlier state goes too, since none of them leads to this one any more; false then.
    bool Record(Bytes current);

    bool CanUndo() const { return position_ > 0 && !states_[position_ - 1].empty(); }
    bool CanRedo() const { return position_ + 1 < states_.size(); }
    std::size_t UndoSteps() const;
    std::size_t RedoSteps() const { return CanRedo() ? states_.size() - position_ - 1 : 0; }

    // Hands the state one step back (or forward) to `restore`, a callable taking the snapshot as
    // std::span<const std::uint8_t> and returning bool, and moves there when it returns true.
    template <typename Restore>
    bool Undo(Restore&& restore);
    template <typename Restore>
    bool Redo(Restore&& restore);

    // The current state is now what the file holds.
    void MarkSaved();
    // No state is what the file holds any more, as when the group lost its file.
    void ForgetSaved() { saved_.reset(); }
    // Whether the current state is the saved one; false once the saved state has been dropped.
    bool IsAtSavedState() const { return saved_ && *saved_ == position_ && !states_.empty(); }

    std::size_t HeldBytes() const { return held_; }
    std::size_t BudgetBytes() const { return budget_; }

private:
    void DropAfterCurrent();
    void DropOldestOverBudget();
    void StartUnrecorded();

    std::size_t budget_;
    std::deque<Bytes> states_;
    std::size_t position_ = 0;  // of the current state in states_
    std::optional<std::size_t> saved_;
    std::size_t held_ = 0;
};

template <typename Restore>
bool EditHistory::Undo(Restore&& restore) {
    if (!CanUndo() || !restore(std::span<const std::uint8_t>(states_[position_ - 1]))) {
        return false;
    }
    --position_;
    return true;
}

template <typename Restore>
bool EditHistory::Redo(Restore&& restore) {
    if (!CanRedo() || !restore(std::span<const std::uint8_t>(states_[position_ + 1]))) {
        return false;
    }
    ++position_;
    return true;
}

}  // namespace iconvale
