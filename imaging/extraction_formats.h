// Rules of icon extraction that need no platform: which extension a picture format gets, the
// background colour in the picture library's ARGB form, and the folder paths involved.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace iconvale {

// ".png", ".jpg", ".bmp", ".tif" or ".gif" for the five formats extraction offers (the braced
// upper-case identifiers of image_formats.h, compared exactly); "" for anything else.
std::string ExtensionForFormat(std::string_view formatIdentifier);

// The name extraction gives the picture numbered n: "image<n>" and the extension.
std::string ExtractedFileName(unsigned n, std::string_view extension);

// 0x00BBGGRR to 0xAARRGGBB; the top byte of the colour is ignored.
std::uint32_t ColorRefToArgb(std::uint32_t colorRef, std::uint8_t alpha = 255);

// The folder a document lies in, cut the way the platform's PathRemoveFileSpec cuts it:
// C:\icons\a.eil gives C:\icons, C:\a.eil gives C:\ and a bare name gives "". The path is GBK
// and walked by character, so a trail byte equal to '\' is not taken for a separator.
std::string FolderOfDocument(std::string_view path);

// The folder with a '\' after it unless its last character already is one, so a drive root
// keeps its single backslash. An empty folder stays empty: "\" would name the current drive's
// root, which nobody chose.
std::string WithTrailingBackslash(std::string folder);

}  // namespace iconvale
