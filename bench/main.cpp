// The benchmark: prints a Markdown table of our timings against the platform's and writes it,
// with the machine it ran on, to BENCHMARKS.md in the given folder (the current one by default).
#include <windows.h>
#include <ole2.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "benches.h"
#include "machine.h"
#include "timing.h"
#include "ui/platform_setup.h"

using namespace iconvale::bench;

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == kPeakArgument) return RunPeakChild(argv[2]);
    const std::wstring folder = argc > 1 ? std::wstring(argv[1]) : L".";

    ::OleInitialize(nullptr);
    iconvale::PlatformSetup app;
    app.Initialise({}, 0);

    Report report;
    const double started = NowSeconds();
    const auto step = [started](const char* name) {
        std::fprintf(stderr, "%.1f s: measuring %s\n", NowSeconds() - started, name);
    };
    // The history's rows alone, printed and not written, for a quick look after changing it.
    if (argc == 2 && std::wstring(argv[1]) == kHistoryOnlyArgument) {
        MeasureHistory(report);
        const std::string table = report.Markdown(MachineDescription());
        std::fwrite(table.data(), 1, table.size(), stdout);
        return 0;
    }
    if (argc == 2 && std::wstring(argv[1]) == kIconListOnlyArgument) {
        MeasureIconList(report);
        MeasureOpenToPaint(report);
        const std::string table = report.Markdown(MachineDescription());
        std::fwrite(table.data(), 1, table.size(), stdout);
        return 0;
    }
    if (argc == 2 && std::wstring(argv[1]) == kOpenOnlyArgument) {
        MeasureOpenAndSave(report);
        MeasurePeakMemory(report, argv[0]);
        const std::string table = report.Markdown(MachineDescription());
        std::fwrite(table.data(), 1, table.size(), stdout);
        return 0;
    }
    step("open and save");
    MeasureOpenAndSave(report);
    step("edit history");
    MeasureHistory(report);
    step("icon list");
    MeasureIconList(report);
    step("open to paint");
    MeasureOpenToPaint(report);
    step("strip import");
    MeasureStripImport(report);
    step("extraction");
    MeasureExtraction(report);
    step("start-up");
    MeasureStartUp(report);
    step("peak memory");
    MeasurePeakMemory(report, argv[0]);

    const std::string text = "# Benchmarks\n\nMedian of " + std::to_string(kRuns) +
                             " runs (min and max of the per-run ratios beside it), written by "
                             "`scripts/bench.sh`.\n\n" +
                             report.Markdown(MachineDescription());
    std::fwrite(text.data(), 1, text.size(), stdout);
    const std::wstring path = folder + L"\\BENCHMARKS.md";
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) {
        std::fprintf(stderr, "cannot write %ls\n", path.c_str());
        return 1;
    }
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return 0;
}
