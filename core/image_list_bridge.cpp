#include "core/image_list_bridge.h"

namespace iconvale {

StreamFields FieldsOf(const ImageListData& data) {
    return {data.flags, data.capacity, data.grow, data.overlays, data.bitsPerPixel};
}

int ScreenDepth() {
    WindowDc screen(nullptr);
    int bits = screen ? ::GetDeviceCaps(screen.get(), BITSPIXEL) : 32;
    return IsSupportedDepth(bits) ? bits : 32;
}

std::optional<RECT> CellInSheet(HIMAGELIST list, int index, int width, int height, int sheetWidth,
                                int sheetHeight) {
    IMAGEINFO info{};
    if (!::ImageList_GetImageInfo(list, index, &info)) return std::nullopt;
    const RECT& cell = info.rcImage;
    if (cell.left < 0 || cell.top < 0 || cell.left + width > sheetWidth ||
        cell.top + height > sheetHeight) {
        return std::nullopt;
    }
    return cell;
}

}  // namespace iconvale
