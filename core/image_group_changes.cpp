// The image group's changes as the undo history keeps them: recorded as they happen, and turned
// round in place, so that an undo or redo costs what it changes rather than the whole group.
#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

#include "core/alpha_marks.h"
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

// The platform's marks of where it draws 32-bit images through their alpha, from `first` on: as
// it tells them, else judged from the cells as its add would.
std::vector<std::uint8_t> MarksFrom(HIMAGELIST handle, const ListCells& list, int first, int n) {
    if (auto told = ReadAlphaMarks(handle, first, n)) return std::move(*told);
    std::vector<std::uint8_t> judged;
    if (!TryResize(judged, n)) return {};
    for (int i = 0; i < n; ++i) judged[i] = ListCellHasAlpha(list, first + i);
    return judged;
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
            changes.push_back({kind, index, count, {}, {}, {}, true});
            return;
        }
        const CellShape shape = ShapeOf(GetHandle(), state_->fields);
        auto cells = ListCells::Open(GetHandle(), shape, index + count - 1);
        Bytes read = cells ? cells->Read(index, count) : Bytes{};
        // A removed cell goes back with the mark the platform drew it by.
        std::vector<std::uint8_t> marks;
        if (!read.empty() && kind == Kind::kRemoved && shape.bits == 32) {
            marks = MarksFrom(GetHandle(), *cells, index, count);
        }
        if (read.empty() || (shape.bits == 32 && kind == Kind::kRemoved && marks.empty())) {
            // The list cannot be read in place: the step keeps the whole group instead.
            RecordWhole();
            return;
        }
        if (kind == Kind::kRemoved && last && last->kind == kind && last->index == index) {
            last->cells.insert(last->cells.end(), read.begin(), read.end());
            last->marks.insert(last->marks.end(), marks.begin(), marks.end());
            last->count += count;
            return;
        }
        changes.push_back({kind, index, count, std::move(read), std::move(marks), {}, true});
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
            if (!InsertCells(change.index, change.count, change.cells, change.marks)) return false;
            change.kind = Kind::kInserted;
            change.cells = Bytes{};
            change.marks.clear();
            return true;
        case Kind::kInserted: {
            std::vector<std::uint8_t> marks;
            Bytes removed = RemoveCells(change.index, change.count, marks);
            if (removed.empty()) return false;
            change.kind = Kind::kRemoved;
            change.cells = std::move(removed);
            change.marks = std::move(marks);
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

namespace {

// Sets the platform's marks of places first, first + 1, ... to `wanted` where they differ from
// `had`, by putting the cell there through the platform's replace with alpha only where the mark
// is wanted, and then writing it back exactly. The marks decide only how images are drawn: where
// the platform or memory fails, they stay as they were.
bool Remark(HIMAGELIST handle, const CellShape& shape, int first, std::span<const std::uint8_t> had,
            std::span<const std::uint8_t> wanted) {
    try {
        std::vector<int> places;
        for (std::size_t k = 0; k < std::min(had.size(), wanted.size()); ++k) {
            if (had[k] != wanted[k]) places.push_back(first + static_cast<int>(k));
        }
        if (places.empty()) return true;
        auto list = ListCells::Open(handle, shape, places.back());
        if (!list) return true;
        std::vector<Bytes> exact;
        for (int place : places) {
            Bytes cell = list->Read(place, 1);
            if (cell.empty()) break;
            Bytes marked = cell;
            for (int y = 0; y < shape.height; ++y) {
                std::uint8_t* row = marked.data() + shape.ImageRowBytes() * y;
                for (int x = 0; x < shape.width; ++x) row[4 * x + 3] = 0;
            }
            if (wanted[place - first]) marked[3] = 0xFF;
            auto one = MakeStrips(shape, marked.data(), 1);
            if (!one || !::ImageList_Replace(handle, place, one->image.bitmap.get(),
                                             one->mask.bitmap.get())) {
                break;
            }
            exact.push_back(std::move(cell));
        }
        if (exact.empty()) return true;
        list = ListCells::Open(handle, shape, places.back());
        if (!list) return false;
        for (std::size_t k = 0; k < exact.size(); ++k) list->Write(places[k], 1, exact[k].data());
        return list->Commit();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

bool ImageGroup::DropSpare() {
    state_->maskCopy = {};
    if (state_->spare == 0) return true;
    const int count = GetCount();
    const BOOL dropped = count == 0 ? ::ImageList_Remove(GetHandle(), -1)
                                    : ::ImageList_SetImageCount(GetHandle(), count);
    if (dropped) state_->spare = 0;
    return dropped != FALSE;
}

bool ImageGroup::TakeOut(int index, int count) {
    MaskCopy kept = std::exchange(state_->maskCopy, {});
    const int before = GetCount();
    if (count == before) {
        // Everything: the platform's removal of all also gives back the bitmaps' memory.
        if (!::ImageList_Remove(GetHandle(), -1)) return false;
        state_->spare = 0;
        return true;
    }
    const CellShape shape = ShapeOf(GetHandle(), state_->fields);
    auto list = ListCells::Open(GetHandle(), shape, -1, &kept);
    if (!list) {
        // The platform's own removal, which shrinks the list by copying all it keeps.
        for (int k = 0; k < count; ++k) {
            if (!::ImageList_Remove(GetHandle(), index)) return false;
        }
        return true;
    }
    // Each place from `index` on takes the cell `count` places above it, and its mark.
    std::vector<std::uint8_t> marks;
    if (shape.bits == 32) {
        marks = MarksFrom(GetHandle(), *list, index, before - index);
        if (marks.empty()) return false;
    }
    list->Move(index + count, index, before - index - count);
    if (!list->Commit()) return false;
    state_->spare += count;
    const std::span<const std::uint8_t> all(marks);
    if (marks.empty() ||
        Remark(GetHandle(), shape, index, all.first(marks.size() - count), all.subspan(count))) {
        list->KeepMask(state_->maskCopy);
    }
    return true;
}

bool ImageGroup::InsertCells(int index, int count, const Bytes& cells,
                             const std::vector<std::uint8_t>& marks) {
    if (!IsCreated()) return false;
    const CellShape shape = ShapeOf(GetHandle(), state_->fields);
    const int before = GetCount();
    const int places = before + state_->spare;
    if (index < 0 || index > before || cells.size() != shape.CellBytes() * count) return false;
    // Spare cells at the end take the images first; the list grows only by the rest, in new
    // bitmaps.
    const int grow = std::max(0, count - state_->spare);
    MaskCopy kept = std::exchange(state_->maskCopy, {});
    if (grow > 0) kept = {};
    // The mark each place from `index` on wants for the cell that ends up there: a new cell's
    // own, or as an add would judge it; and the mark each place has now.
    std::vector<std::uint8_t> after;
    std::vector<std::uint8_t> now;
    if (shape.bits == 32) {
        if (index < places) {
            auto current = ListCells::Open(GetHandle(), {shape.width, shape.height, 32});
            if (!current) return false;
            now = MarksFrom(GetHandle(), *current, index, places - index);
            if (now.empty()) return false;
        }
        if (!TryResize(after, before + count - index)) return false;
        for (int p = index; p < before + count; ++p) {
            const int k = p - index;
            after[k] = k >= count ? now[k - count]
                       : marks.size() == static_cast<std::size_t>(count)
                           ? marks[k]
                           : PackedCellHasAlpha(shape, cells.data() + shape.CellBytes() * k);
        }
    }
    // The places the list grows by are marked as they are made, for the cells that end up there.
    std::vector<std::uint8_t> carriesAlpha;
    if (!TryResize(carriesAlpha, grow)) return false;
    for (int k = 0; k < grow && !after.empty(); ++k) carriesAlpha[k] = after[places + k - index];
    if (!GrowList(GetHandle(), shape.bits, carriesAlpha, grow)) {
        if (::ImageList_GetImageCount(GetHandle()) > places)
            ::ImageList_SetImageCount(GetHandle(), places);
        return false;
    }
    state_->spare -= count - grow;
    auto list = ListCells::Open(GetHandle(), shape, -1, &kept);
    if (!list) return false;
    list->Move(index, index + count, before - index);
    list->Write(index, count, cells.data());
    if (!list->Commit()) return false;
    if (Remark(GetHandle(), shape, index, now, after)) list->KeepMask(state_->maskCopy);
    return true;
}

Bytes ImageGroup::RemoveCells(int index, int count, std::vector<std::uint8_t>& marks) {
    if (!IsCreated()) return {};
    if (index < 0 || count < 1 || index + count > GetCount()) return {};
    const CellShape shape = ShapeOf(GetHandle(), state_->fields);
    auto list = ListCells::Open(GetHandle(), shape, index + count - 1);
    if (!list) return {};
    Bytes removed = list->Read(index, count);
    marks = shape.bits == 32 ? MarksFrom(GetHandle(), *list, index, count)
                             : std::vector<std::uint8_t>{};
    list.reset();
    if (removed.empty() || !TakeOut(index, count)) return {};
    return removed;
}

bool ImageGroup::ReplaceCells(int index, int count, Bytes& cells) {
    state_->maskCopy = {};
    if (!IsCreated()) return false;
    const CellShape shape = ShapeOf(GetHandle(), state_->fields);
    if (index < 0 || count < 1 || index + count > GetCount() ||
        cells.size() != shape.CellBytes() * count)
        return false;
    auto list = ListCells::Open(GetHandle(), shape, index + count - 1);
    if (!list) return false;
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
        list = ListCells::Open(GetHandle(), shape, index + count - 1);
        if (!list) return false;
    }
    list->Write(index, count, cells.data());
    if (!list->Commit()) return false;
    cells = std::move(current);
    return true;
}

bool ImageGroup::MoveCells(std::vector<std::pair<int, int>>& moves) {
    state_->maskCopy = {};
    if (!IsCreated() || moves.empty()) return false;
    int last = 0;
    for (const auto& [to, from] : moves) last = std::max({last, to, from});
    auto list = ListCells::Open(GetHandle(), ShapeOf(GetHandle(), state_->fields), last);
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
