#include "timing.h"

#include <windows.h>

#include <algorithm>

namespace iconvale::bench {

double NowSeconds() {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

double TimeOnce(const std::function<void()>& work) {
    const double start = NowSeconds();
    work();
    return NowSeconds() - start;
}

Spread SpreadOf(std::vector<double> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

Comparison Compare(int runs, const std::function<void()>& ours, const std::function<void()>& baseline,
                   const std::function<void()>& between) {
    auto settle = [&] {
        if (between) between();
    };
    ours();
    settle();
    baseline();
    settle();
    std::vector<double> oursTimes;
    std::vector<double> baseTimes;
    std::vector<double> ratios;
    for (int run = 0; run < runs; ++run) {
        const double a = TimeOnce(ours);
        settle();
        const double b = TimeOnce(baseline);
        settle();
        oursTimes.push_back(a);
        baseTimes.push_back(b);
        ratios.push_back(b > 0 ? a / b : 0);
    }
    return {SpreadOf(oursTimes), SpreadOf(baseTimes), SpreadOf(ratios)};
}

}  // namespace iconvale::bench
