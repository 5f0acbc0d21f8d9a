// Replays a byte string as set/get/remove/clear operations on both kinds of hash table, checking
// every answer against std::unordered_map. Shared by the fuzz target and by the test that writes
// its seeds; an empty result means every answer agreed.
//
// Byte 0 picks the first table's bucket count (low six bits) and the key kind (top bit: integer
// keys). Each operation then takes two bytes: the first gives the operation (low two bits: set,
// get, remove, clear) and the key (the other six bits index a small alphabet, so keys collide in
// their buckets and some in their hashes); the second is the value to set or, for clear, the new
// table's bucket count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ui/property_table.h"

namespace iconvale::fuzz {

enum class TableOp : std::uint8_t { kSet = 0, kGet = 1, kRemove = 2, kClear = 3 };

constexpr std::size_t kTableKeys = 64;

// Text keys: equal-hash pairs ("Aa"/"BB" and their combinations), case variants, the empty key,
// embedded NULs, GBK bytes and prefixes of one another.
inline const std::vector<std::string>& TableTextKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k = {"", "Aa", "BB", "AaAa", "AaBB", "BBAa", "BBBB", "hWnd",
                                      "hwnd", "HWND", "a", "ab", "abc", std::string("a\0b", 3),
                                      std::string(1, '\0'), std::string(2, '\0'),
                                      "\xB1\xEA\xCC\xE2", "\xB1\xEA", "\xCC\xE2\xB1\xEA"};
        for (int n = 0; k.size() < kTableKeys; ++n) {
            std::string key = "key";
            key += std::to_string(n);
            k.push_back(key);
        }
        return k;
    }();
    return keys;
}

// Integer keys: runs 11 and 23 apart (one bucket before and after growth), keys 2^31 apart (one
// bucket always) and, where pointers are wide, keys 2^32 apart (the same hash).
inline std::uintptr_t TableIntegerKey(std::size_t index) {
    const std::uintptr_t base = index % 16;
    switch (index / 16) {
        case 0: return base;
        case 1: return 5 + 11 * base;
        case 2: return 7 + 23 * base + (std::uintptr_t{1} << 31);
        default:
            if constexpr (sizeof(std::uintptr_t) > 4) {
                return base + (std::uintptr_t{base & 3} << 32);
            } else {
                return ~base;
            }
    }
}

namespace table_detail {

template <typename Table, typename Key, typename KeyOf>
std::string Replay(std::span<const std::uint8_t> ops, std::size_t buckets, KeyOf keyOf) {
    Table table(buckets);
    std::unordered_map<Key, std::uintptr_t> model;
    auto fail = [&](std::size_t step, const char* what) {
        return std::string(what) + " at operation " + std::to_string(step);
    };
    auto checkShape = [&](std::size_t step) -> std::string {
        if (table.Size() != model.size()) return fail(step, "size differs");
        if (table.Size() > table.BucketCount() * 3 / 4) {
            return fail(step, "load factor above 0.75");
        }
        return {};
    };
    for (std::size_t step = 0; 2 * step + 1 < ops.size(); ++step) {
        const std::uint8_t code = ops[2 * step];
        const std::uint8_t arg = ops[2 * step + 1];
        const auto key = keyOf(code >> 2);
        switch (static_cast<TableOp>(code & 3)) {
            case TableOp::kSet: {
                const std::uintptr_t value = arg * std::uintptr_t{0x01010101};
                table.Set(key, value);
                model[Key(key)] = value;
                break;
            }
            case TableOp::kGet: {
                auto it = model.find(Key(key));
                if (table.Get(key) != (it == model.end() ? 0 : it->second)) {
                    return fail(step, "get differs");
                }
                if (table.Contains(key) != (it != model.end())) {
                    return fail(step, "contains differs");
                }
                break;
            }
            case TableOp::kRemove:
                if (table.Remove(key) != (model.erase(Key(key)) == 1)) {
                    return fail(step, "remove differs");
                }
                if (table.Contains(key)) return fail(step, "removed key still there");
                break;
            case TableOp::kClear:
                table = Table(arg & 63);
                model.clear();
                break;
        }
        if (auto why = checkShape(step); !why.empty()) return why;
    }
    // Every key, present or not, still reads as the model says.
    for (std::size_t k = 0; k < kTableKeys; ++k) {
        const auto key = keyOf(k);
        auto it = model.find(Key(key));
        if (table.Get(key) != (it == model.end() ? 0 : it->second) ||
            table.Contains(key) != (it != model.end())) {
            return "key " + std::to_string(k) + " differs at the end";
        }
    }
    return {};
}

}  // namespace table_detail

inline std::string CheckTableOperations(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return {};
    const std::size_t buckets = bytes[0] & 63;
    const auto ops = bytes.subspan(1);
    if (bytes[0] & 0x80) {
        return table_detail::Replay<IntegerTable, std::uintptr_t>(
            ops, buckets, [](std::size_t k) { return TableIntegerKey(k); });
    }
    return table_detail::Replay<PropertyTable, std::string>(
        ops, buckets, [](std::size_t k) { return std::string_view(TableTextKeys()[k]); });
}

}  // namespace iconvale::fuzz
