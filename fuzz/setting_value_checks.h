// SettingToInt measured against a plain model of the settings file's number rule, and the
// numbers the program writes read back unchanged. Shared by the fuzz target and by the test that
// writes its seeds; an empty result means every property held.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/setting_value.h"

namespace iconvale::fuzz {

// The rule, written for clarity rather than speed: skip spaces and tabs, take one optional sign,
// then the run of decimal digits; no digits reads as 0, and the result is clamped to int.
inline int ModelSettingToInt(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string_view::npos) return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    // Anything past 2^31 clamps the same way, so the magnitude stops growing there.
    const std::int64_t cap = std::int64_t{1} << 32;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > cap) magnitude = cap;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

inline std::string CheckSettingText(std::string_view text) {
    const int got = SettingToInt(text);
    const int want = ModelSettingToInt(text);
    if (got != want) {
        return "read " + std::to_string(got) + " where the rule gives " + std::to_string(want);
    }
    return {};
}

// A number as the program writes it, optionally padded the ways a hand-edited file might be:
// leading blanks, a plus sign, leading zeros and trailing text that does not start with a digit.
inline std::string CheckSettingRoundTrip(int number, std::string_view blanks, bool plus,
                                         std::size_t zeros, std::string_view trailer) {
    if (const int back = SettingToInt(std::to_string(number)); back != number) {
        return std::to_string(number) + " reads back as " + std::to_string(back);
    }
    std::string text(blanks.substr(0, blanks.find_first_not_of(" \t")));
    if (number < 0) {
        text += '-';
    } else if (plus) {
        text += '+';
    }
    text.append(zeros, '0');
    const std::string digits = std::to_string(number);
    text += number < 0 ? digits.substr(1) : digits;
    if (trailer.empty() || trailer[0] < '0' || trailer[0] > '9') text += trailer;
    if (const int back = SettingToInt(text); back != number) {
        return "\"" + text + "\" reads back as " + std::to_string(back) + ", not " +
               std::to_string(number);
    }
    return {};
}

}  // namespace iconvale::fuzz
