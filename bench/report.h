// The benchmark's results as one Markdown table, with the machine they were measured on.
#pragma once

#include <string>
#include <vector>

#include "timing.h"

namespace iconvale::bench {

struct Row {
    std::string measure;   // what ran, with its size
    std::string baseline;  // what it is compared with
    Spread ours;           // seconds, or the measured value when `unit` says so
    Spread base;           // seconds; empty when there is no baseline
    Spread ratio;          // the figure compared with the target
    double target = 0;     // the ratio must not exceed it
    std::string unit = "x";
    std::string note;
};

class Report {
public:
    void Add(Row row);
    void Add(const std::string& measure, const std::string& baseline, const Comparison& c, double target,
             std::string note = {});
    std::string Markdown(const std::string& machine) const;

private:
    std::vector<Row> rows_;
};

}  // namespace iconvale::bench
