// Conversions between the program's narrow text (GBK, code page 936) and the platform's UTF-16.
// The code page is always given explicitly, so the system's own code page never matters.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace iconvale {

inline constexpr unsigned kGbkCodePage = 936;

// UTF-16 units with the terminating NUL counted in; empty when the conversion failed.
using WideText = std::vector<wchar_t>;

WideText ToWide(std::string_view narrow, unsigned codePage = kGbkCodePage);

// Converts units up to the first NUL (or all of them); empty text when the conversion failed.
std::string ToNarrow(std::span<const wchar_t> wide, unsigned codePage = kGbkCodePage);

inline std::string ToNarrow(std::wstring_view wide, unsigned codePage = kGbkCodePage) {
    return ToNarrow(std::span<const wchar_t>(wide.data(), wide.size()), codePage);
}

// A NUL-terminated pointer for platform calls; an empty (failed) conversion gives L"".
inline const wchar_t* WidePtr(const WideText& text) {
    return text.empty() ? L"" : text.data();
}

// The converted text as a string, without the terminator; for wide text that must be kept.
inline std::wstring ToWideString(std::string_view narrow, unsigned codePage = kGbkCodePage) {
    return WidePtr(ToWide(narrow, codePage));
}

}  // namespace iconvale
