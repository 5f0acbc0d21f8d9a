#include "imaging/group_pictures.h"

#include <algorithm>

#include "imaging/extraction_formats.h"
#include "imaging/gdip_graphics.h"
#include "imaging/gdip_image.h"
#include "imaging/image_formats.h"
#include "imaging/solid_brush.h"

namespace iconvale {
namespace {

constexpr COLORREF kWhite = 0x00FFFFFF;

bool DrawGroupImage(const ImageGroup& group, int index, GdipGraphics& surface, float x, float y) {
    UniqueIcon icon = group.GetIcon(index, ILD_TRANSPARENT);
    GdipImage picture;
    return icon && picture.CreateFromIcon(icon.get()) && surface.DrawImage(picture, x, y);
}

// A blank canvas filled with one colour, and the bytes of the canvas once `draw` has drawn.
template <typename Draw>
Bytes DrawAndEncode(int width, int height, Argb fill, std::string_view formatIdentifier,
                    Draw draw) {
    GdipImage canvas;
    GdipGraphics surface;
    SolidBrush brush;
    if (!canvas.CreateBlank(width, height) || !surface.CreateFromImage(canvas) ||
        !brush.CreateSolid(fill)) {
        return {};
    }
    surface.FillRectangle(brush, 0, 0, static_cast<float>(width), static_cast<float>(height));
    if (!draw(surface)) return {};
    // The surface must let go of the canvas before the canvas is encoded.
    surface.Delete();
    return canvas.SaveToBytes(formatIdentifier);
}

}  // namespace

Bytes EncodeGroupImage(const ImageGroup& group, int index, std::string_view formatIdentifier) {
    const IconSize size = group.GetIconSize();
    COLORREF background = group.GetBackgroundColour();
    if (background == CLR_NONE) background = kWhite;
    const std::uint8_t alpha = formatIdentifier == kPngFormat ? 0 : 255;
    return DrawAndEncode(
        size.width, size.height, ColorRefToArgb(background, alpha), formatIdentifier,
        [&](GdipGraphics& surface) { return DrawGroupImage(group, index, surface, 0, 0); });
}

Bytes EncodeGroupStrip(const ImageGroup& group, int columns) {
    const int count = group.GetCount();
    if (count <= 0) return {};
    columns = columns <= 0 ? count : std::min(columns, count);
    const int rows = (count + columns - 1) / columns;
    const IconSize cell = group.GetIconSize();
    const long long width = static_cast<long long>(columns) * cell.width;
    const long long height = static_cast<long long>(rows) * cell.height;
    if (!PictureSizeAllowed(width, height)) return {};
    return DrawAndEncode(static_cast<int>(width), static_cast<int>(height), 0, kPngFormat,
                         [&](GdipGraphics& surface) {
                             for (int i = 0; i < count; ++i) {
                                 const float x = static_cast<float>(i % columns * cell.width);
                                 const float y = static_cast<float>(i / columns * cell.height);
                                 if (!DrawGroupImage(group, i, surface, x, y)) return false;
                             }
                             return true;
                         });
}

}  // namespace iconvale
