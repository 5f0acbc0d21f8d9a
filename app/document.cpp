#include "app/document.h"

#include "app/group_files.h"
#include "app/progress_texts.h"

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
    if (!edit(group_)) return false;
    // Not saved anywhere yet, when untitled: Save asks for a name, and closing asks first.
    modified_ = true;
    if (untitled) path_.clear();
    Announce(untitled ? DocumentEvent::Created : DocumentEvent::Changed);
    return true;
}

void Document::Discard() {
    if (!group_.IsCreated() && !modified_) return;
    ImageGroup outgoing;
    outgoing.TakeListFrom(group_);
    modified_ = false;
    Announce(DocumentEvent::Discarded);
}

void Document::Announce(DocumentEvent event) {
    if (listener_) listener_->OnDocument(event);
}

}  // namespace iconvale
