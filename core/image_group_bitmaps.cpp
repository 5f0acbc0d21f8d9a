// The image group's bitmap imports: a strip that the list cuts into cells of its width, or one
// bitmap in place of one image.
#include <vector>

#include "core/bit_rows.h"
#include "core/group_change.h"
#include "core/image_group.h"
#include "core/image_group_state.h"
#include "ui/large_buffer.h"

namespace iconvale {

namespace {

int BitmapWidth(HBITMAP bitmap) {
    BITMAP info{};
    return ::GetObjectW(bitmap, sizeof info, &info) ? info.bmWidth : 0;
}

}  // namespace

int ImageGroup::AddStrip(HBITMAP strip, std::optional<COLORREF> maskColour) {
    state_->maskCopy = {};
    if (!IsCreated() || !strip) return -1;
    // The cells the strip will bring must still fit the count a file can hold.
    const int cells = BitmapWidth(strip) / GetIconSize().width;
    if (GetCount() + cells > kMaxGroupCount || !DropSpare()) return -1;
    RecordBeforeAdd();
    const int first = maskColour ? ::ImageList_AddMasked(GetHandle(), strip, *maskColour)
                                 : ::ImageList_Add(GetHandle(), strip, nullptr);
    if (first >= 0) {
        GrowCapacityTo(GetCount());
        RecordCells(static_cast<int>(CellChange::Kind::kInserted), first, GetCount() - first);
    }
    return first;
}

bool ImageGroup::ReplaceWithBitmap(int index, HBITMAP bitmap) {
    state_->maskCopy = {};
    if (!IsCreated() || index < 0 || index >= GetCount() || !bitmap) return false;
    // Without a mask of its own the cell would keep the old image's transparent pixels over
    // the new picture: an all-clear mask of the bitmap's size makes the whole cell opaque.
    BITMAP info{};
    if (!::GetObjectW(bitmap, sizeof info, &info)) return false;
    std::vector<std::uint8_t> clear;
    if (!TryResize(clear,
                   static_cast<std::size_t>(WordRowStride(info.bmWidth, 1)) * info.bmHeight)) {
        return false;
    }
    UniqueBitmap opaque(::CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, clear.data()));
    if (opaque) RecordCells(static_cast<int>(CellChange::Kind::kReplaced), index, 1);
    return opaque && ::ImageList_Replace(GetHandle(), index, bitmap, opaque.get()) != FALSE;
}

}  // namespace iconvale
