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
    modified_ = false;
    // A new group has nothing to save, so undoing back to it leaves nothing to save either.
    history_.Start(group_.SnapshotBytes(), true);
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
    const bool opened = ReadGroupFile(path_, group_, StepsFor(progress, kOpeningProgress));
    // Over before the announcement, so that the refresh's text is the one left in the pane.
    progress.End();
    if (opened) {
        history_.Start(group_.SnapshotBytes(), true);
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
    if (!edit(group_)) return false;
    // Not saved anywhere yet, when untitled: Save asks for a name, and closing asks first.
    modified_ = true;
    if (untitled) path_.clear();
    if (untitled && !hadGroup) {
        history_.Start(group_.SnapshotBytes(), false);
    } else {
        history_.Record(group_.SnapshotBytes());
        // The group lost its file, so no earlier state is saved anywhere it could be found.
        if (untitled) history_.ForgetSaved();
    }
    Announce(untitled ? DocumentEvent::Created : DocumentEvent::Changed);
    return true;
}

bool Document::Reorder(std::span<const int> order) {
    if (!IsPermutation(order, group_.GetCount())) return false;
    Bytes reordered = group_.SnapshotBytes(order);
    ImageGroup outgoing;
    if (reordered.empty() || !Restore(reordered, outgoing)) return false;
    modified_ = true;
    // The reordered snapshot is exactly the new state: no second copy is taken for the history.
    history_.Record(std::move(reordered));
    Announce(DocumentEvent::Changed);
    return true;
}

bool Document::Restore(std::span<const std::uint8_t> snapshot, ImageGroup& outgoing) {
    ImageGroup restored;
    if (!restored.RestoreFromBytes(snapshot)) return false;
    outgoing.TakeListFrom(group_);
    group_.TakeListFrom(restored);
    return true;
}

bool Document::Undo() {
    ImageGroup outgoing;
    if (!history_.Undo([&](auto snapshot) { return Restore(snapshot, outgoing); })) return false;
    AfterStep();
    return true;
}

bool Document::Redo() {
    ImageGroup outgoing;
    if (!history_.Redo([&](auto snapshot) { return Restore(snapshot, outgoing); })) return false;
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
    history_.Clear();
    Announce(DocumentEvent::Discarded);
}

void Document::Announce(DocumentEvent event) {
    if (listener_) listener_->OnDocument(event);
}

}  // namespace iconvale
