// Image lists made by the tests themselves, and comparisons that explain what differs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/image_list_stream.h"

namespace iconvale::testing {

struct ListShape {
    int width = 16;
    int height = 16;
    int bitsPerPixel = 32;
    bool mask = true;
    int count = 3;
    int capacity = 0;  // 0: the count plus a few
};

// A list whose every pixel and mask bit follows a pattern unique to (image, x, y).
ImageListData PatternList(const ListShape& shape);
// Takes the alpha out of every third 32-bit image, which the platform then draws through its mask.
void ClearAlphaOfEveryThird(ImageListData& list);

// How a stream other than our writer's lays out its bitmaps: the version in the header, the cells
// to a row, and the rows of cells, which may be fewer than the capacity needs.
struct StreamLayout {
    std::uint16_t version = 0x0600;
    int columns = 1;
    int rows = 0;  // 0: just enough rows for the count
};

// The list's stream in that layout, as another writer would make it.
Bytes LaidOutStream(const ImageListData& list, const StreamLayout& layout);

// Sets the alpha byte of every pixel of a 32-bit list to zero, as lists from form designers have.
void ClearAlpha(ImageListData& list);

// A 32-bit list whose image i is one opaque colour, red 0x10 * (i + 1).
ImageListData OneRedPerImage(int width, int height, int count);

// Brings a list into the form every image list keeps it in: transparent pixels black, and at
// 32 bits opaque pixels fully opaque, so that platform and codec agree pixel for pixel.
void MakeCanonical(ImageListData& list);
// PatternList's images in the form a save and a reload leave them.
ImageListData CanonicalPattern(const ListShape& shape);
// A Delphi form's object block for the list, as text.
std::string DelphiBlock(const ImageListData& list, std::string_view name);

// Colour of a pixel as 0x00RRGGBB (palette looked up; 16-bit 5-5-5 widened), alpha on top at 32.
std::uint32_t PixelColour(const ImageListData& list, int index, int x, int y);

// A Lazarus BitmapAdv value holding each list as one further size.
Bytes LazarusSizes(const std::vector<ImageListData>& sizes);

// An .lfm text form with one image list named `name`: `base` in its Bitmap and, when there are
// any, `sizes` in its BitmapAdv (already made, so that tests may damage them).
std::string LazarusFormWithSizes(std::string_view name, const ImageListData& base,
                                 const Bytes& sizes);

// Same count, size, mask flag, and per image the same colours and mask bits.
::testing::AssertionResult SameImages(const ImageListData& expected, const ImageListData& actual);

}  // namespace iconvale::testing
