// Chained hash tables from keys to pointer-sized values: a window object's properties (text keys)
// and the window map (integer keys). A missing key reads as 0.
//
// Both belong to the WindowObject model, which carries the file dialog object and the folder
// browser; new windows use BaseWindow (ui/base_window.h) and keep their state in typed members,
// not in properties.
#pragma once

#include <cstddef>
#include <cstdint>
#include <forward_list>
#include <string>
#include <string_view>
#include <vector>

namespace iconvale {

// Text keys are narrow program text, compared byte for byte (so case-sensitively).
struct TextKeyRule {
    using Stored = std::string;
    using Lookup = std::string_view;
    static std::uint32_t Hash(std::string_view key);
};

struct IntegerKeyRule {
    using Stored = std::uintptr_t;
    using Lookup = std::uintptr_t;
    static std::uint32_t Hash(std::uintptr_t key) { return static_cast<std::uint32_t>(key); }
};

template <typename KeyRule>
class HashTable {
public:
    using Lookup = typename KeyRule::Lookup;
    using Value = std::uintptr_t;

    static constexpr std::size_t kInitialBuckets = 11;

    explicit HashTable(std::size_t bucketCount = kInitialBuckets);

    Value Get(Lookup key) const;
    void Set(Lookup key, Value value);
    bool Remove(Lookup key);  // false when the key was not there
    bool Contains(Lookup key) const;

    std::size_t Size() const { return size_; }
    std::size_t BucketCount() const { return buckets_.size(); }

private:
    struct Entry {
        std::uint32_t hash;
        typename KeyRule::Stored key;
        Value value;
    };
    using Chain = std::forward_list<Entry>;

    std::size_t IndexOf(std::uint32_t hash) const { return (hash & 0x7FFFFFFFu) % buckets_.size(); }
    // Works on a const or a mutable chain, giving a pointer of the same constness.
    template <typename ChainRef>
    static auto FindIn(ChainRef& chain, Lookup key, std::uint32_t hash) -> decltype(&chain.front());
    void Grow();

    std::vector<Chain> buckets_;
    std::size_t size_ = 0;
    std::size_t limit_ = 0;  // entries allowed before the next new key grows the table
};

extern template class HashTable<TextKeyRule>;
extern template class HashTable<IntegerKeyRule>;

using PropertyTable = HashTable<TextKeyRule>;
using IntegerTable = HashTable<IntegerKeyRule>;

}  // namespace iconvale
