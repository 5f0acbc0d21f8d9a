#include "app/document.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include "app/group_files.h"
#include "app/progress_texts.h"
#include "core/image_order.h"
#include "core/image_sources.h"

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
    sources_.clear();
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
    sources_.clear();
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
        sources_.clear();
    }
    ForgetHiddenOrigin();
    if ((untitled && !hadGroup) || step.lost) {
        // Nothing before this state can be reached from it.
        history_.Start(false);
        if (origin_) LoseSources();
    } else {
        FollowSources(step);
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
    ForgetHiddenOrigin();
    if (step.lost) {
        history_.Start(false);
        if (origin_) LoseSources();
    } else {
        FollowSources(step);
        history_.Record(std::move(step));
    }
    Announce(DocumentEvent::Changed);
    return true;
}

bool Document::Undo() {
    ImageGroup outgoing;
    if (!history_.Undo([&](GroupChange& step) { return TurnStep(step, outgoing); })) return false;
    AfterStep();
    return true;
}

bool Document::Redo() {
    ImageGroup outgoing;
    if (!history_.Redo([&](GroupChange& step) { return TurnStep(step, outgoing); })) return false;
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
    sources_.clear();
    history_.Clear();
    Announce(DocumentEvent::Discarded);
}

void Document::LoseSources() {
    // The history starts over from here: what the group holds is still the import's, but which
    // image came from where is no longer known.
    originDepth_ = 0;
    std::fill(sources_.begin(), sources_.end(), kNewImage);
    sources_.resize(std::max(group_.GetCount(), 0), kNewImage);
}

void Document::SetOrigin(FormOrigin origin) {
    origin_ = std::move(origin);
    originDepth_ = history_.UndoSteps();
    sources_.clear();
    if (origin_->followSources) {
        sources_.resize(std::max(group_.GetCount(), 0));
        std::iota(sources_.begin(), sources_.end(), 0);
        fileIndex_ = sources_;
    }
}

void Document::ForgetHiddenOrigin() {
    // An edit after an undo back past the import starts from a group that did not come from
    // the form, and the redo that would have led back there is gone.
    if (origin_ && history_.UndoSteps() < originDepth_) {
        origin_.reset();
        sources_.clear();
    }
}

void Document::FollowSources(GroupChange& step) {
    if (!origin_ || !origin_->followSources) return;
    std::vector<int> after = SourcesAfter(step, sources_, group_.GetCount());
    step.sources = std::exchange(sources_, std::move(after));
}

bool Document::TurnStep(GroupChange& step, ImageGroup& outgoing) {
    if (!group_.TurnChange(step, outgoing)) return false;
    std::swap(step.sources, sources_);
    return true;
}

const FormOrigin* Document::origin() const {
    // A history that dropped its oldest steps counts fewer: the origin then stays hidden, which
    // errs on the side of not writing.
    if (!origin_ || !group_.IsCreated() || history_.UndoSteps() < originDepth_) return nullptr;
    return &*origin_;
}

std::vector<int> Document::SourcesInFile() const {
    std::vector<int> inFile;
    if (!origin() || !origin_->followSources) return inFile;
    inFile.reserve(sources_.size());
    for (int source : sources_) {
        const bool known = source >= 0 && source < static_cast<int>(fileIndex_.size());
        inFile.push_back(known ? fileIndex_[source] : kNewImage);
    }
    return inFile;
}

void Document::MarkWrittenBack(std::uint64_t fingerprint) {
    if (!origin_) return;
    // The file now holds the group's images in its order; those added since the import have no
    // imported index, and count as new again in a later write-back (their other sizes are made
    // from them once more).
    if (origin_->followSources) {
        std::fill(fileIndex_.begin(), fileIndex_.end(), kNewImage);
        for (std::size_t p = 0; p < sources_.size(); ++p) {
            const int source = sources_[p];
            if (source >= 0 && source < static_cast<int>(fileIndex_.size()))
                fileIndex_[source] = static_cast<int>(p);
        }
    }
    origin_->fingerprint = fingerprint;
    modified_ = false;
    history_.MarkSaved();
    Announce(DocumentEvent::Saved);
}

void Document::Announce(DocumentEvent event) {
    if (listener_) listener_->OnDocument(event);
}

}  // namespace iconvale
