#include "support/group_model.h"

#include <cstdlib>

#include "support/stream_builders.h"

namespace iconvale::testing {

namespace {

int Channel(Rgb colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); }

bool Near(Rgb expected, Rgb actual, int tolerance) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(Channel(expected, shift) - Channel(actual, shift)) > tolerance) return false;
    }
    return true;
}

// The pure colour within `tolerance` of every channel, if there is one.
bool SnapToPure(Rgb& colour, int tolerance) {
    Rgb snapped = 0;
    for (int shift : {0, 8, 16}) {
        const int value = Channel(colour, shift);
        if (value <= tolerance) continue;
        if (value < 255 - tolerance) return false;
        snapped |= Rgb{0xFF} << shift;
    }
    colour = snapped;
    return true;
}

}  // namespace

bool IsPure(Rgb colour) {
    for (int shift : {0, 8, 16}) {
        const int value = Channel(colour, shift);
        if (value != 0 && value != 255) return false;
    }
    return true;
}

ExpectedImage EnterList(ExpectedImage image, int depth, bool mask) {
    if (!image.known) return image;
    if (image.transparent && !mask) {
        image.known = false;  // what a list without a mask makes of a transparent cell is its own
        return image;
    }
    if (depth <= 8) {
        if (!SnapToPure(image.left, image.tolerance + 8) || !SnapToPure(image.right, image.tolerance + 8)) {
            image.known = false;
        }
        image.tolerance = 0;
    } else if (depth == 16 && image.tolerance < 8) {
        image.tolerance = 8;
    }
    return image;
}

::testing::AssertionResult Matches(const GroupModel& model, const ImageListData& list) {
    if (list.count != model.images.size() || list.width != model.width || list.height != model.height) {
        return ::testing::AssertionFailure()
               << "holds " << list.count << " images of " << list.width << "x" << list.height
               << ", expected " << model.images.size() << " of " << model.width << "x" << model.height;
    }
    if (list.bitsPerPixel != model.depth || list.HasMask() != model.mask) {
        return ::testing::AssertionFailure() << "depth " << list.bitsPerPixel << " mask " << list.HasMask()
                                             << ", expected " << model.depth << " mask " << model.mask;
    }
    const int y = model.height / 2;
    for (std::size_t i = 0; i < model.images.size(); ++i) {
        const ExpectedImage& image = model.images[i];
        if (!image.known) continue;
        const int index = static_cast<int>(i);
        for (int x : {model.width / 4, model.width * 3 / 4}) {
            const Rgb expected = x < model.width / 2 ? image.left : image.right;
            if (model.mask && list.Transparent(index, x, y) != image.transparent) {
                return ::testing::AssertionFailure() << "image " << i << " at " << x << "," << y
                                                     << (image.transparent ? " is opaque" : " is transparent");
            }
            if (image.transparent) continue;
            const Rgb actual = PixelColour(list, index, x, y) & 0xFFFFFF;
            if (!Near(expected, actual, image.tolerance)) {
                return ::testing::AssertionFailure()
                       << "image " << i << " at " << x << "," << y << " is " << std::hex << actual
                       << ", expected " << expected << std::dec << " within " << image.tolerance;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace iconvale::testing
