#include "ui/setting_value.h"

#include <climits>
#include <cstddef>

namespace iconvale {

int SettingToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulated as a negative number, whose range reaches INT_MIN.
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        if (value < (INT_MIN + digit) / 10) return negative ? INT_MIN : INT_MAX;
        value = value * 10 - digit;
    }
    if (negative) return value;
    return value == INT_MIN ? INT_MAX : -value;
}

}  // namespace iconvale
