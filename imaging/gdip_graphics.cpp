#include "imaging/gdip_graphics.h"

#include "imaging/gdiplus_flat.h"

namespace iconvale {

struct GdipGraphics::State {
    // Declared first so that it goes last: the surface draws into this picture's pixels.
    GdipImage target;
    UniqueGpGraphics graphics;

    void Clear() {
        graphics.reset();
        target = GdipImage();
    }
};

GdipGraphics::GdipGraphics() : state_(std::make_shared<State>()) {}

void GdipGraphics::Delete() {
    state_->Clear();
}

GpGraphics* GdipGraphics::Handle() const {
    return state_->graphics.get();
}

bool GdipGraphics::CreateFromImage(const GdipImage& picture) {
    Delete();
    if (picture.IsEmpty()) return false;
    GpImage* image = picture.Handle();
    if (::GdipGetImageGraphicsContext(image, state_->graphics.put()) != kGpOk ||
        !state_->graphics) {
        state_->graphics.reset();
        return false;
    }
    state_->target = picture;
    return true;
}

bool GdipGraphics::FillRectangle(const SolidBrush& brush, float x, float y, float width,
                                 float height) {
    if (IsEmpty() || brush.IsEmpty()) return false;
    return ::GdipFillRectangle(state_->graphics.get(), brush.Handle(), x, y, width, height) ==
           kGpOk;
}

bool GdipGraphics::DrawImage(const GdipImage& picture, float x, float y) {
    if (IsEmpty() || picture.IsEmpty()) return false;
    return ::GdipDrawImage(state_->graphics.get(), picture.Handle(), x, y) == kGpOk;
}

}  // namespace iconvale
