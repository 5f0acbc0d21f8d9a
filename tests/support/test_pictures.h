// Pictures drawn by the tests and encoded through the picture library into files, icon files
// written byte by byte, and the pixels of decoded pictures and icons for checking.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "imaging/gdip_image.h"

namespace iconvale::testing {

// Starts the picture library once for the whole test process, as the program does at start.
void EnsurePictureLibrary();

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;  // rows from the top, 0xAARRGGBB

    bool empty() const { return argb.empty(); }
    std::uint32_t At(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
};

// pixel(x, y) gives 0xAARRGGBB. The format is one of the identifiers of imaging/image_formats.h;
// formats without alpha get what their encoder makes of it. GIF is written by hand (Wine's
// encoder writes no image data): at most 255 colours, alpha 0 transparent, other alpha ignored.
bool WritePicture(const std::string& path, int width, int height,
                  const std::function<Argb(int x, int y)>& pixel, const char* formatIdentifier);
// A picture of a pixel format without pixels of its own (for instance 1 bit per pixel), all
// zero: a large size in a small file.
bool WriteBlankPicture(const std::string& path, int width, int height, int pixelFormat,
                       const char* formatIdentifier);
// A TIFF file of two pages, each of one colour.
bool WriteTwoFrameTiff(const std::string& path, int width, int height, Argb first, Argb second);
// An icon file with one 32-bit image per entry: its side (1..256) and its colour (0xAARRGGBB;
// an alpha of 0 also sets the pixel in the AND mask).
bool WriteIconFile(const std::string& path,
                   const std::vector<std::pair<int, std::uint32_t>>& sizeAndColour);
// The same file format as WriteIconFile, with the hot spot of a cursor file.
Bytes IconFileBytes(const std::vector<std::pair<int, std::uint32_t>>& sizeAndColour,
                    bool cursor = false);

// The pixels of a picture as 32-bit ARGB; empty when it cannot be read.
Pixels PicturePixels(const GdipImage& picture);
// Decodes a file (its first frame) with the picture library.
Pixels DecodePixels(const std::string& path);
// The frame count of a multi-page file, and the pixels of one of its pages.
int PageCount(const std::string& path);
Pixels DecodePage(const std::string& path, int page);
// An icon's colour pixels; where the icon has no alpha of its own, alpha comes from its mask.
Pixels IconPixels(HICON icon);

}  // namespace iconvale::testing
