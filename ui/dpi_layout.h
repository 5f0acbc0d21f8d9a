// Child controls placed at rectangles of a 96 DPI design, with one font, laid out again for a
// new DPI when the window moves to a monitor of another scale.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "ui/dpi.h"
#include "ui/win_handles.h"

namespace iconvale {

class DpiLayout {
public:
    // A control's place in its parent's client area, in design pixels.
    struct Placement {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };

    UINT dpi() const { return dpi_; }
    // The font at this DPI; the stock one while none could be made.
    HFONT Font() const;
    int Scaled(int designPixels) const { return ScaleToDpi(designPixels, dpi_); }

    // Makes the font for `dpi` and lays every tracked control out again.
    void SetDpi(UINT dpi);
    // Places the control at `design` scaled and gives it the font, now and on every change.
    void Track(HWND control, Placement design);
    // Only the font: a control placed by its parent's own rules.
    void TrackFont(HWND control);
    void Clear() { controls_.clear(); }

private:
    struct Tracked {
        HWND control;
        std::optional<Placement> design;
    };
    void Apply(const Tracked& tracked) const;

    UINT dpi_ = kDesignDpi;
    UniqueFont font_;
    std::vector<Tracked> controls_;
};

}  // namespace iconvale
