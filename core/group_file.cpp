#include "core/group_file.h"

namespace iconvale {

bool HasGroupHeaderName(std::string_view path) {
    constexpr std::string_view kExtension = ".eil";
    if (path.size() < kExtension.size()) return false;
    std::string_view tail = path.substr(path.size() - kExtension.size());
    for (std::size_t i = 0; i < kExtension.size(); ++i) {
        char c = tail[i];
        // Bytes compare as characters: a GBK trail byte follows a lead byte of 0x81 or above,
        // so no double-byte character can end in ".eil".
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kExtension[i]) return false;
    }
    return true;
}

std::span<const std::uint8_t> StreamPart(std::span<const std::uint8_t> file, bool withHeader) {
    if (!withHeader) return file;
    if (file.size() <= kGroupHeaderSize) return {};
    return file.subspan(kGroupHeaderSize);
}

Bytes WithGroupHeader(Bytes stream, bool withHeader) {
    if (stream.empty() || !withHeader) return stream;
    stream.insert(stream.begin(), std::begin(kGroupHeader), std::end(kGroupHeader));
    return stream;
}

}  // namespace iconvale
