// Wall-clock timing with the performance counter, and the spread of repeated runs.
#pragma once

#include <functional>
#include <vector>

namespace iconvale::bench {

double NowSeconds();

// Seconds taken by one call.
double TimeOnce(const std::function<void()>& work);

struct Spread {
    double median = 0;
    double min = 0;
    double max = 0;
};

Spread SpreadOf(std::vector<double> values);

// Ours and the baseline timed alternately, `runs` times each, after one untimed warm-up of
// both. The ratio spread is of the per-run ratios ours / baseline.
struct Comparison {
    Spread ours;      // seconds
    Spread baseline;  // seconds
    Spread ratio;
};

Comparison Compare(int runs, const std::function<void()>& ours, const std::function<void()>& baseline,
                   const std::function<void()>& between = {});

}  // namespace iconvale::bench
