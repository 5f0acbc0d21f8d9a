#include "imaging/solid_brush.h"

#include "imaging/gdiplus_flat.h"

namespace iconvale {

struct SolidBrush::State {
    UniqueGpBrush brush;
};

SolidBrush::SolidBrush() : state_(std::make_shared<State>()) {}

void SolidBrush::Delete() {
    state_->brush.reset();
}

GpBrush* SolidBrush::Handle() const {
    return state_->brush.get();
}

bool SolidBrush::CreateSolid(Argb colour) {
    Delete();
    return ::GdipCreateSolidFill(colour, state_->brush.put()) == kGpOk && state_->brush;
}

}  // namespace iconvale
