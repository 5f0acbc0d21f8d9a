// What the icon list draws from when it shows a group enlarged or over a checkerboard: a second
// image list made from the group's images, which themselves stay as they are.
#pragma once

#include <cstdint>

#include "core/image_group.h"
#include "ui/win_handles.h"

namespace iconvale {

struct DisplayOptions {
    int zoom = 1;               // 1, 2 or 4
    bool checkerboard = false;  // grey squares behind transparent pixels
};

// The group's own list serves these options; no display list is needed.
inline bool DrawsFromGroup(const DisplayOptions& options) {
    return options.zoom == 1 && !options.checkerboard;
}

// The zoom steps: 1, 2 and 4.
inline int ZoomedIn(int zoom) {
    return zoom >= 2 ? 4 : 2;
}
inline int ZoomedOut(int zoom) {
    return zoom <= 2 ? 1 : 2;
}

// A display list never holds more pixel bytes than this; a zoom that would need more is
// lowered until the list fits.
inline constexpr std::uint64_t kMaxDisplayListBytes = 64ull << 20;

// Checkerboard squares: light and dark grey (0x00RRGGBB).
inline constexpr std::uint32_t kCheckerLight = 0x00E6E6E6;
inline constexpr std::uint32_t kCheckerDark = 0x00B4B4B4;

// A new list of every image of the group, each enlarged by the zoom with nearest neighbour so
// that pixels stay sharp, and with the checkerboard laid under it where it is transparent
// (through alpha or the mask). Null for an empty group, for a group whose list would not fit
// the budget even at 1x, and on failure.
UniqueImageList MakeDisplayList(const ImageGroup& group, DisplayOptions options);

}  // namespace iconvale
