#include "core/export_names.h"

#include <array>
#include <cstdint>

#include "core/text_codecs.h"

namespace iconvale {

namespace {

constexpr std::uint32_t kInvalid = 0xFFFFFFFF;

// The code point at `at` and its length in bytes; kInvalid with length 1 for a byte that starts
// no well-formed sequence (overlong forms, surrogates and code points beyond Unicode included).
std::uint32_t NextCodePoint(std::string_view text, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[at + i]); };
    length = 1;
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return lead;
    const std::size_t count = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (count == 0 || lead > 0xF4 || at + count > text.size()) return kInvalid;
    std::uint32_t c = lead & (0x7F >> count);
    for (std::size_t i = 1; i < count; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return kInvalid;
        c = c << 6 | (byte(i) & 0x3F);
    }
    const std::uint32_t least = count == 2 ? 0x80 : count == 3 ? 0x800 : 0x10000;
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kInvalid;
    length = count;
    return c;
}

std::uint32_t Folded(std::uint32_t c) {
    const bool upper = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
                       (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F);
    if (upper) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}

bool IsDeviceName(std::string_view stem) {
    // Windows takes the part before the first dot, its trailing spaces dropped, for the device.
    std::string base = NameKey(stem.substr(0, stem.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static constexpr std::array<std::string_view, 6> kDevices{"con", "prn",    "aux",
                                                              "nul", "conin$", "conout$"};
    for (std::string_view device : kDevices) {
        if (base == device) return true;
    }
    if (base.size() < 4 || (base.compare(0, 3, "com") != 0 && base.compare(0, 3, "lpt") != 0)) {
        return false;
    }
    const std::string_view digit = std::string_view(base).substr(3);
    return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" ||
           digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

}  // namespace

std::optional<std::string> FileStemOfName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    std::string stem;
    for (std::size_t at = 0, length = 0; at < name.size(); at += length) {
        const std::uint32_t c = NextCodePoint(name, at, length);
        const bool forbidden =
            c == kInvalid || c < 0x20 ||
            (c < 0x80 &&
             std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos);
        if (forbidden)
            stem += '_';
        else
            stem.append(name.substr(at, length));
    }
    if (stem.back() == '.' || stem.back() == ' ') stem.back() = '_';
    if (IsDeviceName(stem)) return std::nullopt;
    return stem;
}

std::optional<std::string> ResourceNameOf(std::string_view name) {
    if (name.empty()) return std::nullopt;
    std::string text;
    for (std::size_t at = 0, length = 0; at < name.size(); at += length) {
        const std::uint32_t c = NextCodePoint(name, at, length);
        // XML 1.0 has no place for these; U+FFFE and U+FFFF are no characters at all.
        const bool unfit = c == kInvalid || c < 0x20 || c == 0x7F || c == 0xFFFE || c == 0xFFFF;
        text += unfit ? std::string("_") : std::string(name.substr(at, length));
    }
    return text;
}

std::string NameKey(std::string_view name) {
    std::string key;
    for (std::size_t at = 0, length = 0; at < name.size(); at += length) {
        const std::uint32_t c = NextCodePoint(name, at, length);
        if (c == kInvalid)
            key += name[at];
        else
            AppendUtf8(key, Folded(c));
    }
    return key;
}

std::vector<std::string> OwnOrNumberedNames(const std::vector<std::optional<std::string>>& own,
                                            std::string_view suffix,
                                            std::unordered_set<std::string>& taken) {
    std::vector<std::string> chosen(own.size());
    std::vector<bool> numbered(own.size(), true);
    for (std::size_t i = 0; i < own.size(); ++i) {
        if (own[i] && taken.insert(NameKey(*own[i])).second) {
            chosen[i] = *own[i];
            numbered[i] = false;
        }
    }
    unsigned number = 0;
    for (std::size_t i = 0; i < own.size(); ++i) {
        if (!numbered[i]) continue;
        std::string name;
        do {
            name = "image" + std::to_string(number++) + std::string(suffix);
        } while (!taken.insert(NameKey(name)).second);
        chosen[i] = std::move(name);
    }
    return chosen;
}

}  // namespace iconvale
