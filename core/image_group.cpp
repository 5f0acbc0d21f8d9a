#include "core/image_group.h"
#include "core/image_group_state.h"

#include <algorithm>
#include <new>
#include <utility>

#include "core/group_change.h"
#include "core/group_file.h"
#include "core/group_snapshot.h"
#include "core/image_list_bridge.h"
#include "core/image_list_stream.h"
#include "core/image_order.h"

namespace iconvale {

namespace {

// The growth step as the platform rounds it: at least one, then up to a multiple of four.
std::uint16_t RoundedGrow(int grow) {
    return static_cast<std::uint16_t>((std::clamp(grow, 1, 65532) + 3) & ~3);
}

int DepthForFlags(std::uint32_t flags) {
    int depth = static_cast<int>(flags & kDepthBits);
    if (depth == kDeviceDepth) return ScreenDepth();
    return IsSupportedDepth(depth) ? depth : 0;
}

}  // namespace

ImageGroup::ImageGroup() : state_(std::make_shared<State>()) {}

void ImageGroup::Destroy() {
    state_->maskCopy = {};
    if (state_->list) RecordWhole();
    state_->list.reset();
    state_->spare = 0;
}

void ImageGroup::TakeListFrom(ImageGroup& other) {
    state_->maskCopy = {};
    if (other.state_ == state_) return;
    other.RecordWhole();
    RecordWhole();
    state_->list = std::move(other.state_->list);
    state_->fields = other.state_->fields;
    state_->spare = std::exchange(other.state_->spare, 0);
}

HIMAGELIST ImageGroup::GetHandle() const {
    return state_->list.get();
}

bool ImageGroup::Create(int width, int height, std::uint32_t flags, int initialCount) {
    Destroy();
    int depth = DepthForFlags(flags);
    if (width < 1 || height < 1 || width > kMaxGroupDimension || height > kMaxGroupDimension ||
        depth == 0 || flags > 0xFFFF || initialCount < 0 || initialCount >= kMaxGroupCount) {
        return false;
    }
    UINT createFlags = static_cast<UINT>(depth) | (flags & ILC_MASK);
    state_->list.reset(::ImageList_Create(width, height, createFlags, initialCount, initialCount));
    if (!state_->list) return false;
    // What a new platform list would write: room for one more than asked, rounded growth.
    state_->fields = {static_cast<std::uint16_t>(flags),
                      static_cast<std::uint16_t>(initialCount + 1),
                      RoundedGrow(initialCount),
                      {-1, -1, -1, -1},
                      depth};
    return true;
}

// The codec holds whole bitmaps in standard containers: running out of memory there is a
// failure to read or write like any other, and nothing is left half made.
bool ImageGroup::LoadFromBytes(
    std::span<const std::uint8_t> bytes, int headerFlag, const ProgressSteps& steps,
    const std::function<void(const std::uint8_t*, const std::uint8_t*)>& done) {
    Destroy();
    try {
        auto sheets = ParseImageListSheets(StreamPart(bytes, headerFlag == 1));
        if (!sheets) return false;
        return Hold(BuildImageList(*sheets, steps, done), sheets->list);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ImageGroup::Hold(UniqueImageList list, const ImageListData& fields) {
    state_->maskCopy = {};
    if (!list) return false;
    RecordWhole();
    state_->list = std::move(list);
    state_->fields = FieldsOf(fields);
    state_->spare = 0;
    return true;
}

Bytes ImageGroup::SaveToBytes(int headerFlag) const {
    if (!IsCreated()) return {};
    try {
        Bytes stream = WriteListStream(GetHandle(), state_->fields, GetCount());
        if (stream.empty()) return {};
        return WithGroupHeader(std::move(stream), headerFlag == 1);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

Bytes ImageGroup::SnapshotBytes(std::span<const int> order) const {
    if (!IsCreated()) return {};
    try {
        return WriteListCells(
            GetHandle(), state_->fields, GetCount(),
            [order](const ImageListData& fields, const CellRows& image, const CellRows* mask) {
                return WriteGroupSnapshot(fields, image, mask, order);
            });
    } catch (const std::bad_alloc&) {
        return {};
    }
}

bool ImageGroup::RestoreFromBytes(std::span<const std::uint8_t> snapshot) {
    try {
        auto view = ReadGroupSnapshot(snapshot);
        if (!view) return false;
        return Hold(
            BuildImageList(view->fields, view->image, view->mask, AlphalessImages::kAsGiven),
            view->fields);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ImageGroup::Reorder(std::span<const int> order) {
    if (!IsPermutation(order, GetCount())) return false;
    // Only the images that move are touched, in place; the recorded moves turn it back.
    std::vector<std::pair<int, int>> moves;
    try {
        for (int i = 0; i < static_cast<int>(order.size()); ++i) {
            if (order[i] != i) moves.emplace_back(i, order[i]);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (moves.empty()) return true;
    if (MoveCells(moves)) {
        if (state_->journal) {
            try {
                CellChange moved;
                moved.kind = CellChange::Kind::kMoved;
                moved.moves = std::move(moves);
                state_->journal->cells.push_back(std::move(moved));
            } catch (const std::bad_alloc&) {
                state_->journal->lost = true;
            }
        }
        return true;
    }
    const Bytes reordered = SnapshotBytes(order);
    return !reordered.empty() && RestoreFromBytes(reordered);
}

void ImageGroup::GrowCapacityTo(int count) {
    // The store grows by its step when it runs out of cells, as the platform list does.
    auto& fields = state_->fields;
    if (count > fields.capacity) {
        fields.capacity = static_cast<std::uint16_t>(std::min(count + fields.grow, kMaxGroupCount));
    }
}

int ImageGroup::AddIcon(HICON icon) {
    state_->maskCopy = {};
    if (!IsCreated() || !icon || GetCount() >= kMaxGroupCount) return -1;
    RecordBeforeAdd();
    // A spare cell takes the icon as an add would; where the platform refuses it, the list drops
    // its spare cells first.
    int index = -1;
    if (state_->spare > 0) {
        index = ::ImageList_ReplaceIcon(GetHandle(), GetCount(), icon);
        if (index >= 0) --state_->spare;
    }
    if (index < 0 && DropSpare()) index = ::ImageList_AddIcon(GetHandle(), icon);
    if (index >= 0) {
        GrowCapacityTo(index + 1);
        RecordCells(static_cast<int>(CellChange::Kind::kInserted), index, 1);
    }
    return index;
}

int ImageGroup::AddIcons(int n, const std::function<UniqueIcon(int)>& iconAt) {
    state_->maskCopy = {};
    if (!IsCreated() || n < 1) return 0;
    const int before = GetCount();
    n = std::min(n, kMaxGroupCount - before);
    RecordBeforeAdd();
    // Room for all of them first: adding one at a time grows the list, copying it, every few.
    // Each then goes into its place just as an add would put it there.
    if (n < 1 || !::ImageList_SetImageCount(GetHandle(), before + n)) return 0;
    state_->spare = 0;
    int added = 0;
    for (; added < n; ++added) {
        UniqueIcon icon = iconAt(added);
        if (!icon || ::ImageList_ReplaceIcon(GetHandle(), before + added, icon.get()) == -1) break;
        GrowCapacityTo(before + added + 1);
    }
    if (added < n) ::ImageList_SetImageCount(GetHandle(), before + added);
    RecordCells(static_cast<int>(CellChange::Kind::kInserted), before, added);
    return added;
}

bool ImageGroup::ReplaceWithIcon(int index, HICON icon) {
    state_->maskCopy = {};
    if (!IsCreated() || !icon || index < 0 || index >= GetCount()) return false;
    RecordCells(static_cast<int>(CellChange::Kind::kReplaced), index, 1);
    return ::ImageList_ReplaceIcon(GetHandle(), index, icon) != -1;
}

bool ImageGroup::Remove(int index) {
    // The platform reads -1 as "remove all"; the group removes one image only.
    if (!IsCreated() || index < 0 || index >= GetCount()) return false;
    RecordCells(static_cast<int>(CellChange::Kind::kRemoved), index, 1);
    return TakeOut(index, 1);
}

bool ImageGroup::Clear() {
    if (!IsCreated()) return false;
    const int count = GetCount();
    if (count == 0) return true;
    // One removal of everything: one image at a time, each removal would copy all the rest.
    RecordCells(static_cast<int>(CellChange::Kind::kRemoved), 0, count);
    return TakeOut(0, count);
}

COLORREF ImageGroup::GetBackgroundColour() const {
    return IsCreated() ? ::ImageList_GetBkColor(GetHandle()) : CLR_NONE;
}

COLORREF ImageGroup::SetBackgroundColour(COLORREF colour) {
    return IsCreated() ? ::ImageList_SetBkColor(GetHandle(), colour) : CLR_NONE;
}

UniqueIcon ImageGroup::GetIcon(int index, UINT drawFlags) const {
    if (!IsCreated() || index < 0 || index >= GetCount()) return {};
    return UniqueIcon(::ImageList_GetIcon(GetHandle(), index, drawFlags));
}

IconSize ImageGroup::GetIconSize() const {
    IconSize size;
    if (!IsCreated() || !::ImageList_GetIconSize(GetHandle(), &size.width, &size.height)) return {};
    return size;
}

int ImageGroup::GetCount() const {
    return IsCreated() ? ::ImageList_GetImageCount(GetHandle()) - state_->spare : 0;
}

}  // namespace iconvale
