#include "lookalike/name_keys.h"

#include <algorithm>

void SKeyTable::Build(const std::vector<SKeyEntry>& entries) {
    // Buckets by the key's top bits, about one key a bucket, each sorted by key: built in two
    // passes over the entries, and a key's entries lie next to each other.
    int bits = 4;
    while (bits < 31 && (size_t(1) << bits) < entries.size())
        ++bits;
    shift = 64 - bits;
    starts.assign((size_t(1) << bits) + 1, 0);
    for (const SKeyEntry& entry : entries)
        ++starts[(entry.first >> shift) + 1];
    for (size_t b = 1; b < starts.size(); ++b)
        starts[b] += starts[b - 1];
    std::vector<SKeyEntry> sorted(entries.size());
    std::vector<uint32_t> next(starts.begin(), starts.end() - 1);
    for (const SKeyEntry& entry : entries)
        sorted[next[entry.first >> shift]++] = entry;
    for (size_t b = 0; b + 1 < starts.size(); ++b) {
        if (starts[b + 1] - starts[b] > 1)
            std::stable_sort(
                sorted.begin() + starts[b], sorted.begin() + starts[b + 1],
                [](const SKeyEntry& x, const SKeyEntry& y) { return x.first < y.first; });
    }
    keys.resize(sorted.size());
    values.resize(sorted.size());
    for (size_t i = 0; i < sorted.size(); ++i) {
        keys[i] = sorted[i].first;
        values[i] = sorted[i].second;
    }
    size_t words = 16;
    while (words * 64 < entries.size() * 16)
        words *= 2;
    filter.assign(words, 0);
    for (const SKeyEntry& entry : entries)
        filter[FilterWord(entry.first)] |= FilterBits(entry.first);
}

size_t SKeyTable::FilterWord(uint64_t key) const {
    return static_cast<size_t>(key >> 40) & (filter.size() - 1);
}

// Two bits of one word: one memory read answers, and far fewer absent keys get through than
// with one bit.
uint64_t SKeyTable::FilterBits(uint64_t key) {
    return (1ULL << ((key >> 34) & 63)) | (1ULL << ((key >> 28) & 63));
}

void SKeyTable::Prefetch(uint64_t key) const {
    if (!filter.empty())
        __builtin_prefetch(&filter[FilterWord(key)]);
}

SKeyHits SKeyTable::Find(uint64_t key) const {
    if (keys.empty())
        return {nullptr, nullptr};
    const uint64_t bits = FilterBits(key);
    if ((filter[FilterWord(key)] & bits) != bits)
        return {nullptr, nullptr};
    const size_t bucket = static_cast<size_t>(key >> shift);
    const uint64_t* const first = keys.data() + starts[bucket];
    const uint64_t* const last = keys.data() + starts[bucket + 1];
    const auto run = std::equal_range(first, last, key);
    return {values.data() + (run.first - keys.data()), values.data() + (run.second - keys.data())};
}
