#include "support/test_icons.h"

#include <vector>

namespace iconvale::testing {

UniqueIcon MakeIcon(int width, int height, const std::function<std::uint32_t(int, int)>& colour) {
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = width;
    header.bV5Height = -height;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_RGB;
    void* bits = nullptr;
    WindowDc screen(nullptr);
    UniqueBitmap colourBitmap(::CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&header),
                                                 DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!colourBitmap) return {};
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const int maskStride = (width + 15) / 16 * 2;  // mono bitmaps have word-aligned rows
    std::vector<std::uint8_t> maskBits(static_cast<std::size_t>(maskStride) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t c = colour(x, y);
            pixels[y * width + x] = c;
            if ((c >> 24) == 0) maskBits[y * maskStride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
    UniqueBitmap maskBitmap(::CreateBitmap(width, height, 1, 1, maskBits.data()));
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colourBitmap.get();
    info.hbmMask = maskBitmap.get();
    return UniqueIcon(::CreateIconIndirect(&info));
}

UniqueIcon SolidIcon(int width, int height, std::uint32_t rgb) {
    return MakeIcon(width, height, [rgb](int, int) { return 0xFF000000u | rgb; });
}

}  // namespace iconvale::testing
