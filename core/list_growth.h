// Growing a platform image list at its end without handing it the new images' pixels, so that
// the caller writes them once, in place, into the list's own bitmaps (core/list_cells.h).
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include <cstdint>
#include <span>

#include "ui/progress_reporter.h"

namespace iconvale {

// Adds carriesAlpha.size() images after the list's last one, `perBatch` to a call: one call
// where the list must grow beyond its room, since each call that does copies all it holds. A 32-bit
// list keeps a mark per image that decides whether it is drawn through its alpha; only the
// platform's add sets that mark, so such a list takes an add of a strip one pixel high whose cells
// carry alpha exactly where carriesAlpha says (the add's stretched row is for the caller to
// overwrite). Other depths are resized. `steps` hears the images added after each batch but the
// last. False when the platform refused; some of the images may then be in.
bool GrowList(HIMAGELIST list, int bitsPerPixel, std::span<const std::uint8_t> carriesAlpha,
              int perBatch, const ProgressSteps& steps = {});

}  // namespace iconvale
