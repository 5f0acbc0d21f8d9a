// What a list loses when it is written in a form that cannot hold all of it, found before
// anything is written so that both front ends can say so. Only the Lazarus form loses anything:
// it stores 32-bit pixels whose transparency is their alpha, and no background colour.
#pragma once

#include "core/file_forms.h"
#include "core/image_list_stream.h"

namespace iconvale {

struct ConversionLosses {
    int raisedDepth = 0;       // the list's depth where the form makes it 32 bits, else 0
    long long maskPixels = 0;  // masked pixels that come back with another transparency
    bool background = false;   // the background colour is dropped

    bool Any() const { return raisedDepth != 0 || maskPixels != 0 || background; }
};

ConversionLosses LossesOfWriting(const ImageListData& list, FileForm form);

}  // namespace iconvale
