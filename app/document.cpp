#include "app/document.h"

#include "app/group_files.h"
#include "app/progress_texts.h"
#include "core/image_order.h"

namespace iconvale {

// A list being replaced is held in a local until the listener has run: the view may draw from
// it up to the moment it is handed the new one.

void Document::Create(ImageGroup& made, COLORREF background) {
    ImageGroup outgoing;
    outgoing.TakeListFrom(group_);
    group_.TakeListFrom(made);
    group_.SetBackgroundColour(background);
    path_.clear();
    origin_.reset();
    modified_ = false;
    // A new group has nothing to save, so undoing back to it leaves nothing to save either.
    history_.Start(true);
    Announce(DocumentEvent::Created);
}

bool Document::Open(const std::string& path) {
    return Open(path, NoProgress());
}

bool Document::Open(const std::string& path, ProgressReporter& progress) {
    ImageGroup outgoing;
    outgoing.TakeListFrom(group_);
    path_ = path;
    modified_ = false;
    origin_.reset();
    const bool opened = ReadGroupFile(path_, group_, StepsFor(progress, kOpeningProgress));
    // Over before the announcement, so that the refresh's text is the one left in the pane.
    progress.End();
    if (opened) {
        history_.Start(true);
    } else {
        history_.Clear();
    }
    Announce(DocumentEvent::Opened);
    return opened;
}

bool Document::SaveTo(const std::string& path) {
    path_ = path;
    return SaveCopyTo(path_);
}

bool Document::SaveCopyTo(const std::string& path) {
    if (!WriteGroupFile(path, group_)) return false;
    modified_ = false;
    history_.MarkSaved();
    Announce(DocumentEvent::Saved);
    return true;
}

bool Document::Change(const Edit& edit) {
    return Apply(edit, false);
}

void Document::ReplaceWithUntitled(ImageGroup& imported) {
    ImageGroup outgoing;
    Apply(
        [&](ImageGroup& group) {
            outgoing.TakeListFrom(group);
            group.TakeListFrom(imported);
            return true;
        },
        true);
}

bool Document::Apply(const Edit& edit, bool untitled) {
    const bool hadGroup = group_.IsCreated();
    GroupChange step;
    group_.StartRecording(step);
    const bool changed = edit(group_);
    group_.StopRecording();
    // An edit that failed part way still changed the group: that much is a step too.
    if (!changed && step.empty()) return false;
    // Not saved anywhere yet, when untitled: Save asks for a name, and closing asks first.
    modified_ = true;
    if (untitled) {
        path_.clear();
        origin_.reset();
    }
    if ((untitled && !hadGroup) || step.lost) {
        // Nothing before this state can be reached from it.
        history_.Start(false);
    } else {
        history_.Record(std::move(step));
        // The group lost its file, so no earlier state is saved anywhere it could be found.
        if (untitled) history_.ForgetSaved();
    }
    Announce(untitled ? DocumentEvent::Created : DocumentEvent::Changed);
    return changed;
}

bool Document::Reorder(std::span<const int> order) {
    if (!IsPermutation(order, group_.GetCount())) return false;
    GroupChange step;
    group_.StartRecording(step);
    const bool moved = group_.Reorder(order);
    group_.StopRecording();
    if (!moved) return false;
    modified_ = true;
    if (step.lost) {
        history_.Start(false);
    } else {
        history_.Record(std::move(step));
    }
    Announce(DocumentEvent::Changed);
    return true;
}

bool Document::Undo() {
    ImageGroup outgoing;
    if (!history_.Undo([&](GroupChange& step) { return group_.TurnChange(step, outgoing); }))
        return false;
    AfterStep();
    return true;
}

bool Document::Redo() {
    ImageGroup outgoing;
    if (!history_.Redo([&](GroupChange& step) { return group_.TurnChange(step, outgoing); }))
        return false;
    AfterStep();
    return true;
}

void Document::AfterStep() {
    modified_ = !history_.IsAtSavedState();
    Announce(DocumentEvent::Changed);
}

void Document::Discard() {
    if (!group_.IsCreated() && !modified_) return;
    ImageGroup outgoing;
    outgoing.TakeListFrom(group_);
    modified_ = false;
    origin_.reset();
    history_.Clear();
    Announce(DocumentEvent::Discarded);
}

void Document::SetOrigin(FormOrigin origin) {
    origin_ = std::move(origin);
    originDepth_ = history_.UndoSteps();
}

const FormOrigin* Document::origin() const {
    // A history that dropped its oldest steps counts fewer: the origin then stays hidden, which
    // errs on the side of not writing.
    if (!origin_ || !group_.IsCreated() || history_.UndoSteps() < originDepth_) return nullptr;
    return &*origin_;
}

void Document::MarkWrittenBack(std::uint64_t fingerprint) {
    if (!origin_) return;
    origin_->fingerprint = fingerprint;
    modified_ = false;
    history_.MarkSaved();
    Announce(DocumentEvent::Saved);
}

void Document::Announce(DocumentEvent event) {
    if (listener_) listener_->OnDocument(event);
}

}  // namespace iconvale
