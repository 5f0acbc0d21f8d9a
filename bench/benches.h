// The measured concerns; each adds its rows to the report.
#pragma once

#include "report.h"

namespace iconvale::bench {

inline constexpr int kRuns = 5;
inline constexpr int kGroupSizes[] = {1024, 4096, 16384};

void MeasureOpenAndSave(Report& report);
void MeasureHistory(Report& report);
inline constexpr wchar_t kHistoryOnlyArgument[] = L"--history-only";
void MeasureIconList(Report& report);
void MeasureOpenToPaint(Report& report);
// The icon list rows alone, printed and not written.
inline constexpr wchar_t kIconListOnlyArgument[] = L"--icon-list-only";
void MeasureStartUp(Report& report);
void MeasureStripImport(Report& report);
void MeasureExtraction(Report& report);
// The peak is measured in a child process of this program, started with kPeakArgument.
void MeasurePeakMemory(Report& report, const wchar_t* program);
inline constexpr wchar_t kPeakArgument[] = L"--peak-open";
int RunPeakChild(const wchar_t* streamPath);
// Opening and saving with the peak memory of an open, printed and not written.
inline constexpr wchar_t kOpenOnlyArgument[] = L"--open-only";

}  // namespace iconvale::bench
