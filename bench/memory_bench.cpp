// Peak working set of opening the largest group, in a fresh process of this program so that
// nothing measured before counts.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "benches.h"
#include "app/group_files.h"
#include "core/file_io.h"
#include "core/image_group.h"
#include "fixtures.h"
#include "ui/text.h"

namespace iconvale::bench {

namespace {

constexpr int kPeakCount = 16384;
constexpr int kPeakRuns = 5;

double MiB(double bytes) {
    return bytes / (1024.0 * 1024.0);
}

}  // namespace

int RunPeakChild(const wchar_t* streamPath) {
    // Read as the program reads a document.
    ImageGroup group;
    if (!ReadGroupFile(ToNarrow(std::wstring_view(streamPath)), group, {})) return 1;
    if (group.GetCount() != kPeakCount) return 2;
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    std::FILE* out = _wfopen((std::wstring(streamPath) + L".peak").c_str(), L"wb");
    if (!out) return 3;
    std::fprintf(out, "%lu\n", static_cast<unsigned long>(counters.PeakWorkingSetSize));
    std::fclose(out);
    return 0;
}

void MeasurePeakMemory(Report& report, const wchar_t* program) {
    const std::string folder = NewTempFolder("peak");
    const std::wstring path = std::wstring(WidePtr(ToWide(folder))) + L"group.stream";
    const Bytes bytes = PlatformGroupStream(kPeakCount);
    std::FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);

    const double pixelBytes = static_cast<double>(kPeakCount) * kCell * kCell * 4;
    std::vector<double> peaks;
    for (int run = 0; run < kPeakRuns; ++run) {
        std::wstring command =
            L"\"" + std::wstring(program) + L"\" " + kPeakArgument + L" \"" + path + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child{};
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &child)) {
            break;
        }
        ::WaitForSingleObject(child.hProcess, INFINITE);
        DWORD code = 1;
        ::GetExitCodeProcess(child.hProcess, &code);
        ::CloseHandle(child.hThread);
        ::CloseHandle(child.hProcess);
        std::FILE* in = _wfopen((path + L".peak").c_str(), L"rb");
        unsigned long peak = 0;
        if (code == 0 && in && std::fscanf(in, "%lu", &peak) == 1) peaks.push_back(MiB(peak));
        if (in) std::fclose(in);
    }
    RemoveFolder(folder);
    if (peaks.empty()) return;
    Spread peak = SpreadOf(peaks);
    Spread perMiB{peak.median / MiB(pixelBytes), peak.min / MiB(pixelBytes),
                  peak.max / MiB(pixelBytes)};
    // The target, peak <= 1.5 x pixel bytes + 30 MiB, as MiB of peak per MiB of pixels.
    const double target = (1.5 * MiB(pixelBytes) + 30) / MiB(pixelBytes);
    char note[200];
    std::snprintf(note, sizeof note,
                  "PeakWorkingSetSize of a fresh process that reads the %.0f MiB file and opens "
                  "it; %.0f MiB of "
                  "pixels; the ratio is peak MiB per MiB of pixels, %d runs",
                  MiB(static_cast<double>(bytes.size())), MiB(pixelBytes),
                  static_cast<int>(peaks.size()));
    report.Add({"peak working set, open of 16,384",
                "1.5 x pixel bytes + 30 MiB",
                peak,
                {},
                perMiB,
                target,
                "MiB",
                note});
}

}  // namespace iconvale::bench
