// One drawing surface of the picture library on a picture. Copies share the surface; the last
// copy deletes it. The surface keeps its picture alive while it exists, so drawing never
// outlives the pixels it draws into.
#pragma once

#include <memory>

#include "imaging/gdip_image.h"
#include "imaging/solid_brush.h"

struct GpGraphics;

namespace iconvale {

class GdipGraphics {
public:
    GdipGraphics();

    void Delete();
    bool IsEmpty() const { return Handle() == nullptr; }
    // The library's surface handle, null when empty. Stays the object's.
    GpGraphics* Handle() const;

    // Deletes the old surface first. Fails on an empty picture and on pixel formats the
    // library cannot draw into (on Windows, the indexed ones).
    bool CreateFromImage(const GdipImage& picture);

    bool FillRectangle(const SolidBrush& brush, float x, float y, float width, float height);
    // The picture at its own size, top-left corner at x, y.
    bool DrawImage(const GdipImage& picture, float x, float y);

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace iconvale
