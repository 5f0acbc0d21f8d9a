// The pictures a pack command takes, on every platform: files as given, folders by their
// pictures in natural name order.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cli/console.h"

namespace iconvale::cli {

// True for the extensions of the formats a group takes pictures from.
bool IsPictureName(const std::filesystem::path& path);

// True for an icon file's name (.ico), which is loaded at the cell size.
bool IsIconFileName(const std::filesystem::path& path);

// Appends the files of `inputs` in order; false, after one error line, for a folder that cannot
// be listed or holds no pictures.
bool GatherPictures(const std::vector<std::string>& inputs,
                    std::vector<std::filesystem::path>& pictures, const Console& console);

}  // namespace iconvale::cli
