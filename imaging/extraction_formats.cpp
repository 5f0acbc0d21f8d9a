#include "imaging/extraction_formats.h"

#include <cstddef>

#include "imaging/image_formats.h"

namespace iconvale {

namespace {

struct FormatExtension {
    const char* identifier;
    const char* extension;
};

constexpr FormatExtension kExtensions[] = {
    {kPngFormat, ".png"},  {kJpegFormat, ".jpg"}, {kBmpFormat, ".bmp"},
    {kTiffFormat, ".tif"}, {kGifFormat, ".gif"},
};

// Bytes taken by the GBK character at `at`: a lead byte (0x81-0xFE) takes its trail with it.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    return byte >= 0x81 && byte <= 0xFE && at + 1 < text.size() ? 2 : 1;
}

}  // namespace

std::string ExtensionForFormat(std::string_view formatIdentifier) {
    for (const FormatExtension& known : kExtensions) {
        if (formatIdentifier == known.identifier) return known.extension;
    }
    return {};
}

std::string ExtractedFileName(unsigned n, std::string_view extension) {
    return "image" + std::to_string(n) + std::string(extension);
}

std::uint32_t ColorRefToArgb(std::uint32_t colorRef, std::uint8_t alpha) {
    const std::uint32_t red = colorRef & 0xFFu;
    const std::uint32_t green = (colorRef >> 8) & 0xFFu;
    const std::uint32_t blue = (colorRef >> 16) & 0xFFu;
    return (std::uint32_t{alpha} << 24) | (red << 16) | (green << 8) | blue;
}

std::string FolderOfDocument(std::string_view path) {
    std::size_t at = 0;
    std::size_t cut = 0;  // everything before it is the folder
    // One or two leading backslashes (a rooted path, a UNC server) always stay.
    for (int lead = 0; lead < 2 && at < path.size() && path[at] == '\\'; ++lead) cut = ++at;
    while (at < path.size()) {
        if (path[at] == '\\') {
            cut = at;
        } else if (path[at] == ':') {
            // A drive keeps its root backslash: C:\a.eil is cut to C:\, C:a.eil to C:.
            const bool rooted = at + 1 < path.size() && path[at + 1] == '\\';
            at += rooted ? 2 : 1;
            cut = at;
            continue;
        }
        at += CharacterLength(path, at);
    }
    return std::string(path.substr(0, cut));
}

std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty()) return folder;
    bool endsInBackslash = false;
    for (std::size_t at = 0; at < folder.size(); at += CharacterLength(folder, at)) {
        endsInBackslash = folder[at] == '\\';
    }
    if (!endsInBackslash) folder.push_back('\\');
    return folder;
}

}  // namespace iconvale
