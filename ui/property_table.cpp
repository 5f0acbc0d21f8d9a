#include "ui/property_table.h"

#include <iterator>

namespace iconvale {
namespace {

// A load factor of 0.75, cut to an integer.
std::size_t LimitFor(std::size_t bucketCount) {
    return bucketCount * 3 / 4;
}

}  // namespace

std::uint32_t TextKeyRule::Hash(std::string_view key) {
    std::uint32_t hash = 0;
    for (char c : key) hash = 31 * hash + static_cast<unsigned char>(c);
    return hash;
}

template <typename KeyRule>
HashTable<KeyRule>::HashTable(std::size_t bucketCount)
    : buckets_(bucketCount ? bucketCount : 1), limit_(LimitFor(buckets_.size())) {}

template <typename KeyRule>
template <typename ChainRef>
auto HashTable<KeyRule>::FindIn(ChainRef& chain, Lookup key, std::uint32_t hash)
    -> decltype(&chain.front()) {
    for (auto& entry : chain) {
        if (entry.hash == hash && Lookup(entry.key) == key) return &entry;
    }
    return nullptr;
}

template <typename KeyRule>
typename HashTable<KeyRule>::Value HashTable<KeyRule>::Get(Lookup key) const {
    const std::uint32_t hash = KeyRule::Hash(key);
    const Entry* entry = FindIn(buckets_[IndexOf(hash)], key, hash);
    return entry ? entry->value : 0;
}

template <typename KeyRule>
bool HashTable<KeyRule>::Contains(Lookup key) const {
    const std::uint32_t hash = KeyRule::Hash(key);
    return FindIn(buckets_[IndexOf(hash)], key, hash) != nullptr;
}

template <typename KeyRule>
void HashTable<KeyRule>::Set(Lookup key, Value value) {
    const std::uint32_t hash = KeyRule::Hash(key);
    if (Entry* entry = FindIn(buckets_[IndexOf(hash)], key, hash)) {
        entry->value = value;
        return;
    }
    if (size_ >= limit_) Grow();
    buckets_[IndexOf(hash)].push_front(Entry{hash, typename KeyRule::Stored(key), value});
    ++size_;
}

template <typename KeyRule>
bool HashTable<KeyRule>::Remove(Lookup key) {
    const std::uint32_t hash = KeyRule::Hash(key);
    Chain& chain = buckets_[IndexOf(hash)];
    for (auto before = chain.before_begin(); std::next(before) != chain.end(); ++before) {
        const Entry& entry = *std::next(before);
        if (entry.hash == hash && Lookup(entry.key) == key) {
            chain.erase_after(before);
            --size_;
            return true;
        }
    }
    return false;
}

template <typename KeyRule>
void HashTable<KeyRule>::Grow() {
    std::vector<Chain> grown(buckets_.size() * 2 + 1);
    for (Chain& chain : buckets_) {
        // Nodes are relinked, not copied, so no key is copied twice and nothing can throw midway.
        while (!chain.empty()) {
            Chain& target = grown[(chain.front().hash & 0x7FFFFFFFu) % grown.size()];
            target.splice_after(target.before_begin(), chain, chain.before_begin());
        }
    }
    buckets_ = std::move(grown);
    limit_ = LimitFor(buckets_.size());
}

template class HashTable<TextKeyRule>;
template class HashTable<IntegerKeyRule>;

}  // namespace iconvale
