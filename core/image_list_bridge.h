// Moves image lists between the stream's in-memory form and the platform's image list store:
// loading (image_list_loading.cpp) builds a platform list from a stream, writing
// (image_list_writing.cpp) reads one back out.
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h, which declares its stream functions only then
#include <commctrl.h>

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

// A new platform list holding a checked stream's images, masks and background colour; null on
// failure. `steps`, when given, hears how many images are in after each batch the platform takes,
// the last report being the whole count; a list of no images reports nothing.
UniqueImageList BuildImageList(const StreamSheets& sheets, const ProgressSteps& steps = {});

// The stream of a platform list with the given stream fields; empty on failure.
Bytes WriteListStream(HIMAGELIST list, const StreamFields& fields);

// Reads every image of a platform list back out, with the given stream fields.
std::optional<ImageListData> ReadImageList(HIMAGELIST list, const StreamFields& fields);

// Where image `index` of the list lies in its bitmap, if the whole cell of width by height lies
// inside a bitmap of sheetWidth by sheetHeight.
std::optional<RECT> CellInSheet(HIMAGELIST list, int index, int width, int height, int sheetWidth,
                                int sheetHeight);

}  // namespace iconvale
