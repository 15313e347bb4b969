// Keys of names and the table that finds them: the hash of a name with one letter left out,
// replaced, put in or swapped, each in constant time, and a table that answers most absent keys
// from one word of memory. Win32-free.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

// FNV-1a over bytes: whole texts.
struct SHash {
    static constexpr uint64_t kOffset = 1469598103934665603ULL;
    static constexpr uint64_t kPrime = 1099511628211ULL;
    uint64_t value = kOffset;
    SHash& Byte(unsigned char c) {
        value = (value ^ c) * kPrime;
        return *this;
    }
    SHash& Text(const char* p, size_t n) {
        for (size_t i = 0; i < n; ++i)
            Byte(static_cast<unsigned char>(p[i]));
        return *this;
    }
    SHash& Text(std::string_view s) { return Text(s.data(), s.size()); }
};

// Polynomial hashes of a name's prefixes and suffixes, so that the name with any one letter
// left out, or any piece of it, hashes in constant time: a long name costs its length, not its
// length squared.
struct SNameHashes {
    static constexpr uint64_t kRadix = 0x100000001B3ULL * 31 + 7;
    static constexpr size_t kMax = 64;
    uint64_t prefix[kMax + 1]; // prefix[k]: letters 0..k-1
    uint64_t suffix[kMax + 1]; // suffix[k]: letters k..n-1 at the powers the whole name gives
    uint64_t power[kMax + 1];
    size_t n;
    explicit SNameHashes(std::string_view name) : n(std::min(name.size(), kMax)) {
        prefix[0] = 0;
        suffix[n] = 0;
        power[0] = 1;
        for (size_t i = 1; i <= n; ++i)
            power[i] = power[i - 1] * kRadix;
        for (size_t i = 0; i < n; ++i)
            prefix[i + 1] = prefix[i] * kRadix + static_cast<unsigned char>(name[i]) + 1;
        for (size_t i = n; i-- > 0;)
            suffix[i] =
                suffix[i + 1] + (static_cast<unsigned char>(name[i]) + 1ULL) * power[n - 1 - i];
    }
    size_t Size() const { return n; }
    uint64_t Whole(uint64_t seed) const { return Mix(seed, prefix[n], n); }
    uint64_t Without(uint64_t seed, size_t k) const {
        return Mix(seed, prefix[k] * power[Size() - 1 - k] + suffix[k + 1], Size() - 1);
    }
    // The name with letter k typed as c, or unknown (c < 0).
    uint64_t Replaced(uint64_t seed, size_t k, int c) const {
        return Mix(seed, Around(k, k + 1) + (c + 1ULL) * power[Size() - 1 - k], Size());
    }
    // The name with an unknown letter put in before letter k (at the end for Size()).
    uint64_t Unknown(uint64_t seed, size_t k) const {
        return Mix(seed, prefix[k] * power[Size() + 1 - k] + suffix[k], Size() + 1);
    }
    // The name with letters k and k + 1 swapped; k + 1 < Size().
    uint64_t Swapped(uint64_t seed, size_t k, char first, char second) const {
        return Mix(seed,
                   Around(k, k + 2) +
                       (static_cast<unsigned char>(second) + 1ULL) * power[Size() - 1 - k] +
                       (static_cast<unsigned char>(first) + 1ULL) * power[Size() - 2 - k],
                   Size());
    }
    // Letters at..at+size-1; at + size <= Size().
    uint64_t Piece(uint64_t seed, size_t at, size_t size) const {
        return Mix(seed, prefix[at + size] - prefix[at] * power[size], size);
    }
    // The letters before from and from to on, in their places, without those between.
    uint64_t Around(size_t from, size_t to) const {
        return prefix[from] * power[Size() - from] + suffix[to];
    }
    static uint64_t Mix(uint64_t seed, uint64_t value, size_t length) {
        uint64_t x = seed ^ (value + 0x9E3779B97F4A7C15ULL * (length + 1));
        x ^= x >> 31;
        x *= 0xBF58476D1CE4E5B9ULL;
        x ^= x >> 29;
        return x;
    }
};

// A key and the index of the known domain it stands for.
typedef std::pair<uint64_t, uint32_t> SKeyEntry;
// The known domains under a key, as [first, last) of their indexes.
typedef std::pair<const uint32_t*, const uint32_t*> SKeyHits;

// One probe finds a key's run of indexes. Find and Prefetch are asked dozens of times per
// recipient domain: they are inline.
class SKeyTable {
  public:
    void Build(const std::vector<SKeyEntry>& entries);
    SKeyHits Find(uint64_t key) const {
        if (keys.empty())
            return {nullptr, nullptr};
        const uint64_t bits = FilterBits(key);
        if ((filter[FilterWord(key)] & bits) != bits)
            return {nullptr, nullptr};
        const size_t bucket = static_cast<size_t>(key >> shift);
        const uint64_t* const first = keys.data() + starts[bucket];
        const uint64_t* const last = keys.data() + starts[bucket + 1];
        const auto run = std::equal_range(first, last, key);
        return {values.data() + (run.first - keys.data()),
                values.data() + (run.second - keys.data())};
    }
    // Asks the memory for where Find will look first.
    void Prefetch(uint64_t key) const {
        if (!filter.empty())
            __builtin_prefetch(&filter[FilterWord(key)]);
    }

  private:
    // Keys in buckets by their top bits, sorted; values[i] is keys[i]'s known domain.
    int shift = 64;
    std::vector<uint32_t> starts; // bucket b holds keys[starts[b]] to keys[starts[b + 1]]
    std::vector<uint64_t> keys;
    std::vector<uint32_t> values;
    // Sixteen bits per key, two of them set for it, small enough for the cache: most keys
    // asked for are absent.
    std::vector<uint64_t> filter;
    size_t FilterWord(uint64_t key) const {
        return static_cast<size_t>(key >> 40) & (filter.size() - 1);
    }
    // Two bits of one word: one memory read answers, and far fewer absent keys get through
    // than with one bit.
    static uint64_t FilterBits(uint64_t key) {
        return (1ULL << ((key >> 34) & 63)) | (1ULL << ((key >> 28) & 63));
    }
};

// Texts met before, by their hash: no node per text, as thousands are met per seal.
class SSeenTexts {
  public:
    explicit SSeenTexts(size_t count) {
        size_t capacity = 16;
        while (capacity < 2 * count)
            capacity *= 2;
        slots.resize(capacity);
    }
    // True the first time the text is inserted; text must outlive the set.
    bool Insert(uint64_t hash, std::string_view text) {
        const size_t mask = slots.size() - 1;
        for (size_t at = static_cast<size_t>(hash) & mask;; at = (at + 1) & mask) {
            SSlot& slot = slots[at];
            if (!slot.used) {
                slot = {hash, text, true};
                return true;
            }
            if (slot.hash == hash && slot.text == text)
                return false;
        }
    }

  private:
    struct SSlot {
        uint64_t hash = 0;
        std::string_view text;
        bool used = false;
    };
    std::vector<SSlot> slots;
};
