#include "ui/text.h"

#include <windows.h>

#include <climits>

namespace iconvale {

WideText ToWide(std::string_view narrow, unsigned codePage) {
    if (narrow.size() >= INT_MAX) return {};
    // Convert the terminator too, so that the result carries it as the platform expects.
    std::string source(narrow);
    int sourceBytes = static_cast<int>(source.size()) + 1;
    int units = ::MultiByteToWideChar(codePage, 0, source.c_str(), sourceBytes, nullptr, 0);
    if (units <= 0) return {};
    WideText wide(static_cast<std::size_t>(units), L'\0');
    if (::MultiByteToWideChar(codePage, 0, source.c_str(), sourceBytes, wide.data(), units) != units) {
        return {};
    }
    return wide;
}

std::string ToNarrow(std::span<const wchar_t> wide, unsigned codePage) {
    std::size_t units = 0;
    while (units < wide.size() && wide[units] != L'\0') ++units;
    if (units == 0 || units >= INT_MAX / 4) return {};
    int count = static_cast<int>(units);
    int bytes = ::WideCharToMultiByte(codePage, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    if (::WideCharToMultiByte(codePage, 0, wide.data(), count, narrow.data(), bytes, nullptr,
                              nullptr) != bytes) {
        return {};
    }
    return narrow;
}

}  // namespace iconvale
