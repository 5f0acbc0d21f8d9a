#include "ui/property_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fuzz/property_table_checks.h"

#include <random>
#include <string>
#include <unordered_map>

namespace iconvale {
namespace {

// Appended rather than "key" + std::to_string(n), which trips a false -Wrestrict in GCC 12.
std::string Key(std::uintptr_t n) {
    std::string key = "key";
    key += std::to_string(n);
    return key;
}

TEST(PropertyTableBasics, MissingKeysReadZeroAndZeroIsAValue) {
    PropertyTable table;
    EXPECT_EQ(table.Get("absent"), 0u);
    EXPECT_FALSE(table.Contains("absent"));
    table.Set("zero", 0);
    EXPECT_TRUE(table.Contains("zero"));
    EXPECT_EQ(table.Size(), 1u);
    EXPECT_FALSE(table.Remove("absent"));
    EXPECT_TRUE(table.Remove("zero"));
    EXPECT_FALSE(table.Contains("zero"));
    EXPECT_EQ(table.Size(), 0u);
}

TEST(PropertyTableBasics, StoringAKeyAgainReplacesItsValue) {
    PropertyTable table;
    table.Set("hWnd", 1);
    table.Set("hWnd", 2);
    EXPECT_EQ(table.Size(), 1u);
    EXPECT_EQ(table.Get("hWnd"), 2u);
}

TEST(PropertyTableBasics, TextKeysAreCaseSensitiveBytes) {
    PropertyTable table;
    table.Set("hwnd", 1);
    table.Set("hWnd", 2);
    const std::string gbk = "\xb1\xea\xcc\xe2";  // two GBK characters
    table.Set(gbk, 3);
    table.Set(std::string_view("a\0b", 3), 4);
    EXPECT_EQ(table.Size(), 4u);
    EXPECT_EQ(table.Get("hwnd"), 1u);
    EXPECT_EQ(table.Get("hWnd"), 2u);
    EXPECT_EQ(table.Get(gbk), 3u);
    EXPECT_EQ(table.Get(std::string_view("a\0b", 3)), 4u);
    EXPECT_EQ(table.Get("a"), 0u) << "an embedded NUL does not end the key";
}

TEST(PropertyTableGrowth, NinthKeyGrowsElevenBucketsToTwentyThree) {
    PropertyTable table;
    EXPECT_EQ(table.BucketCount(), 11u);
    for (int i = 0; i < 8; ++i) table.Set(Key(i), i + 100);
    EXPECT_EQ(table.BucketCount(), 11u);
    table.Set(Key(0), 7);  // replacing at the limit is not a new key
    EXPECT_EQ(table.BucketCount(), 11u);
    table.Set(Key(8), 108);
    EXPECT_EQ(table.BucketCount(), 23u);
    EXPECT_EQ(table.Size(), 9u);
    EXPECT_EQ(table.Get(Key(0)), 7u);
    for (int i = 1; i < 9; ++i) EXPECT_EQ(table.Get(Key(i)), i + 100u) << i;
    // The next growth comes after 17 keys: 23 * 0.75 cut down.
    for (int i = 9; i < 17; ++i) table.Set(Key(i), i);
    EXPECT_EQ(table.BucketCount(), 23u);
    table.Set(Key(17), 17);
    EXPECT_EQ(table.BucketCount(), 47u);
}

TEST(PropertyTableGrowth, IntegerKeysCollidingInOneBucketStayApart) {
    IntegerTable table;
    // 11 apart: the same bucket among 11, different ones after growth.
    for (std::uintptr_t k = 5; k < 5 + 11 * 12; k += 11) table.Set(k, k * 2);
    EXPECT_EQ(table.Size(), 12u);
    EXPECT_EQ(table.BucketCount(), 23u);
    for (std::uintptr_t k = 5; k < 5 + 11 * 12; k += 11) EXPECT_EQ(table.Get(k), k * 2) << k;
    EXPECT_TRUE(table.Remove(5 + 11 * 3));
    EXPECT_FALSE(table.Contains(5 + 11 * 3));
    EXPECT_EQ(table.Get(5 + 11 * 4), (5 + 11 * 4) * 2u);
}

TEST(PropertyTableGrowth, KeysWithTheTopBitSetStillIndexABucket) {
    IntegerTable table;
    const std::uintptr_t high = static_cast<std::uintptr_t>(0xFFFFFFF0u);
    table.Set(high, 1);
    table.Set(high + 1, 2);
    EXPECT_EQ(table.Get(high), 1u);
    EXPECT_EQ(table.Get(high + 1), 2u);
    if constexpr (sizeof(std::uintptr_t) == 8) {
        // Two keys with the same low 32 bits share a hash but remain two keys.
        const std::uintptr_t wide = (std::uintptr_t{1} << 32) | 0xFFFFFFF0u;
        table.Set(wide, 3);
        EXPECT_EQ(table.Get(high), 1u);
        EXPECT_EQ(table.Get(wide), 3u);
    }
}

TEST(PropertyTableRandom, MatchesAStandardMapOverMixedOperations) {
    std::mt19937 random(20240611);
    PropertyTable text;
    IntegerTable integers;
    std::unordered_map<std::string, std::uintptr_t> textModel;
    std::unordered_map<std::uintptr_t, std::uintptr_t> integerModel;
    for (int step = 0; step < 20000; ++step) {
        const int op = random() % 10;
        const std::uintptr_t n = random() % 300;
        const std::string key = Key(n);
        const std::uintptr_t value = random() % 4;  // zero included on purpose
        if (op < 5) {
            text.Set(key, value);
            textModel[key] = value;
            integers.Set(n, value);
            integerModel[n] = value;
        } else if (op < 7) {
            ASSERT_EQ(text.Remove(key), textModel.erase(key) == 1) << step;
            ASSERT_EQ(integers.Remove(n), integerModel.erase(n) == 1) << step;
        } else {
            auto found = textModel.find(key);
            ASSERT_EQ(text.Get(key), found == textModel.end() ? 0 : found->second) << step;
            ASSERT_EQ(text.Contains(key), found != textModel.end()) << step;
            auto foundInt = integerModel.find(n);
            ASSERT_EQ(integers.Get(n), foundInt == integerModel.end() ? 0 : foundInt->second);
        }
        ASSERT_EQ(text.Size(), textModel.size()) << step;
        ASSERT_EQ(integers.Size(), integerModel.size()) << step;
    }
    for (const auto& [key, value] : textModel) EXPECT_EQ(text.Get(key), value) << key;
    for (const auto& [key, value] : integerModel) EXPECT_EQ(integers.Get(key), value) << key;
    EXPECT_GT(text.BucketCount(), 11u);
}

// The fuzzer's seeds: operation sequences in the fuzzer's encoding, for both kinds of key. Each is
// written to ICONVALE_SEED_DIR when that is set, and always replayed against std::unordered_map.
TEST(SeedCorpus, PropertyTableOperations) {
    using fuzz::TableOp;
    auto op = [](TableOp what, std::size_t key, std::uint8_t arg) {
        return std::string{static_cast<char>(static_cast<std::uint8_t>(what) | (key << 2)),
                           static_cast<char>(arg)};
    };
    std::vector<std::string> seeds;
    for (char header : {'\x0B', '\x8B', '\x01', '\x80'}) {  // 11 or 1 buckets, text or integers
        std::string fill(1, header);
        // Every key set (zero among the values), read, half removed, read again.
        for (std::size_t k = 0; k < fuzz::kTableKeys; ++k) fill += op(TableOp::kSet, k, k % 5);
        for (std::size_t k = 0; k < fuzz::kTableKeys; ++k) fill += op(TableOp::kGet, k, 0);
        for (std::size_t k = 0; k < fuzz::kTableKeys; k += 2) fill += op(TableOp::kRemove, k, 0);
        for (std::size_t k = 0; k < fuzz::kTableKeys; ++k) fill += op(TableOp::kGet, k, 0);
        seeds.push_back(fill);
        // Colliding keys set twice, removed twice, then a clear to a small table and a refill.
        std::string churn(1, header);
        for (std::size_t k : {1u, 2u, 3u, 4u, 49u, 17u, 33u, 1u, 2u}) {
            churn += op(TableOp::kSet, k, static_cast<std::uint8_t>(k));
            churn += op(TableOp::kRemove, k ^ 1, 0);
        }
        churn += op(TableOp::kClear, 0, 0);
        for (std::size_t k = 0; k < 12; ++k) churn += op(TableOp::kSet, k * 5, 9);
        seeds.push_back(churn);
    }
    const char* dir = std::getenv("ICONVALE_SEED_DIR");
    int n = 0;
    for (const std::string& seed : seeds) {
        EXPECT_EQ(fuzz::CheckTableOperations(std::span(
                      reinterpret_cast<const std::uint8_t*>(seed.data()), seed.size())),
                  "")
            << n;
        if (dir) {
            std::ofstream(std::filesystem::path(dir) / (std::string("property_table").append(std::to_string(n))),
                          std::ios::binary)
                .write(seed.data(), static_cast<std::streamsize>(seed.size()));
        }
        ++n;
    }
}

}  // namespace
}  // namespace iconvale
