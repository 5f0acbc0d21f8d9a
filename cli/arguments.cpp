#include "cli/arguments.h"

#include <algorithm>
#include <charconv>

namespace iconvale::cli {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A whole decimal number of at most nine digits, so that it cannot overflow an int.
std::optional<int> WholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<CellSize> ParseCellSize(std::string_view text) {
    std::size_t cross = text.find_first_of("xX");
    std::size_t crossLength = 1;
    if (cross == std::string_view::npos) {
        cross = text.find("\xC3\x97");  // U+00D7 in UTF-8
        crossLength = 2;
    }
    if (cross == std::string_view::npos) return std::nullopt;
    auto width = WholeNumber(text.substr(0, cross));
    auto height = WholeNumber(text.substr(cross + crossLength));
    if (!width || !height || *width < 1 || *height < 1 || *width > 65535 || *height > 65535) {
        return std::nullopt;
    }
    return CellSize{*width, *height};
}

std::optional<std::uint32_t> ParseColour(std::string_view text) {
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.size() != 6) return std::nullopt;
    std::uint32_t rgb = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + 6, rgb, 16);
    if (error != std::errc{} || end != text.data() + 6) return std::nullopt;
    const std::uint32_t red = rgb >> 16, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
    return red | (green << 8) | (blue << 16);
}

std::optional<std::vector<int>> ParseIndexList(std::string_view text, int count) {
    std::vector<int> indices;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view piece = text.substr(0, comma);
        const std::size_t dash = piece.find('-');
        auto first = WholeNumber(piece.substr(0, dash));
        auto last = dash == std::string_view::npos ? first : WholeNumber(piece.substr(dash + 1));
        if (!first || !last || *first > *last || *last >= count) return std::nullopt;
        for (int i = *first; i <= *last; ++i) indices.push_back(i);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return indices;
}

bool NaturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            // Compare digit runs by value: leading zeros aside, the longer run is larger.
            std::size_t ia = i, jb = j;
            while (ia < a.size() && a[ia] == '0') ++ia;
            while (jb < b.size() && b[jb] == '0') ++jb;
            std::size_t ea = ia, eb = jb;
            while (ea < a.size() && IsDigit(a[ea])) ++ea;
            while (eb < b.size() && IsDigit(b[eb])) ++eb;
            if (ea - ia != eb - jb) return ea - ia < eb - jb;
            const int order = a.substr(ia, ea - ia).compare(b.substr(jb, eb - jb));
            if (order != 0) return order < 0;
            i = ea;
            j = eb;
            continue;
        }
        const char ca = Lower(a[i]), cb = Lower(b[j]);
        if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
        ++i;
        ++j;
    }
    if ((i < a.size()) != (j < b.size())) return j < b.size();
    return a < b;
}

}  // namespace iconvale::cli
