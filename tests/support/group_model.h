// What an image group should hold, for model-based tests: per image the colours its cell shows
// and how exactly a list of a given depth keeps them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/image_list_stream.h"

namespace iconvale::testing {

using Rgb = std::uint32_t;  // 0x00RRGGBB

struct ExpectedImage {
    Rgb left = 0;        // the colour at a quarter of the width, half the height
    Rgb right = 0;       // at three quarters of the width
    int tolerance = 0;   // per channel
    bool known = true;   // false once a conversion makes the colours and mask unpredictable
    bool transparent = false;
};

struct GroupModel {
    int width = 0;
    int height = 0;
    int depth = 32;
    bool mask = false;
    std::vector<ExpectedImage> images;
};

// Every channel 0 or 255: the colours that 4- and 8-bit lists keep exactly.
bool IsPure(Rgb colour);

// The image as it looks once a list of this depth and mask has taken it in. Below 16 bits only
// (nearly) pure colours stay predictable; 16 bits keep five bits a channel.
ExpectedImage EnterList(ExpectedImage image, int depth, bool mask);

// Count, size, depth, mask flag, and the known images' colours and transparency.
::testing::AssertionResult Matches(const GroupModel& model, const ImageListData& list);

}  // namespace iconvale::testing
