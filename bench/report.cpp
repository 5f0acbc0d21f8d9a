#include "report.h"

#include <cstdio>

namespace iconvale::bench {

namespace {

std::string Format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Seconds as milliseconds, or microseconds below one millisecond.
std::string Duration(double seconds) {
    if (seconds <= 0) return "-";
    if (seconds < 1e-3) return Format("%.1f us", seconds * 1e6);
    return Format("%.2f ms", seconds * 1e3);
}

}  // namespace

void Report::Add(Row row) { rows_.push_back(std::move(row)); }

void Report::Add(const std::string& measure, const std::string& baseline, const Comparison& c,
                 double target, std::string note) {
    rows_.push_back({measure, baseline, c.ours, c.baseline, c.ratio, target, "x", std::move(note)});
}

std::string Report::Markdown(const std::string& machine) const {
    std::string out = machine;
    out += "\n| Measure | Compared with | Ours (median) | Baseline (median) | Ratio median | min | max "
           "| Target | Result |\n";
    out += "|---|---|---:|---:|---:|---:|---:|---:|:---:|\n";
    for (const Row& row : rows_) {
        const bool ratio = row.unit == "x";
        const std::string ours = ratio || row.unit.empty() ? Duration(row.ours.median)
                                                           : Format("%.1f ", row.ours.median) + row.unit;
        const char* pattern = ratio ? "%.2f" : "%.2f";
        out += "| " + row.measure + " | " + row.baseline + " | " + ours + " | " + Duration(row.base.median) +
               " | " + Format(pattern, row.ratio.median) + " | " + Format(pattern, row.ratio.min) + " | " +
               Format(pattern, row.ratio.max) + " | ";
        if (row.target > 0) {
            out += "<= " + Format("%.2f", row.target) + " | " + (row.ratio.median <= row.target ? "pass" : "**miss**");
        } else {
            out += "- | -";
        }
        out += " |\n";
    }
    bool notes = false;
    for (const Row& row : rows_) {
        if (row.note.empty()) continue;
        if (!notes) out += "\nNotes:\n\n";
        notes = true;
        out += "- " + row.measure + ": " + row.note + "\n";
    }
    return out;
}

}  // namespace iconvale::bench
