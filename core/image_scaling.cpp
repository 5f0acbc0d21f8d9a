#include "core/image_scaling.h"

#include <algorithm>
#include <vector>

namespace iconvale {

namespace {

constexpr int kMaxSide = 0xFFFF;

struct Tap {
    int index;
    std::uint32_t weight;
};

// The source pixels each target pixel draws on along one axis, with integer weights that sum to
// `total` for every target pixel.
struct AxisTaps {
    std::vector<std::vector<Tap>> taps;
    std::uint64_t total = 1;
};

AxisTaps Taps(int from, int to) {
    AxisTaps axis;
    axis.taps.resize(static_cast<std::size_t>(to));
    const std::int64_t n = from, m = to;
    if (from == to) {
        for (int x = 0; x < to; ++x) axis.taps[x] = {{x, 1}};
    } else if (to < from) {
        // Measured in 1/m of a source pixel, target pixel x covers [x*n, (x+1)*n) and source
        // pixel i covers [i*m, (i+1)*m).
        axis.total = static_cast<std::uint64_t>(n);
        for (std::int64_t x = 0; x < m; ++x) {
            const std::int64_t begin = x * n, end = (x + 1) * n;
            for (std::int64_t i = begin / m; i < n && i * m < end; ++i) {
                const std::int64_t overlap = std::min(end, (i + 1) * m) - std::max(begin, i * m);
                if (overlap > 0)
                    axis.taps[x].push_back(
                        {static_cast<int>(i), static_cast<std::uint32_t>(overlap)});
            }
        }
    } else {
        // Target pixel x's centre lies at source position ((2x+1)n - m) / 2m, counted from the
        // centre of source pixel 0; measured in 1/2m of a pixel it is an integer.
        axis.total = static_cast<std::uint64_t>(2 * m);
        for (std::int64_t x = 0; x < m; ++x) {
            const std::int64_t at = std::max<std::int64_t>((2 * x + 1) * n - m, 0);
            const std::int64_t i = at / (2 * m), fraction = at % (2 * m);
            const int next = static_cast<int>(std::min(i + 1, n - 1));
            axis.taps[x].push_back(
                {static_cast<int>(i), static_cast<std::uint32_t>(2 * m - fraction)});
            if (fraction != 0) axis.taps[x].push_back({next, static_cast<std::uint32_t>(fraction)});
        }
    }
    return axis;
}

std::uint8_t Rounded(std::uint64_t sum, std::uint64_t total) {
    return static_cast<std::uint8_t>(std::min<std::uint64_t>((sum + total / 2) / total, 255));
}

}  // namespace

Bytes ScaleBgra(std::span<const std::uint8_t> pixels, int width, int height, int toWidth,
                int toHeight) {
    if (width <= 0 || height <= 0 || toWidth <= 0 || toHeight <= 0 || width > kMaxSide ||
        height > kMaxSide || toWidth > kMaxSide || toHeight > kMaxSide ||
        pixels.size() < std::size_t{4} * static_cast<std::size_t>(width) * height)
        return {};
    const AxisTaps across = Taps(width, toWidth), down = Taps(height, toHeight);
    const std::uint64_t total = across.total * down.total;
    Bytes out(std::size_t{4} * static_cast<std::size_t>(toWidth) * toHeight);
    std::uint8_t* to = out.data();
    for (int y = 0; y < toHeight; ++y) {
        for (int x = 0; x < toWidth; ++x, to += 4) {
            // Sums of weight x alpha and of weight x alpha x colour: at most 2^34 x 255 x 255.
            std::uint64_t alpha = 0, colour[3] = {0, 0, 0};
            for (const Tap& row : down.taps[y]) {
                const std::uint8_t* line = &pixels[std::size_t{4} * row.index * width];
                for (const Tap& column : across.taps[x]) {
                    const std::uint8_t* p = line + std::size_t{4} * column.index;
                    const std::uint64_t weight = std::uint64_t{row.weight} * column.weight * p[3];
                    alpha += weight;
                    for (int c = 0; c < 3; ++c) colour[c] += weight * p[c];
                }
            }
            for (int c = 0; c < 3; ++c) to[c] = alpha == 0 ? 0 : Rounded(colour[c], alpha);
            to[3] = Rounded(alpha, total);
        }
    }
    return out;
}

}  // namespace iconvale
