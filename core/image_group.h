// One image group in memory: an ordered set of same-sized images kept in a platform image
// list, with the stream fields the list itself does not keep (raw flags, capacity, growth step,
// overlays). Copies share one group; the last copy to go destroys the list.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "core/bytes.h"
#include "ui/progress_reporter.h"
#include "ui/win_handles.h"

namespace iconvale {

struct ImageListData;
struct GroupChange;
struct CellChange;

inline constexpr std::uint32_t kDefaultGroupFlags = ILC_COLOR32 | ILC_MASK;
// Widths, heights and counts are 16-bit in the file: a group beyond that could not be saved.
inline constexpr int kMaxGroupDimension = 65535;
inline constexpr int kMaxGroupCount = 65535;

struct IconSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const IconSize&, const IconSize&) = default;
};

class ImageGroup {
public:
    ImageGroup();

    void Destroy();
    HIMAGELIST GetHandle() const;
    bool IsCreated() const { return GetHandle() != nullptr; }

    // Flags: a depth of 4, 8, 16, 24 or 32 bits, or ILC_COLORDDB for the screen's, optionally
    // with ILC_MASK. Refuses sizes outside 1..65535. The old list is gone even on failure.
    bool Create(int width, int height, std::uint32_t flags = kDefaultGroupFlags,
                int initialCount = 0);

    // Header flag 1: the bytes start with the 8-byte group header, which is skipped unread.
    // `steps` hears how many images are in as the platform list fills. `done`, when given, hears
    // of parts of the bytes that are read for the last time, which the owner may give back; the
    // bytes are not read again once it has been called.
    bool LoadFromBytes(
        std::span<const std::uint8_t> bytes, int headerFlag = 1, const ProgressSteps& steps = {},
        const std::function<void(const std::uint8_t*, const std::uint8_t*)>& done = {});
    Bytes SaveToBytes(int headerFlag = 1) const;

    // The cheapest exact copy of the group, for the edit history (core/group_snapshot.h): its
    // images, masks, size, depth, flags, capacity, growth step, overlays and background colour.
    // With an order, image order[i] comes out as image i. Empty on failure or with no group.
    Bytes SnapshotBytes(std::span<const int> order = {}) const;
    // Makes the group what the snapshot holds; copies of this object see it too. On failure the
    // group is left as it was.
    bool RestoreFromBytes(std::span<const std::uint8_t> snapshot);
    // Puts image order[i] at position i (core/image_order.h), masks with their images. False, with
    // the group unchanged, unless the order names every image exactly once.
    bool Reorder(std::span<const int> order);

    // Every change made through this object or a copy of it, until StopRecording, goes into
    // `change` (core/group_change.h), which must outlive the recording.
    void StartRecording(GroupChange& change);
    void StopRecording();
    // Turns a recorded change round: undoes it, and redoes it once undone, touching only the
    // images it names. A list it replaces whole goes to `outgoing` (the first one only), for
    // whoever still draws from it. False when the platform or memory failed; the group is then
    // put back as far as it can be.
    bool TurnChange(GroupChange& change, ImageGroup& outgoing);

    // The icon stays the caller's. Stretched to the cell size; -1 on failure or a full group.
    int AddIcon(HICON icon);
    // Adds iconAt(0)..iconAt(n-1) after the last image, as many AddIcon calls would, stopping at
    // the first that gives no icon or fails, or when the group is full. How many were added.
    int AddIcons(int n, const std::function<UniqueIcon(int)>& iconAt);
    bool ReplaceWithIcon(int index, HICON icon);
    bool Remove(int index);
    // Removes every image; false with no group.
    bool Clear();

    // A bitmap cut into cells from the left at the top, unscaled; a rest narrower than a cell is
    // dropped. With a mask colour, pixels of exactly that colour become transparent. The index
    // of the first image added, or -1 on failure or when the cells would overfill the group.
    // The bitmap stays the caller's.
    int AddStrip(HBITMAP strip, std::optional<COLORREF> maskColour);
    // Image `index` replaced by the bitmap, opaque throughout; the bitmap stays the caller's.
    bool ReplaceWithBitmap(int index, HBITMAP bitmap);

    COLORREF GetBackgroundColour() const;
    COLORREF SetBackgroundColour(COLORREF colour);  // returns the previous colour

    // A new icon of image `index`, drawn with ILD_NORMAL or ILD_TRANSPARENT.
    UniqueIcon GetIcon(int index, UINT drawFlags = ILD_NORMAL) const;
    IconSize GetIconSize() const;
    int GetCount() const;

    // Replaces this group's list by the other's, which is left empty. Copies of this object see
    // the new list; copies of the other see none.
    void TakeListFrom(ImageGroup& other);

    // True when both objects share one group.
    bool SharesWith(const ImageGroup& other) const { return state_ == other.state_; }

private:
    struct State;
    void GrowCapacityTo(int count);
    // Takes a newly built list and the stream fields it was built from; false for no list.
    bool Hold(UniqueImageList list, const ImageListData& fields);

    // The recording (image_group_changes.cpp): the state before a change that replaces the
    // whole list, and the cells a change of some images is about to replace or remove.
    void RecordWhole();
    void RecordCells(int kind, int index, int count);
    void RecordBeforeAdd();
    Bytes FieldsBytes() const;
    void SetFieldsBytes(const Bytes& fields);
    bool Turn(CellChange& change, ImageGroup& outgoing);
    // `marks`, when given, are the platform's alpha marks the cells had (core/alpha_marks.h).
    bool InsertCells(int index, int count, const Bytes& cells,
                     const std::vector<std::uint8_t>& marks = {});
    Bytes RemoveCells(int index, int count, std::vector<std::uint8_t>& marks);
    // Removes images index..index+count-1, shifting the rest down in place where the list's
    // bitmaps allow; false when the platform refused.
    bool TakeOut(int index, int count);
    // Shrinks the platform list to the group's images, for the platform's own adds; false when
    // it refused.
    bool DropSpare();
    bool ReplaceCells(int index, int count, Bytes& cells);
    bool MoveCells(std::vector<std::pair<int, int>>& moves);

    std::shared_ptr<State> state_;
};

}  // namespace iconvale
