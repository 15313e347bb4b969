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
