// The edit history on a large group: a one-image replace and delete with their records, the
// delete's undo and redo with the icon list's update, a reorder and its undo against opening the
// same group; the memory one step takes, and how many such steps the history's budget holds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "benches.h"
#include "app/document.h"
#include "app/document_presenter.h"
#include "app/main_window.h"
#include "core/edit_history.h"
#include "core/image_group.h"
#include "core/image_order.h"
#include "fixtures.h"

namespace iconvale::bench {

namespace {

constexpr int kHistoryCount = 16384;
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
    ImageGroup opened;
    auto open = [&] { opened.LoadFromBytes(stream, 0); };
    open();
    ImageGroup made;
    if (!made.LoadFromBytes(stream, 0)) return;

    // The document as the program has it: its changes reach a real icon list through the
    // presenter, one refresh each.
    Document document;
    MainWindow window(document.group());
    window.Create(::GetModuleHandleW(nullptr), {});
    DocumentPresenter presenter(document, window);
    document.Create(made, CLR_NONE);
    UniqueIcon icon(::CopyIcon(::LoadIconW(nullptr, IDI_INFORMATION)));

    Timings replace, remove, undo, redo, reorder;
    std::vector<int> selection;
    for (int i = 0; i < kSelected; ++i) selection.push_back(i * (kHistoryCount / kSelected));
    std::size_t stepBytes = 0;
    for (int run = 0; run < kRuns; ++run) {
        replace.opening.push_back(TimeOnce(open));
        const std::size_t before = document.history().HeldBytes();
        replace.ours.push_back(TimeOnce([&] {
            document.Change(
                [&](ImageGroup& group) { return group.ReplaceWithIcon(run * 7, icon.get()); });
        }));
        // Measured on the first run, while the history has no redo side that the record drops.
        if (run == 0) stepBytes = document.history().HeldBytes() - before;
        remove.opening.push_back(TimeOnce(open));
        remove.ours.push_back(TimeOnce([&] {
            document.Change([&](ImageGroup& group) { return group.Remove(run * 11 + 5); });
        }));
        undo.opening.push_back(TimeOnce(open));
        undo.ours.push_back(TimeOnce([&] { document.Undo(); }));
        redo.opening.push_back(TimeOnce(open));
        redo.ours.push_back(TimeOnce([&] { document.Redo(); }));
        reorder.opening.push_back(TimeOnce(open));
        reorder.ours.push_back(TimeOnce([&] {
            auto moved = MoveByOne(document.group().GetCount(), selection, 1);
            if (moved) document.Reorder(moved->order);
            document.Undo();
        }));
    }

    const std::string size = std::to_string(kHistoryCount) + " x 32x32x32 + mask";
    const char* opening = "open of the same group";
    auto absolute = [&](const std::string& measure, const Timings& t, double targetMs,
                        const std::string& note) {
        Spread ms = SpreadOf(t.ours);
        ms = {ms.median * 1e3, ms.min * 1e3, ms.max * 1e3};
        report.Add({measure, "- (milliseconds)", ms, {}, ms, targetMs, "ms", note});
    };
    absolute(
        "replace one image and record the step, " + size, replace, 5,
        "Document::Change with ImageGroup::ReplaceWithIcon; the step keeps the replaced image");
    absolute(
        "delete one image and record the step, " + size, remove, 5,
        "Document::Change with ImageGroup::Remove; the platform's remove copies the whole list");
    absolute("undo of the delete, icon list included, " + size, undo, 20,
             "Document::Undo: the image goes back in place, the presenter adds one item to a real "
             "icon list");
    absolute("redo of the delete, icon list included, " + size, redo, 20, "");
    report.Add("move " + std::to_string(kSelected) +
                   " scattered images down one place and undo it, " + size,
               opening, reorder.Against(), 0.1,
               "Document::Reorder of MoveByOne's order, then Document::Undo");

    const double pixelBytes = static_cast<double>(kHistoryCount) * (kCell * kCell * 4 + kCell * 4);
    const double stepMiB = MiB(static_cast<double>(stepBytes));
    const double ratio = static_cast<double>(stepBytes) / pixelBytes;
    report.Add({"memory of one replace step, " + size,
                "pixel and mask bytes (" + OneDecimal(MiB(pixelBytes)) + " MiB)",
                {stepMiB, stepMiB, stepMiB},
                {},
                {ratio, ratio, ratio},
                0.001,
                "MiB",
                "the replaced image's pixels and mask, its place and the group's fields"});
    const double steps =
        static_cast<double>(kHistoryBudgetBytes / std::max<std::size_t>(stepBytes, 1));
    report.Add({"replace steps held in the 256 MiB history budget, " + size,
                "- (count)",
                {steps, steps, steps},
                {},
                {steps, steps, steps},
                0,
                "steps",
                "the budget divided by the bytes of one replace step; at least 1,000 wanted"});
}

}  // namespace iconvale::bench
