// Moves image lists between the stream's in-memory form and the platform's image list store:
// loading (image_list_loading.cpp) builds a platform list from a stream, writing
// (image_list_writing.cpp) reads one back out.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

#include <functional>
#include <optional>

#include "core/image_list_stream.h"
#include "ui/progress_reporter.h"
#include "ui/win_handles.h"

namespace iconvale {

// The stream fields that a platform list does not keep for us.
struct StreamFields {
    std::uint16_t flags = 0;
    std::uint16_t capacity = 0;
    std::uint16_t grow = 0;
    std::array<std::int16_t, 4> overlays{-1, -1, -1, -1};
    int bitsPerPixel = 32;
};

StreamFields FieldsOf(const ImageListData& data);

// The depth the screen's device-dependent bitmaps have, as one of the stream's depths.
int ScreenDepth();

// Hears of bytes of a stream's image sheet that have been read for the last time: the owner may
// give them back.
using SheetBytesDone = std::function<void(const std::uint8_t* begin, const std::uint8_t* end)>;

// A new platform list holding a checked stream's images, masks and background colour; null on
// failure. `steps`, when given, hears how many images are in after each batch the platform takes,
// the last report being the whole count; a list of no images reports nothing. `done`, when given,
// hears of the image sheet's rows as they are put in the list, and none is read again.
UniqueImageList BuildImageList(const StreamSheets& sheets, const ProgressSteps& steps = {},
                               const SheetBytesDone& done = {});

// What becomes of a 32-bit image whose alpha is zero throughout.
enum class AlphalessImages {
    kOpaqueWhereMasked,  // as comctl32 6 shows it: drawn through its mask
    kAsGiven,            // bit for bit, for a list that already held it so
};

// A new platform list of the fields' size, depth, palette and background colour holding the
// first fields.count cells of `image` and `mask`; null on failure.
UniqueImageList BuildImageList(const ImageListData& fields, const CellRows& image,
                               const std::optional<CellRows>& mask, AlphalessImages alphaless,
                               const ProgressSteps& steps = {});
// The same through the platform's adds alone, as lists were built before their bitmaps were
// written in place; BuildImageList falls back on it, and it is the reference the in-place build
// is held to.
UniqueImageList BuildThroughAdds(const ImageListData& fields, const CellRows& image,
                                 const std::optional<CellRows>& mask, AlphalessImages alphaless,
                                 const ProgressSteps& steps = {});

// The stream of a platform list's first `count` images (all of them for -1) with the given stream
// fields; empty on failure.
Bytes WriteListStream(HIMAGELIST list, const StreamFields& fields, int count = -1);

// Hands a platform list's fields (capacity raised to the count) and its first `count` cells (all
// for -1) to `write` and returns what it makes: the cells are read in place from the list's own
// bitmaps where they lie in a grid, else copied out first. Empty on failure.
using ListCellWriter =
    std::function<Bytes(const ImageListData& fields, const CellRows& image, const CellRows* mask)>;
Bytes WriteListCells(HIMAGELIST list, const StreamFields& fields, int count,
                     const ListCellWriter& write);

// Reads every image of a platform list back out, with the given stream fields.
std::optional<ImageListData> ReadImageList(HIMAGELIST list, const StreamFields& fields,
                                           int count = -1);

// Where image `index` of the list lies in its bitmap, if the whole cell of width by height lies
// inside a bitmap of sheetWidth by sheetHeight.
std::optional<RECT> CellInSheet(HIMAGELIST list, int index, int width, int height, int sheetWidth,
                                int sheetHeight);

}  // namespace iconvale
