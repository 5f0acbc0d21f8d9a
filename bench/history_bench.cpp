// The edit history on a large group: one step (a change and its snapshot), an undo and a redo,
// each against opening the same group; the memory one step takes, and how many steps the
// history's budget holds. A reorder of a selection is measured beside them.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "benches.h"
#include "core/edit_history.h"
#include "core/image_group.h"
#include "core/image_order.h"
#include "fixtures.h"

namespace iconvale::bench {

namespace {

constexpr int kHistoryCount = 4096;
constexpr int kSelected = 64;

double MiB(double bytes) {
    return bytes / (1024.0 * 1024.0);
}

std::string OneDecimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// `ours` and `opening` timed by turns, `runs` times each, as Compare does, without a warm-up:
// each run of `ours` is one step of a sequence.
struct Timings {
    std::vector<double> ours;
    std::vector<double> opening;

    Comparison Against() const {
        std::vector<double> ratios;
        for (std::size_t i = 0; i < ours.size(); ++i) ratios.push_back(ours[i] / opening[i]);
        return {SpreadOf(ours), SpreadOf(opening), SpreadOf(ratios)};
    }
};

}  // namespace

void MeasureHistory(Report& report) {
    const Bytes stream = PlatformGroupStream(kHistoryCount);
    ImageGroup group;
    ImageGroup opened;
    if (!group.LoadFromBytes(stream, 0)) return;
    auto open = [&] { opened.LoadFromBytes(stream, 0); };
    open();

    EditHistory history;
    const double startSeconds = TimeOnce([&] { history.Start(group.SnapshotBytes(), true); });
    const std::size_t stepBytes = history.HeldBytes();
    UniqueIcon icon(::CopyIcon(::LoadIconW(nullptr, IDI_INFORMATION)));
    auto restore = [&](std::span<const std::uint8_t> state) {
        return group.RestoreFromBytes(state);
    };

    Timings record, undo, redo, reorder;
    std::vector<int> selection;
    for (int i = 0; i < kSelected; ++i) selection.push_back(i * (kHistoryCount / kSelected));
    for (int run = 0; run < kRuns; ++run) {
        record.opening.push_back(TimeOnce(open));
        record.ours.push_back(TimeOnce([&] {
            group.ReplaceWithIcon(run * 7, icon.get());
            history.Record(group.SnapshotBytes());
        }));
        undo.opening.push_back(TimeOnce(open));
        undo.ours.push_back(TimeOnce([&] { history.Undo(restore); }));
        redo.opening.push_back(TimeOnce(open));
        redo.ours.push_back(TimeOnce([&] { history.Redo(restore); }));
        reorder.opening.push_back(TimeOnce(open));
        reorder.ours.push_back(TimeOnce([&] {
            // The reordered snapshot is both what the group becomes and the step's record.
            auto moved = MoveByOne(group.GetCount(), selection, 1);
            if (!moved) return;
            Bytes after = group.SnapshotBytes(moved->order);
            if (group.RestoreFromBytes(after)) history.Record(std::move(after));
        }));
    }

    const std::string size = std::to_string(kHistoryCount) + " x 32x32x32 + mask";
    const char* opening = "open of the same group";
    report.Add("history step (a change and its snapshot), " + size, opening, record.Against(), 0.5,
               "ReplaceWithIcon of one image, then SnapshotBytes and EditHistory::Record; "
               "the first snapshot, taken when the group is opened, took " +
                   std::to_string(static_cast<int>(startSeconds * 1e3 + 0.5)) + " ms");
    report.Add("undo, " + size, opening, undo.Against(), 1.0,
               "EditHistory::Undo into ImageGroup::RestoreFromBytes, which builds a new list");
    report.Add("redo, " + size, opening, redo.Against(), 1.0);
    report.Add(
        "move " + std::to_string(kSelected) + " scattered images down one place, " + size, opening,
        reorder.Against(), 1.5,
        "MoveByOne, SnapshotBytes in the new order, RestoreFromBytes of it, and Record of the "
        "same bytes");

    const double pixelBytes = static_cast<double>(kHistoryCount) * (kCell * kCell * 4 + kCell * 4);
    const double stepMiB = MiB(static_cast<double>(stepBytes));
    const double ratio = static_cast<double>(stepBytes) / pixelBytes;
    report.Add({"memory of one history step, " + size,
                "pixel and mask bytes (" + OneDecimal(MiB(pixelBytes)) + " MiB)",
                {stepMiB, stepMiB, stepMiB},
                {},
                {ratio, ratio, ratio},
                1.01,
                "MiB",
                "the snapshot's bytes: the fields, then every image's pixels and mask packed"});

    // Steps kept once the budget is full: changes recorded until the oldest start to go.
    history.Start(group.SnapshotBytes(), true);
    std::size_t held = 1;
    for (int change = 0; change < 64; ++change) {
        group.ReplaceWithIcon(change, icon.get());
        history.Record(group.SnapshotBytes());
        held = history.UndoSteps() + 1;
        if (held <= static_cast<std::size_t>(change) + 1) break;
    }
    const double steps = static_cast<double>(held);
    report.Add({"states held in the 256 MiB history budget, " + size,
                "- (count)",
                {steps, steps, steps},
                {},
                {steps, steps, steps},
                0,
                "states",
                "the current state among them, so one fewer undo steps; counted by recording "
                "changes until the oldest were dropped"});
}

}  // namespace iconvale::bench
