// Pictures into an image group, as both front ends take them. A picture enters either whole, as
// one icon that the list stretches to its cell size, or as one bitmap that the list cuts into
// cells of its width; an icon file is loaded at the cell size.
#pragma once

#include <windows.h>

#include <optional>

#include "core/image_group.h"
#include "imaging/gdip_image.h"

namespace iconvale {

// Each add returns the index of the first image added, or -1; the picture stays the caller's.
// As one icon: the whole picture stretched to the cell size.
int AddPictureAsIcon(ImageGroup& group, const GdipImage& picture);
// As a strip: cut into cells from the left at the top, unscaled; a rest narrower than a cell is
// dropped. The masked form makes pixels of exactly `transparent` transparent.
int AddPictureStrip(ImageGroup& group, const GdipImage& picture);
int AddPictureStripMasked(ImageGroup& group, const GdipImage& picture, COLORREF transparent);
// The cell at `index` filled from the whole picture as one bitmap.
bool ReplaceWithPicture(ImageGroup& group, int index, const GdipImage& picture);

// Empties a picture reused for imports before an import and again on every way out of it.
class ScratchInUse {
public:
    explicit ScratchInUse(GdipImage& picture) : picture_(picture) { picture_.Dispose(); }
    ~ScratchInUse() { picture_.Dispose(); }
    ScratchInUse(const ScratchInUse&) = delete;
    ScratchInUse& operator=(const ScratchInUse&) = delete;

private:
    GdipImage& picture_;
};

// How a picture file other than an icon file enters the group.
struct PictureEntry {
    bool split = false;                   // cut into cells rather than stretched to one
    std::optional<COLORREF> transparent;  // split pictures only
};

// Appends the images made from a decoded picture, as `entry` says; true when the group took them.
bool ImportPicture(ImageGroup& group, const GdipImage& picture, const PictureEntry& entry);

// Appends the images made from one file: an icon file (the caller says which files are) at the
// cell size, where the loader picks the best of its images; any other picture as `entry` says,
// decoded into `scratch`, which is empty again afterwards. True when the group took them.
bool ImportPictureFile(ImageGroup& group, const wchar_t* path, bool iconFile,
                       const PictureEntry& entry, GdipImage& scratch);

}  // namespace iconvale
