#include "app/setting_value.h"

#include <gtest/gtest.h>

#include <climits>

namespace iconvale {
namespace {

TEST(SettingToInt, ReadsTheLeadingNumber) {
    EXPECT_EQ(SettingToInt("6"), 6);
    EXPECT_EQ(SettingToInt(" 3"), 3);
    EXPECT_EQ(SettingToInt("\t \t42"), 42);
    EXPECT_EQ(SettingToInt("-12x"), -12);
    EXPECT_EQ(SettingToInt("+7"), 7);
    EXPECT_EQ(SettingToInt("007"), 7);
    EXPECT_EQ(SettingToInt("12 34"), 12);
}

TEST(SettingToInt, TextWithoutDigitsGivesZero) {
    EXPECT_EQ(SettingToInt(""), 0);
    EXPECT_EQ(SettingToInt("abc"), 0);
    EXPECT_EQ(SettingToInt("-"), 0);
    EXPECT_EQ(SettingToInt("+-3"), 0);
    EXPECT_EQ(SettingToInt("- 3"), 0);
    EXPECT_EQ(SettingToInt("\n3"), 0) << "only spaces and tabs count as blanks";
    EXPECT_EQ(SettingToInt("\xD6\xD0"
                           "5"),
              0);
}

TEST(SettingToInt, StopsAtTheEndOfTheView) {
    std::string_view text("12345", 2);
    EXPECT_EQ(SettingToInt(text), 12);
}

TEST(SettingToInt, SaturatesAtTheLimitsOfInt) {
    EXPECT_EQ(SettingToInt("2147483647"), INT_MAX);
    EXPECT_EQ(SettingToInt("-2147483648"), INT_MIN);
    EXPECT_EQ(SettingToInt("2147483648"), INT_MAX);
    EXPECT_EQ(SettingToInt("-2147483649"), INT_MIN);
    EXPECT_EQ(SettingToInt(std::string(400, '9')), INT_MAX);
    EXPECT_EQ(SettingToInt("-" + std::string(400, '9') + "x"), INT_MIN);
    EXPECT_EQ(SettingToInt(std::string(400, '0') + "15"), 15) << "leading zeros never overflow";
}

}  // namespace
}  // namespace iconvale
