// One icon or cursor handle of the windowing platform, owned. Copies share the handle; the last
// copy to go destroys it, as an icon or as a cursor by what the handle says it is.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "ui/win_handles.h"

namespace iconvale {

class IconImage {
public:
    IconImage();

    // Destroys the handle held, if any, and empties the object.
    void Release();
    HICON Handle() const;
    bool IsEmpty() const { return Handle() == nullptr; }

    // Takes ownership of the handle (icon or cursor), destroying the one held before.
    void Attach(HICON icon);
    void Attach(UniqueIcon icon);
    // Gives the handle back to the caller, who then destroys it; the object becomes empty.
    [[nodiscard]] HICON Detach();

    // Loads an icon (or cursor) file; with a size given, the image of the file that best fits
    // it, scaled to exactly that size. The old handle is gone even on failure.
    bool LoadFromFile(std::string_view path, bool asCursor = false, int width = 0,
                      int height = 0);  // GBK path
    bool LoadFromFileW(const wchar_t* path, bool asCursor = false, int width = 0, int height = 0);

    bool SharesWith(const IconImage& other) const { return state_ == other.state_; }

private:
    struct State;
    std::shared_ptr<State> state_;
};

// Destroys an icon or cursor handle by its own information, with the bitmaps that information
// brings along.
void DestroyIconOrCursor(HICON icon);

}  // namespace iconvale
