// One solid brush of the picture library. Copies share the brush; the last copy deletes it.
#pragma once

#include <memory>

#include "imaging/gdip_image.h"

struct GpBrush;

namespace iconvale {

class SolidBrush {
public:
    SolidBrush();

    void Delete();
    bool IsEmpty() const { return Handle() == nullptr; }
    // The library's brush handle, null when empty. Stays the object's.
    GpBrush* Handle() const;

    // Deletes the old brush first, so a failure leaves the object empty.
    bool CreateSolid(Argb colour);

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace iconvale
