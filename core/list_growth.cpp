#include "core/list_growth.h"

#include <algorithm>

#include "core/dib_bitmaps.h"

namespace iconvale {

bool GrowList(HIMAGELIST list, int bitsPerPixel, std::span<const std::uint8_t> carriesAlpha,
              int perBatch, const ProgressSteps& steps) {
    const int count = static_cast<int>(carriesAlpha.size());
    if (count == 0) return true;
    const int before = ::ImageList_GetImageCount(list);
    if (bitsPerPixel != 32) return ::ImageList_SetImageCount(list, before + count) != FALSE;

    int width = 0;
    int height = 0;
    if (!::ImageList_GetIconSize(list, &width, &height)) return false;
    // A strip wider than this goes in several adds.
    constexpr std::size_t kWidestStripBytes = 64u << 20;
    const int widest = static_cast<int>(
        std::max<std::size_t>(kWidestStripBytes / (static_cast<std::size_t>(width) * 4), 1));
    perBatch = std::clamp(perBatch, 1, std::min(count, widest));
    DibSection strip;
    for (int first = 0, made = 0; first < count; first += perBatch) {
        const int n = std::min(perBatch, count - first);
        if (n != made) {
            strip = CreateTopDownSection(n * width, 1, 32, {});
            if (!strip.bitmap) return false;
            made = n;
        }
        ::GdiFlush();
        auto* row = reinterpret_cast<std::uint32_t*>(strip.pixels.Row(0));
        for (int k = 0; k < n; ++k) {
            row[static_cast<std::size_t>(k) * width] = carriesAlpha[first + k] ? 0xFF000000u : 0;
        }
        if (::ImageList_Add(list, strip.bitmap.get(), nullptr) != before + first) return false;
        if (steps && first + n < count) steps(first + n, count);
    }
    return true;
}

}  // namespace iconvale
