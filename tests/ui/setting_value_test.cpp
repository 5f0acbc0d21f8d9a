#include "ui/setting_value.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/setting_value_checks.h"

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

// The fuzzer's seeds: settings text, and a number in four bytes followed by a padding style. Each
// is written to ICONVALE_SEED_DIR when that is set, and always checked as the fuzzer checks it.
TEST(SeedCorpus, SettingValues) {
    std::vector<std::string> seeds = {
        "6",
        " 3",
        "\t \t42",
        "-12x",
        "+7",
        "007",
        "12 34",
        "",
        "-",
        "+-3",
        "- 3",
        "\n3",
        "\xD6\xD0"
        "5",
        "2147483647",
        "-2147483648",
        "2147483648",
        "-2147483649",
        std::string(40, '9'),
        "-" + std::string(40, '9') + "x",
        std::string(40, '0') + "15",
    };
    for (std::int32_t number : {0, 1, -1, 255, INT_MAX, INT_MIN, -2147483647}) {
        std::string seed(4, '\0');
        std::memcpy(seed.data(), &number, 4);
        seed += static_cast<char>(0x3F);  // plus sign, seven zeros, three blanks taken
        seed += " \t x";
        seeds.push_back(seed);
    }
    const char* dir = std::getenv("ICONVALE_SEED_DIR");
    int n = 0;
    for (const std::string& seed : seeds) {
        EXPECT_EQ(fuzz::CheckSettingText(seed), "") << n;
        if (dir) {
            std::ofstream(std::filesystem::path(dir) /
                              (std::string("setting_value").append(std::to_string(n))),
                          std::ios::binary)
                .write(seed.data(), static_cast<std::streamsize>(seed.size()));
        }
        ++n;
    }
    for (int number : {0, 7, -7, 1000000, INT_MAX, INT_MIN}) {
        EXPECT_EQ(fuzz::CheckSettingRoundTrip(number, " \t", true, 3, "x"), "") << number;
    }
}

}  // namespace
}  // namespace iconvale
