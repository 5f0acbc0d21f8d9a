#include "imaging/picture_paths.h"

namespace iconvale {

std::vector<std::string> SplitPathLines(std::string_view text) {
    constexpr std::string_view kSeparator = "\r\n";
    std::vector<std::string> paths;
    while (!text.empty()) {
        const std::size_t end = text.find(kSeparator);
        paths.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + kSeparator.size());
    }
    return paths;
}

bool IsIconFileName(std::string_view path) {
    const std::string_view tail = path.substr(path.size() < 4 ? 0 : path.size() - 4);
    std::string lower(tail);
    // ASCII letters only: the extension is ASCII, and other bytes stay as they are.
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower == ".ico";
}

}  // namespace iconvale
