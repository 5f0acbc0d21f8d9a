// What the form readers (Delphi and Lazarus text forms, Delphi binary forms) hand on: every
// object that carries a binary "Bitmap" property, which is where image lists keep their images.
#pragma once

#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/container_error.h"

namespace iconvale {

struct FormBitmap {
    std::string name;       // component name; empty for an unnamed object
    std::string className;  // e.g. TImageList
    int line = 0;           // line of the object's header in a text form
    Bytes bitmap;           // the property's bytes, as stored
};

struct FormObjects {
    std::vector<FormBitmap> bitmaps;  // in the order the objects open
    ContainerError error;             // set, with no bitmaps, when the form is damaged
};

// Deeper nesting than this is refused: no real form comes near it, and it keeps a forged one
// from exhausting the stack.
inline constexpr int kMaxFormDepth = 200;

}  // namespace iconvale
