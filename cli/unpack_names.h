// The files unpack --names writes: each image under its own name from the form, made fit for a
// Windows file name, or under the first free image<N> where it cannot have it. Portable.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace iconvale::cli {

// A path in `folder` for each image of `indices`, in order, named after its entry in `names`
// (the list's names: empty where an image has none, or none at all), ending in `extension`
// (".png"). A name whose file exists already in the folder, or that an earlier image takes,
// compared without regard to case as Windows compares, gets a number instead. Every path lies
// directly in the folder; empty when the folder cannot be listed.
std::vector<std::filesystem::path> NamedPictureFiles(const std::filesystem::path& folder,
                                                     const std::vector<std::string>& names,
                                                     const std::vector<int>& indices,
                                                     std::string_view extension);

}  // namespace iconvale::cli
