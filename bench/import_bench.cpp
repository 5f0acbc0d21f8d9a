// Pictures in and out: a strip cut into cells against the platform's own add of the same
// bitmaps, and extraction of single images to PNG files.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "app/extraction.h"
#include "app/program_objects.h"
#include "benches.h"
#include "core/image_group.h"
#include "fixtures.h"
#include "imaging/gdip_graphics.h"
#include "imaging/gdip_image.h"
#include "imaging/group_imports.h"
#include "imaging/image_formats.h"
#include "imaging/solid_brush.h"

namespace iconvale::bench {

namespace {

// Strips of 512 cells of 32, as the earlier runs measured them.
constexpr int kStripCells = 512;
constexpr int kStrips = 2048 / kStripCells;

// A strip picture with a different colour in every cell.
GdipImage StripPicture(int strip) {
    GdipImage picture;
    picture.CreateBlank(kStripCells * kCell, kCell);
    GdipGraphics surface;
    surface.CreateFromImage(picture);
    for (int cell = 0; cell < kStripCells; ++cell) {
        SolidBrush brush;
        brush.CreateSolid(0xFF000000u | static_cast<Argb>(strip * 40) << 16 |
                          static_cast<Argb>(cell & 0xFF) << 8 | static_cast<Argb>(cell >> 8));
        surface.FillRectangle(brush, static_cast<float>(cell * kCell), 4, kCell, kCell - 8);
    }
    surface.Delete();
    return picture;
}

}  // namespace

void MeasureStripImport(Report& report) {
    std::vector<GdipImage> pictures;
    std::vector<UniqueBitmap> bitmaps;
    for (int strip = 0; strip < kStrips; ++strip) {
        pictures.push_back(StripPicture(strip));
        bitmaps.push_back(pictures.back().ToBitmapHandle(0));
    }
    auto ours = [&] {
        ImageGroup group;
        group.Create(kCell, kCell);
        for (const GdipImage& picture : pictures) AddPictureStrip(group, picture);
    };
    auto platform = [&] {
        UniqueImageList list(::ImageList_Create(kCell, kCell, ILC_COLOR32 | ILC_MASK, 0, 0));
        for (const UniqueBitmap& bitmap : bitmaps)
            ::ImageList_Add(list.get(), bitmap.get(), nullptr);
    };
    report.Add(
        "import of 2,048 cells of 32x32 (" + std::to_string(kStrips) + " strips of " +
            std::to_string(kStripCells) + ")",
        "ImageList_Add of the same bitmaps", Compare(kRuns, ours, platform), 2.0,
        "a 2,048-cell strip of 32 would be 65,536 pixels wide, over the 16,384-pixel side limit of "
        "a "
        "picture, so the cells come as the widest strips allowed; ours includes making each "
        "picture's bitmap (GdipCreateHBITMAPFromBitmap), the baseline gets those bitmaps made");
}

void MeasureExtraction(Report& report) {
    constexpr int kImages = 1000;
    constexpr int kExtractionRuns = 1;
    ProgramObjects program;
    ImageGroup loaded;
    loaded.LoadFromBytes(PlatformGroupStream(1024), 0);
    program.document().Create(loaded, loaded.GetBackgroundColour());
    NullView view;
    NullUi ui;
    Extraction extraction(program.document(), program.choices, view, ui, {});
    std::vector<double> perImage;
    for (int run = 0; run < kExtractionRuns; ++run) {
        const std::string folder = NewTempFolder("extract" + std::to_string(run));
        int written = 0;
        const double seconds = TimeOnce([&] {
            for (int i = 0; i < kImages; ++i)
                written += extraction.ExtractImageToFile(folder, kPngFormat, i) ? 1 : 0;
        });
        RemoveFolder(folder);
        if (written != kImages)
            std::fprintf(stderr, "extraction wrote %d of %d\n", written, kImages);
        perImage.push_back(seconds / kImages * 1e3);
    }
    Spread spread = SpreadOf(perImage);
    report.Add({"extraction of 1,000 PNGs into one new folder",
                "- (time per image)",
                spread,
                {},
                spread,
                0,
                "ms/image",
                "Extraction::ExtractImageToFile, " + std::to_string(kExtractionRuns) +
                    " runs; names counted from image0, going on from the last one written"});
}

}  // namespace iconvale::bench
