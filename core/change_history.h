// The undo history of a document kept as steps (what each change did), not as states: undo turns
// the step before the current state round, redo the one after it. It knows which state the file
// holds, and drops the oldest steps when it holds more than its budget. Portable; no platform
// headers. A Step has HeldBytes().
#pragma once

#include <cstddef>
#include <deque>
#include <new>
#include <optional>

#include "core/edit_history.h"

namespace iconvale {

template <typename Step>
class ChangeHistory {
public:
    explicit ChangeHistory(std::size_t budgetBytes = kHistoryBudgetBytes) : budget_(budgetBytes) {}

    // Nothing to undo or redo; the current state is the saved one when `saved`.
    void Start(bool saved) {
        steps_.clear();
        position_ = 0;
        held_ = 0;
        saved_ = saved ? std::optional<std::size_t>(0) : std::nullopt;
    }
    // Nothing to undo or redo, and no state is the saved one.
    void Clear() { Start(false); }

    // The step that led to the current state: the redo side goes, then the oldest steps while
    // the history is over its budget. Without memory to keep it, nothing before it can be undone.
    bool Record(Step step) {
        while (CanRedo()) Pop(false);
        if (saved_ && *saved_ > position_) saved_.reset();
        const std::size_t bytes = step.HeldBytes();
        try {
            steps_.push_back(std::move(step));
        } catch (const std::bad_alloc&) {
            Start(false);
            return false;
        }
        held_ += bytes;
        ++position_;
        while (held_ > budget_ && !steps_.empty()) Pop(true);
        return true;
    }

    bool CanUndo() const { return position_ > 0; }
    bool CanRedo() const { return position_ < steps_.size(); }
    std::size_t UndoSteps() const { return position_; }
    std::size_t RedoSteps() const { return steps_.size() - position_; }

    // Hands the step to turn round to `apply` (taking Step&, returning bool) and moves there when
    // it returns true. The step may change size as it turns.
    template <typename Apply>
    bool Undo(Apply&& apply) {
        return CanUndo() && Turn(steps_[position_ - 1], apply) && (--position_, true);
    }
    template <typename Apply>
    bool Redo(Apply&& apply) {
        return CanRedo() && Turn(steps_[position_], apply) && (++position_, true);
    }

    void MarkSaved() { saved_ = position_; }
    void ForgetSaved() { saved_.reset(); }
    bool IsAtSavedState() const { return saved_ && *saved_ == position_; }

    std::size_t HeldBytes() const { return held_; }
    std::size_t BudgetBytes() const { return budget_; }

private:
    template <typename Apply>
    bool Turn(Step& step, Apply& apply) {
        const std::size_t before = step.HeldBytes();
        const bool turned = apply(step);
        held_ = held_ - before + step.HeldBytes();
        return turned;
    }

    void Pop(bool oldest) {
        if (oldest) {
            held_ -= steps_.front().HeldBytes();
            steps_.pop_front();
            --position_;
            // The saved state went with the oldest step when it lay before it.
            if (saved_)
                saved_ = *saved_ > 0 ? std::optional<std::size_t>(*saved_ - 1) : std::nullopt;
        } else {
            held_ -= steps_.back().HeldBytes();
            steps_.pop_back();
        }
    }

    std::size_t budget_;
    std::deque<Step> steps_;
    std::size_t position_ = 0;  // steps_[position_ - 1] led to the current state
    std::optional<std::size_t> saved_;
    std::size_t held_ = 0;
};

}  // namespace iconvale
