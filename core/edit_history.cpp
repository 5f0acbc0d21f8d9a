#include "core/edit_history.h"

#include <new>

namespace iconvale {

void EditHistory::Clear() {
    states_.clear();
    position_ = 0;
    saved_.reset();
    held_ = 0;
}

// The current state as an empty entry: the group is in a state no snapshot holds, so there is
// nothing before it to undo to, but it can still be the saved one and be redone to.
void EditHistory::StartUnrecorded() {
    Clear();
    try {
        states_.emplace_back();
    } catch (const std::bad_alloc&) {
    }
}

void EditHistory::Start(Bytes current, bool saved) {
    Clear();
    if (current.empty()) {
        StartUnrecorded();
    } else {
        const std::size_t size = current.size();
        try {
            states_.push_back(std::move(current));
            held_ = size;
        } catch (const std::bad_alloc&) {
            StartUnrecorded();
        }
    }
    if (saved && !states_.empty()) saved_ = 0;
}

bool EditHistory::Record(Bytes current) {
    if (current.empty()) {
        StartUnrecorded();
        return false;
    }
    DropAfterCurrent();
    const std::size_t size = current.size();
    try {
        states_.push_back(std::move(current));
    } catch (const std::bad_alloc&) {
        StartUnrecorded();
        return false;
    }
    held_ += size;
    position_ = states_.size() - 1;
    DropOldestOverBudget();
    return true;
}

std::size_t EditHistory::UndoSteps() const {
    // Only an unrecorded first state is empty, and it cannot be undone to.
    if (states_.empty()) return 0;
    return states_.front().empty() ? position_ - (position_ > 0 ? 1 : 0) : position_;
}

void EditHistory::MarkSaved() {
    if (!states_.empty()) saved_ = position_;
}

void EditHistory::DropAfterCurrent() {
    while (CanRedo()) {
        held_ -= states_.back().size();
        states_.pop_back();
    }
    if (saved_ && *saved_ >= states_.size()) saved_.reset();
}

void EditHistory::DropOldestOverBudget() {
    while (held_ > budget_ && position_ > 0) {
        held_ -= states_.front().size();
        states_.pop_front();
        --position_;
        if (saved_) saved_ = *saved_ > 0 ? std::optional<std::size_t>(*saved_ - 1) : std::nullopt;
    }
}

}  // namespace iconvale
