// Pictures for the command line's tests on every platform: written and decoded through GDI+ on
// Windows, through the system's picture libraries elsewhere, so that one table of cases runs on
// both.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#ifdef _WIN32
#include "imaging/image_formats.h"
#include "support/test_pictures.h"
#else
#include "core/bytes.h"
#include "imaging/picture_codec.h"
#endif

namespace iconvale::testing {

#ifdef _WIN32

inline void StartPictures() {
    EnsurePictureLibrary();
}
inline bool WriteTestPng(const std::string& path, int width, int height,
                         const std::function<Argb(int x, int y)>& pixel) {
    return WritePicture(path, width, height, pixel, kPngFormat);
}
inline Pixels ReadTestPicture(const std::string& path) {
    return DecodePixels(path);
}

#else

using Argb = std::uint32_t;
using Pixels = RgbaPicture;

inline void StartPictures() {}
bool WriteTestPng(const std::string& path, int width, int height,
                  const std::function<Argb(int x, int y)>& pixel);
Pixels ReadTestPicture(const std::string& path);

#endif

}  // namespace iconvale::testing
