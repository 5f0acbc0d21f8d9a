// The image group's changes as the undo history keeps them: recorded as they happen, and turned
// round in place, so that an undo or redo costs what it changes rather than the whole group.
#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

#include "core/bit_rows.h"
#include "core/dib_bitmaps.h"
#include "core/group_change.h"
#include "core/image_group.h"
#include "core/image_group_state.h"
#include "core/image_list_bridge.h"
#include "core/list_cells.h"
#include "core/list_growth.h"
#include "ui/large_buffer.h"

namespace iconvale {

namespace {

using Kind = CellChange::Kind;

struct SavedFields {
    StreamFields fields;
    COLORREF background;
};

CellShape ShapeOf(HIMAGELIST list, const StreamFields& fields) {
    CellShape shape;
    ::ImageList_GetIconSize(list, &shape.width, &shape.height);
    shape.bits = fields.bitsPerPixel;
    shape.mask = (fields.flags & ILC_MASK) != 0;
    return shape;
}

// n packed cells side by side in an image strip and a mask strip, as the platform takes them.
struct Strips {
    DibSection image;
    DibSection mask;
};

std::optional<Strips> MakeStrips(const CellShape& shape, const std::uint8_t* cells, int n) {
    std::vector<std::uint32_t> palette;
    if (shape.bits <= 8) palette = DefaultPalette(shape.bits);
    const std::vector<std::uint32_t> maskPalette = {0x00000000, 0x00FFFFFF};
    Strips strips;
    strips.image = CreateTopDownSection(n * shape.width, shape.height, shape.bits, palette);
    if (shape.mask)
        strips.mask = CreateTopDownSection(n * shape.width, shape.height, 1, maskPalette);
    if (!strips.image.bitmap || (shape.mask && !strips.mask.bitmap)) return std::nullopt;
    const std::size_t imageBits = static_cast<std::size_t>(shape.width) * shape.bits;
    ::GdiFlush();
    for (int k = 0; k < n; ++k) {
        const std::uint8_t* at = cells + shape.CellBytes() * k;
        for (int y = 0; y < shape.height; ++y, at += shape.ImageRowBytes()) {
            CopyBits(strips.image.pixels.Row(y), k * imageBits, at, 0, imageBits);
        }
        for (int y = 0; shape.mask && y < shape.height; ++y, at += shape.MaskRowBytes()) {
            CopyBits(strips.mask.pixels.Row(y), static_cast<std::size_t>(k) * shape.width, at, 0,
                     static_cast<std::size_t>(shape.width));
        }
    }
    ::GdiFlush();
    return strips;
}

// Whether a packed cell's alpha is anywhere non-zero, as the platform's add judges a 32-bit image.
bool PackedCellHasAlpha(const CellShape& shape, const std::uint8_t* cell) {
    for (int y = 0; y < shape.height; ++y, cell += shape.ImageRowBytes()) {
        for (int x = 0; x < shape.width; ++x) {
            if (cell[4 * x + 3] != 0) return true;
        }
    }
    return false;
}

bool ListCellHasAlpha(const ListCells& list, int index) {
    const CellShape& shape = list.shape();
    for (int y = 0; y < shape.height; ++y) {
        const std::uint8_t* row = list.ImageRow(index, y) + list.ImageBit(index) / 8;
        for (int x = 0; x < shape.width; ++x) {
            if (row[4 * x + 3] != 0) return true;
        }
    }
    return false;
}

}  // namespace

void ImageGroup::StartRecording(GroupChange& change) {
    state_->journal = &change;
    change.fields = FieldsBytes();
}

void ImageGroup::StopRecording() {
    state_->journal = nullptr;
}

Bytes ImageGroup::FieldsBytes() const {
    const SavedFields saved{state_->fields, GetBackgroundColour()};
    Bytes bytes(sizeof saved);
    std::memcpy(bytes.data(), &saved, sizeof saved);
    return bytes;
}

void ImageGroup::SetFieldsBytes(const Bytes& bytes) {
    SavedFields saved{};
    if (bytes.size() != sizeof saved) return;
    std::memcpy(&saved, bytes.data(), sizeof saved);
    state_->fields = saved.fields;
    if (IsCreated()) ::ImageList_SetBkColor(GetHandle(), saved.background);
}

void ImageGroup::RecordWhole() {
    GroupChange* journal = state_->journal;
    // A whole state right after another adds nothing: turning round restores the earlier one.
    if (!journal || (!journal->cells.empty() && journal->cells.back().kind == Kind::kWhole)) return;
    try {
        CellChange whole;
        whole.kind = Kind::kWhole;
        whole.hadGroup = IsCreated();
        if (whole.hadGroup) {
            whole.cells = SnapshotBytes();
            if (whole.cells.empty()) journal->lost = true;
        }
        journal->cells.push_back(std::move(whole));
    } catch (const std::bad_alloc&) {
        journal->lost = true;
    }
}

void ImageGroup::RecordBeforeAdd() {
    if (state_->journal && state_->fields.bitsPerPixel <= 8) RecordWhole();
}

void ImageGroup::RecordCells(int kindValue, int index, int count) {
    GroupChange* journal = state_->journal;
    if (!journal || count < 1) return;
    const auto kind = static_cast<Kind>(kindValue);
    try {
        auto& changes = journal->cells;
        CellChange* last = changes.empty() ? nullptr : &changes.back();
        // Additions one after another, and removals at one place (a clear, a run of selected
        // images), are one change each.
        if (kind == Kind::kInserted && last && last->kind == kind &&
            last->index + last->count == index) {
            last->count += count;
            return;
        }
        // Putting cells back through the platform's add may give a palette list the add's
        // colours: such lists keep the whole group, as before any change.
        if (state_->fields.bitsPerPixel <= 8) {
            // An addition was recorded so before it (RecordBeforeAdd).
            if (kind != Kind::kInserted) RecordWhole();
            return;
        }
        if (kind == Kind::kInserted) {
            changes.push_back({kind, index, count, {}, {}, true});
            return;
        }
        auto cells = ListCells::Open(GetHandle(), ShapeOf(GetHandle(), state_->fields));
        Bytes read = cells ? cells->Read(index, count) : Bytes{};
        if (read.empty()) {
            // The list cannot be read in place: the step keeps the whole group instead.
            RecordWhole();
            return;
        }
        if (kind == Kind::kRemoved && last && last->kind == kind && last->index == index) {
            last->cells.insert(last->cells.end(), read.begin(), read.end());
            last->count += count;
            return;
        }
        changes.push_back({kind, index, count, std::move(read), {}, true});
    } catch (const std::bad_alloc&) {
        journal->lost = true;
    }
}

bool ImageGroup::TurnChange(GroupChange& change, ImageGroup& outgoing) {
    GroupChange* journal = std::exchange(state_->journal, nullptr);
    Bytes other;
    try {
        other = FieldsBytes();
    } catch (const std::bad_alloc&) {
        state_->journal = journal;
        return false;
    }
    // Undo runs the changes last first; each turned change is the one that redoes it, so the
    // order is reversed for the next turn.
    auto& cells = change.cells;
    std::size_t turned = 0;
    for (auto it = cells.rbegin(); it != cells.rend() && Turn(*it, outgoing); ++it) ++turned;
    const bool done = turned == cells.size();
    if (!done) {
        // Put back what was turned, so the group stays in the state the history knows.
        for (std::size_t i = cells.size() - turned; i < cells.size(); ++i) Turn(cells[i], outgoing);
    } else {
        std::reverse(cells.begin(), cells.end());
        SetFieldsBytes(change.fields);
        change.fields = std::move(other);
    }
    state_->journal = journal;
    return done;
}

bool ImageGroup::Turn(CellChange& change, ImageGroup& outgoing) {
    switch (change.kind) {
        case Kind::kReplaced:
            return ReplaceCells(change.index, change.count, change.cells);
        case Kind::kRemoved:
            if (!InsertCells(change.index, change.count, change.cells)) return false;
            change.kind = Kind::kInserted;
            change.cells = Bytes{};
            return true;
        case Kind::kInserted: {
            Bytes removed = RemoveCells(change.index, change.count);
            if (removed.empty()) return false;
            change.kind = Kind::kRemoved;
            change.cells = std::move(removed);
            return true;
        }
        case Kind::kMoved:
            return MoveCells(change.moves);
        case Kind::kWhole: {
            const bool hadGroup = IsCreated();
            Bytes current = hadGroup ? SnapshotBytes() : Bytes{};
            if (hadGroup && current.empty()) return false;
            ImageGroup restored;
            if (change.hadGroup && !restored.RestoreFromBytes(change.cells)) return false;
            if (!outgoing.IsCreated()) outgoing.TakeListFrom(*this);
            TakeListFrom(restored);
            change.cells = std::move(current);
            change.hadGroup = hadGroup;
            return true;
        }
    }
    return false;
}

bool ImageGroup::InsertCells(int index, int count, const Bytes& cells) {
    if (!IsCreated()) return false;
    const CellShape shape = ShapeOf(GetHandle(), state_->fields);
    const int before = GetCount();
    if (index < 0 || index > before || cells.size() != shape.CellBytes() * count) return false;
    // The list grows at its end without taking the pixels. Its mark of an image's alpha stays
    // with the place, so the new places are marked for the images that end up in them: the last
    // images moved up, or new ones.
    std::vector<std::uint8_t> carriesAlpha;
    if (!TryResize(carriesAlpha, count)) return false;
    if (shape.bits == 32) {
        std::optional<ListCells> moving;
        if (index < before) moving = ListCells::Open(GetHandle(), {shape.width, shape.height, 32});
        if (index < before && !moving) return false;
        for (int k = 0; k < count; ++k) {
            const int from = before + k - count;
            carriesAlpha[k] =
                from >= index
                    ? ListCellHasAlpha(*moving, from)
                    : PackedCellHasAlpha(shape,
                                         cells.data() + shape.CellBytes() * (from + count - index));
        }
    }
    if (!GrowList(GetHandle(), shape.bits, carriesAlpha, count)) {
        if (GetCount() > before) ::ImageList_SetImageCount(GetHandle(), before);
        return false;
    }
    auto list = ListCells::Open(GetHandle(), shape);
    if (!list) return false;
    list->Move(index, index + count, before - index);
    list->Write(index, count, cells.data());
    return list->Commit();
}

Bytes ImageGroup::RemoveCells(int index, int count) {
    if (!IsCreated()) return {};
    const int before = GetCount();
    auto list = ListCells::Open(GetHandle(), ShapeOf(GetHandle(), state_->fields));
    if (!list || index < 0 || count < 1 || index + count > before) return {};
    Bytes removed = list->Read(index, count);
    if (removed.empty()) return {};
    // The platform's own removal where it takes the images in one call: a resize after moving
    // the cells in place copies the whole list once more.
    if (count == before || count == 1) {
        return ::ImageList_Remove(GetHandle(), count == before ? -1 : index) ? std::move(removed)
                                                                             : Bytes{};
    }
    list->Move(index + count, index, before - index - count);
    if (!list->Commit() || !::ImageList_SetImageCount(GetHandle(), before - count)) return {};
    return removed;
}

bool ImageGroup::ReplaceCells(int index, int count, Bytes& cells) {
    if (!IsCreated()) return false;
    const CellShape shape = ShapeOf(GetHandle(), state_->fields);
    auto list = ListCells::Open(GetHandle(), shape);
    if (!list || index < 0 || index + count > GetCount() ||
        cells.size() != shape.CellBytes() * count)
        return false;
    Bytes current = list->Read(index, count);
    if (current.empty()) return false;
    // Through the platform first, one image at a time, so that it knows each new image as its
    // own replace would have; then exactly.
    if (shape.bits == 32) {
        for (int k = 0; k < count; ++k) {
            auto one = MakeStrips(shape, cells.data() + shape.CellBytes() * k, 1);
            if (!one || !::ImageList_Replace(GetHandle(), index + k, one->image.bitmap.get(),
                                             one->mask.bitmap.get())) {
                return false;
            }
        }
        list = ListCells::Open(GetHandle(), shape);
        if (!list) return false;
    }
    list->Write(index, count, cells.data());
    if (!list->Commit()) return false;
    cells = std::move(current);
    return true;
}

bool ImageGroup::MoveCells(std::vector<std::pair<int, int>>& moves) {
    if (!IsCreated()) return false;
    auto list = ListCells::Open(GetHandle(), ShapeOf(GetHandle(), state_->fields));
    if (!list) return false;
    const std::size_t cellBytes = list->shape().CellBytes();
    std::vector<std::uint8_t> moving;
    if (!TryResize(moving, cellBytes * moves.size())) return false;
    for (std::size_t k = 0; k < moves.size(); ++k) {
        const Bytes cell = list->Read(moves[k].second, 1);
        if (cell.empty()) return false;
        std::memcpy(moving.data() + cellBytes * k, cell.data(), cellBytes);
    }
    for (std::size_t k = 0; k < moves.size(); ++k) {
        list->Write(moves[k].first, 1, moving.data() + cellBytes * k);
        std::swap(moves[k].first, moves[k].second);
    }
    return list->Commit();
}

}  // namespace iconvale
