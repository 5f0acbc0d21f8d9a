#include "core/conversion_losses.h"

namespace iconvale {

namespace {

bool AnyAlpha(const ImageListData& list, int index) {
    for (int y = 0; y < list.height; ++y) {
        const std::uint8_t* row = list.ImageRow(index, y);
        for (int x = 0; x < list.width; ++x) {
            if (row[x * 4 + 3] != 0) return true;
        }
    }
    return false;
}

// The Lazarus writer keeps an image's alpha when it has any, and the reader takes alpha 0 as
// transparent; an image without alpha gets it from the mask, which then survives whole.
long long MaskPixelsLost(const ImageListData& list) {
    if (!list.HasMask() || list.bitsPerPixel != 32 ||
        list.pixels.size() < list.ImageBytes() * list.count ||
        list.mask.size() < list.MaskBytes() * list.count) {
        return 0;
    }
    long long lost = 0;
    for (int i = 0; i < list.count; ++i) {
        if (!AnyAlpha(list, i)) continue;
        for (int y = 0; y < list.height; ++y) {
            const std::uint8_t* row = list.ImageRow(i, y);
            for (int x = 0; x < list.width; ++x) {
                lost += list.Transparent(i, x, y) != (row[x * 4 + 3] == 0);
            }
        }
    }
    return lost;
}

}  // namespace

ConversionLosses LossesOfWriting(const ImageListData& list, FileForm form) {
    ConversionLosses losses;
    if (form != FileForm::kLazarusForm) return losses;
    if (list.bitsPerPixel != 32) losses.raisedDepth = list.bitsPerPixel;
    losses.maskPixels = MaskPixelsLost(list);
    losses.background = list.background != kNoColour;
    return losses;
}

}  // namespace iconvale
