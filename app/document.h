// The open document: the one image group, the file it belongs to, whether it holds changes
// not yet saved, and its undo history. Everything that alters it passes through here, is one
// undo step, and is announced, once per operation, to one listener (the view's presenter).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/change_history.h"
#include "core/group_change.h"
#include "core/image_group.h"
#include "ui/progress_reporter.h"

namespace iconvale {

enum class DocumentEvent {
    Created,    // a new untitled group: made by the user, or imported from another program's file
    Opened,     // read from its file, or not (then there is no group, but the file is kept)
    Saved,      // written to its file or to a copy; nothing is left unsaved
    Changed,    // the group was edited
    Discarded,  // the group is gone with its changes
};

// The list of another program's file that an imported group came from, so that the group can
// be written back into it.
struct FormOrigin {
    std::string path;
    std::string list;               // the component's name
    std::size_t size = 0;           // which of the list's sizes
    std::uint64_t fingerprint = 0;  // of the list's stored bytes when they were read
    bool followSources = false;     // the list has other sizes, to be kept in step
};

class DocumentListener {
public:
    virtual void OnDocument(DocumentEvent event) = 0;

protected:
    ~DocumentListener() = default;
};

class Document {
public:
    // Alters the group in place; true when it changed something that needs saving.
    using Edit = std::function<bool(ImageGroup&)>;

    Document() = default;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // One at a time; null for none. The listener must outlive the document or be removed first.
    void SetListener(DocumentListener* listener) { listener_ = listener; }
    DocumentListener* listener() const { return listener_; }

    // The same object for the document's whole life; only the list inside it is replaced.
    const ImageGroup& group() const { return group_; }
    bool HasGroup() const { return group_.IsCreated(); }
    const std::string& path() const { return path_; }  // empty while untitled
    bool modified() const { return modified_; }

    // Takes the list of `made` (left empty) as an untitled group with nothing to save.
    void Create(ImageGroup& made, COLORREF background);
    // The path is the document's afterwards even when the file does not open.
    bool Open(const std::string& path);
    // The same, its loading counted on `progress` and over before the view hears of the file.
    bool Open(const std::string& path, ProgressReporter& progress);
    // Also takes the path when the write fails, so the next Save tries the same file again.
    bool SaveTo(const std::string& path);
    // Writes a copy, leaving the path alone; the copy holds every change.
    bool SaveCopyTo(const std::string& path);
    // Every edit of the group goes through here. Nothing is announced when it changed nothing.
    bool Change(const Edit& edit);
    // An edit that puts another program's list in place of the group (left empty): the result
    // is untitled and unsaved, and is announced as Created.
    void ReplaceWithUntitled(ImageGroup& imported);
    // Puts image order[i] at position i (core/image_order.h); false, with nothing changed,
    // when the order is no permutation or memory runs out.
    bool Reorder(std::span<const int> order);
    // Drops the group and its changes; the path stays.
    void Discard();

    // Set right after an import made the group; any other group replacing it forgets it. An
    // undo back past the import hides it, and a redo shows it again.
    void SetOrigin(FormOrigin origin);
    const FormOrigin* origin() const;
    // The group went back into its origin's file, whose list now has `fingerprint`: nothing
    // is left unsaved, as after a save.
    void MarkWrittenBack(std::uint64_t fingerprint);
    // For an origin whose sizes are kept in step: which image of the list as it now stands in
    // the file each image came from, or kNewImage (core/image_sources.h).
    std::vector<int> SourcesInFile() const;

    // Back to the state before the last step, or forward again; false when there is no step
    // or the earlier state cannot be rebuilt (the group then stays as it was).
    bool Undo();
    bool Redo();
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    const ChangeHistory<GroupChange>& history() const { return history_; }
    // Starts the history over, keeping at most `bytes` of recorded steps from now on.
    void SetHistoryBudget(std::size_t bytes) { history_ = ChangeHistory<GroupChange>(bytes); }

private:
    // The one way in for every edit, where its undo step is recorded.
    bool Apply(const Edit& edit, bool untitled);
    void AfterStep();
    // Keeps `sources_` in step with a recorded edit, the step holding the earlier ones.
    void FollowSources(GroupChange& step);
    bool TurnStep(GroupChange& step, ImageGroup& outgoing);
    void LoseSources();
    void ForgetHiddenOrigin();
    void Announce(DocumentEvent event);

    ImageGroup group_;
    std::string path_;
    bool modified_ = false;
    ChangeHistory<GroupChange> history_;
    std::optional<FormOrigin> origin_;
    std::size_t originDepth_ = 0;  // undo steps up to and including the import
    // Both by the imported list's indices, which the history's steps keep too; a write-back
    // moves the file's images, and `fileIndex_` says where each imported one went.
    std::vector<int> sources_;
    std::vector<int> fileIndex_;
    DocumentListener* listener_ = nullptr;
};

}  // namespace iconvale
