#include "ui/dpi_layout.h"

namespace iconvale {

void DpiLayout::SetDpi(UINT dpi) {
    UniqueFont font = CreateGuiFont(dpi);
    dpi_ = dpi;
    // Without a new font the old one stays: the wrong size, but never a deleted object.
    HFONT shown = font ? font.get() : Font();
    for (const Tracked& tracked : controls_) {
        Apply(tracked);
        ::SendMessageW(tracked.control, WM_SETFONT, reinterpret_cast<WPARAM>(shown), TRUE);
    }
    if (font) font_ = std::move(font);
}

void DpiLayout::Track(HWND control, Placement design) {
    if (!control) return;
    controls_.push_back({control, design});
    Apply(controls_.back());
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
}

void DpiLayout::TrackFont(HWND control) {
    if (!control) return;
    controls_.push_back({control, std::nullopt});
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
}

HFONT DpiLayout::Font() const {
    return font_ ? font_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void DpiLayout::Apply(const Tracked& tracked) const {
    if (!tracked.design) return;
    const Placement& at = *tracked.design;
    ::SetWindowPos(tracked.control, nullptr, Scaled(at.left), Scaled(at.top), Scaled(at.width),
                   Scaled(at.height), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace iconvale
