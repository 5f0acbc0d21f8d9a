// Reads arbitrary text as a settings number and compares with the model; the first four bytes
// also give a number that must survive being written and read back, padded by the bytes after.
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>

#include "fuzz/setting_value_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string why = iconvale::fuzz::CheckSettingText(text);
    if (why.empty() && size >= 5) {
        std::int32_t number;
        std::memcpy(&number, data, sizeof number);
        const std::uint8_t style = data[4];
        const std::string_view rest = text.substr(5);
        // Bits of the style byte: blanks taken from the rest, a plus sign, up to seven zeros.
        const std::size_t blanks = style & 3;
        why = iconvale::fuzz::CheckSettingRoundTrip(number, rest.substr(0, blanks), style & 4,
                                                    (style >> 3) & 7,
                                                    rest.substr(std::min(blanks, rest.size())));
    }
    if (!why.empty()) {
        std::fprintf(stderr, "setting value: %s\n", why.c_str());
        std::abort();
    }
    return 0;
}
