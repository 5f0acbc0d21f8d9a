#include "support/cli_pictures.h"

#ifndef _WIN32
#include "cli/files.h"

namespace iconvale::testing {

bool WriteTestPng(const std::string& path, int width, int height,
                  const std::function<Argb(int x, int y)>& pixel) {
    RgbaPicture picture;
    if (!picture.Allocate(width, height)) return false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) picture.Row(y)[x] = pixel(x, y);
    }
    std::string error;
    return cli::WriteOutputFile(cli::PathFromUtf8(path), EncodePicture(picture, PictureFormat::Png),
                                true, error);
}

Pixels ReadTestPicture(const std::string& path) {
    std::string error;
    return DecodePicture(cli::ReadInputFile(cli::PathFromUtf8(path), error));
}

}  // namespace iconvale::testing
#endif
