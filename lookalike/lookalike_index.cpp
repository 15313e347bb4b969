#include "lookalike/lookalike_index.h"

#include <algorithm>
#include <cstdlib>

#include "lookalike/punycode.h"

namespace {

const uint64_t kFnvOffset = 1469598103934665603ULL;
const uint64_t kFnvPrime = 1099511628211ULL;

// Key kinds: each table shares one sorted array, told apart by the first byte hashed.
enum : unsigned char {
    kKeyDomain = 'F',
    kKeyHyphened = 'H',
    kKeyName = 'N',
    kKeySkeleton = 'S',
    kKeyDeletion = 'D',
    kKeyPiece = 'P',
    kKeyTrusted = 'R' // the registrable of an inner or history domain
};

const size_t kLongName = 12; // from here two edits count as a slip
const int kPieces = 5;       // two edits, a swap touching two pieces: one piece stays whole
// Keys one name asks for at most: five lengths, five pieces, three places each.
const size_t kMaxProbes = 5 * kPieces * 3;
// Rows of the edit table for names up to this long live on the stack.
const int kStackRow = 256;

struct SHash {
    uint64_t value = kFnvOffset;
    SHash& Byte(unsigned char c) {
        value = (value ^ c) * kFnvPrime;
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
const uint64_t kRadix = 0x100000001B3ULL * 31 + 7;

struct SNameHashes {
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
    // Letters at..at+size-1; at + size <= Size().
    uint64_t Piece(uint64_t seed, size_t at, size_t size) const {
        return Mix(seed, prefix[at + size] - prefix[at] * power[size], size);
    }
    static uint64_t Mix(uint64_t seed, uint64_t value, size_t length) {
        uint64_t x = seed ^ (value + 0x9E3779B97F4A7C15ULL * (length + 1));
        x ^= x >> 31;
        x *= 0xBF58476D1CE4E5B9ULL;
        x ^= x >> 29;
        return x;
    }
};

// A long name's piece is keyed by its group, the name's length and which piece it is.
uint64_t PieceSeed(uint64_t groupSeed, size_t length, int piece) {
    return SNameHashes::Mix(groupSeed, length * kPieces + piece, 0);
}

// Suffixes a slip moves between count as one group, so that the edit tables find across them.
const std::string_view kSlipGroup("\x01", 1);

// Which letters a name holds, folded onto 32 bits. Each edit takes one letter away and puts one
// in at most, so names an edit or two apart differ in at most that many bits either way.
uint32_t LetterMask(std::string_view name) {
    uint32_t mask = 0;
    for (char c : name)
        mask |= 1u << (static_cast<unsigned char>(c) % 32);
    return mask;
}

int Bits(uint32_t mask) {
    int count = 0;
    for (; mask; mask &= mask - 1)
        ++count;
    return count;
}

// text: at most kMaxDomainBytes, as Check and Add take it.
std::string_view Lower(const std::string& text, char* out) {
    const size_t n = std::min(text.size(), SLookalikeIndex::kMaxDomainBytes);
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        out[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return std::string_view(out, n);
}

// What a reader sees: letters that pass for others folded together, hyphens and dots gone.
// out: room for text.size() letters; returns how many it holds.
size_t Skeleton(std::string_view text, char* out) {
    size_t size = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if ((c == 'r' && next == 'n') || (c == 'v' && next == 'v') || (c == 'c' && next == 'l')) {
            out[size++] = c == 'r' ? 'm' : c == 'v' ? 'w' : 'd';
            ++i;
        } else if (c == '0') {
            out[size++] = 'o';
        } else if (c == '1' || c == 'i') {
            out[size++] = 'l';
        } else if (c != '-' && c != '.') {
            out[size++] = c;
        }
    }
    return size;
}

// Scripts a label's letters come from; digits and the hyphen belong to none.
enum { kLatin = 1, kGreek = 2, kCyrillic = 4, kJapanese = 8, kHangul = 16, kOtherScript = 32 };

int ScriptOf(char32_t c) {
    if ((c >= '0' && c <= '9') || c == '-')
        return 0;
    if (c < 0x250)
        return kLatin;
    if (c >= 0x370 && c <= 0x3FF)
        return kGreek;
    if (c >= 0x400 && c <= 0x52F)
        return kCyrillic;
    if ((c >= 0x3040 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) ||
        (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
        (c >= 0xFF66 && c <= 0xFF9F))
        return kJapanese;
    if (c >= 0xAC00 && c <= 0xD7AF)
        return kHangul;
    if (c >= 0xFF10 && c <= 0xFF5A)
        return kLatin;
    return kOtherScript;
}

// Japanese names are written with Latin letters in them; any other pair is a trick.
bool MixesScripts(const std::u32string& label) {
    int scripts = 0;
    for (char32_t c : label)
        scripts |= ScriptOf(c);
    if (scripts & kJapanese)
        scripts &= ~kLatin;
    return (scripts & (scripts - 1)) != 0;
}

struct SConfusable {
    char32_t from;
    char to;
};

// Letters of other scripts, and accented ones, that pass for plain ones.
const SConfusable kConfusables[] = {
    {0x0430, 'a'}, {0x0435, 'e'}, {0x043E, 'o'}, {0x0440, 'p'}, {0x0441, 'c'}, {0x0443, 'y'},
    {0x0445, 'x'}, {0x0456, 'i'}, {0x0458, 'j'}, {0x0455, 's'}, {0x0501, 'd'}, {0x04BB, 'h'},
    {0x04CF, 'l'}, {0x051B, 'q'}, {0x051D, 'w'}, {0x03B1, 'a'}, {0x03BF, 'o'}, {0x03C1, 'p'},
    {0x03BD, 'v'}, {0x03B9, 'i'}, {0x03BA, 'k'}, {0x03C5, 'u'}, {0x03C7, 'x'}, {0x0131, 'i'},
    {0x0261, 'g'}, {0x00E7, 'c'}, {0x00F1, 'n'}, {0x00FD, 'y'}, {0x00FF, 'y'}};

char AsciiLookalike(char32_t c) {
    if (c < 0x80)
        return static_cast<char>(c);
    if (c >= 0xFF41 && c <= 0xFF5A)
        return static_cast<char>('a' + (c - 0xFF41));
    if (c >= 0xFF10 && c <= 0xFF19)
        return static_cast<char>('0' + (c - 0xFF10));
    if (c >= 0xE0 && c <= 0xE5)
        return 'a';
    if (c >= 0xE8 && c <= 0xEB)
        return 'e';
    if (c >= 0xEC && c <= 0xEF)
        return 'i';
    if ((c >= 0xF2 && c <= 0xF6) || c == 0xF8)
        return 'o';
    if (c >= 0xF9 && c <= 0xFC)
        return 'u';
    for (const SConfusable& entry : kConfusables) {
        if (entry.from == c)
            return entry.to;
    }
    return '\0';
}

} // namespace

struct SLookalikeIndex::SSplit {
    std::string_view domain;
    std::string_view name;
    std::string_view suffix;
    std::string_view registrable;
    bool slipFamily;
    uint32_t letters;
    char joined[kMaxDomainBytes + 1];

    // lowerCase: outlives the query.
    explicit SSplit(std::string_view lowerCase) : domain(lowerCase) {
        const SDomainSpans parts = SplitDomainSpans(domain);
        name = parts.name;
        suffix = parts.suffix;
        slipFamily = InSlipFamily(suffix);
        letters = LetterMask(name);
        if (name.empty()) {
            registrable = suffix;
        } else if (name.data() + name.size() + 1 == suffix.data()) {
            registrable = std::string_view(name.data(), name.size() + 1 + suffix.size());
        } else if (name.size() + 1 + suffix.size() <= sizeof joined) {
            // Empty labels between them ("a..tokyo.jp") join with one dot.
            std::copy(name.begin(), name.end(), joined);
            joined[name.size()] = '.';
            std::copy(suffix.begin(), suffix.end(), joined + name.size() + 1);
            registrable = std::string_view(joined, name.size() + 1 + suffix.size());
        }
    }
    SSplit(const SSplit&) = delete;
    SSplit& operator=(const SSplit&) = delete;
    std::string_view Group() const { return slipFamily ? kSlipGroup : suffix; }
};

int SlipDistance(std::string_view a, std::string_view b, int limit) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    if (std::abs(n - m) > limit)
        return limit + 1;
    // Only cells within limit of the diagonal can stay within limit; the others hold cap.
    const int cap = limit + 1;
    int stackRows[3 * (kStackRow + 1)];
    std::vector<int> heapRows;
    int* rows = stackRows;
    if (m > kStackRow) {
        heapRows.resize(3 * (static_cast<size_t>(m) + 1));
        rows = heapRows.data();
    }
    int* before = rows;
    int* previous = rows + (m + 1);
    int* current = rows + 2 * (m + 1);
    for (int j = 0; j <= m; ++j)
        previous[j] = std::min(j, cap);
    for (int i = 1; i <= n; ++i) {
        const int low = std::max(1, i - limit);
        const int high = std::min(m, i + limit);
        current[0] = std::min(i, cap);
        if (low > 1)
            current[low - 1] = cap;
        int best = current[0];
        for (int j = low; j <= high; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int d = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, before[j - 2] + 1);
            current[j] = std::min(d, cap);
            best = std::min(best, current[j]);
        }
        if (high < m)
            current[high + 1] = cap;
        if (best > limit)
            return cap;
        int* const oldest = before;
        before = previous;
        previous = current;
        current = oldest;
    }
    return std::min(previous[m], cap);
}

void SLookalikeIndex::Add(const std::string& domain, EKnownAs as) {
    if (domain.empty() || domain.size() > kMaxDomainBytes)
        return;
    char lowered[kMaxDomainBytes];
    const SSplit parts(Lower(domain, lowered));
    SKnown entry;
    entry.domain.assign(parts.domain.data(), parts.domain.size());
    entry.registrable.assign(parts.registrable.data(), parts.registrable.size());
    entry.skeleton.resize(entry.registrable.size());
    entry.skeleton.resize(Skeleton(entry.registrable, &entry.skeleton[0]));
    entry.letters = parts.letters;
    entry.nameSize = static_cast<uint16_t>(parts.name.size());
    entry.slipFamily = parts.slipFamily;
    entry.as = as;
    known.push_back(std::move(entry));
    sealed = false;
}

void SLookalikeIndex::Seal() {
    std::vector<SEntry> entries, deletionEntries, pieceEntries;
    entries.reserve(known.size() * 5);
    maxKnownLabels = 0;
    for (uint32_t index = 0; index < known.size(); ++index) {
        const SKnown& k = known[index];
        const size_t dots = std::count(k.domain.begin(), k.domain.end(), '.');
        maxKnownLabels = std::max(maxKnownLabels, dots + 1);
        entries.emplace_back(SHash().Byte(kKeyDomain).Text(k.domain).value, index);
        if (dots > 0) {
            SHash hyphened;
            hyphened.Byte(kKeyHyphened);
            for (char c : k.domain)
                hyphened.Byte(static_cast<unsigned char>(c == '.' ? '-' : c));
            entries.emplace_back(hyphened.value, index);
        }
        entries.emplace_back(SHash().Byte(kKeySkeleton).Text(k.skeleton).value, index);
        if (k.as != kKnownInMessage)
            entries.emplace_back(SHash().Byte(kKeyTrusted).Text(k.registrable).value, index);
        const std::string_view name = k.Name();
        if (name.empty() || name.size() > kMaxNameBytes)
            continue;
        const std::string_view group = k.slipFamily ? kSlipGroup : k.Suffix();
        entries.emplace_back(SHash().Byte(kKeyName).Text(name).value, index);
        if (name.size() < kLongName) {
            // The name and each of it with one letter left out: names one edit apart share one.
            const uint64_t seed = SHash().Byte(kKeyDeletion).Text(group).value;
            const SNameHashes deletions(name);
            deletionEntries.emplace_back(deletions.Whole(seed), index);
            for (size_t skip = 0; skip < name.size(); ++skip)
                deletionEntries.emplace_back(deletions.Without(seed, skip), index);
            continue;
        }
        // Long names: the pieces below find one edit as well as two.
        const size_t length = name.size();
        const SNameHashes hashes(name);
        const uint64_t seed = SHash().Byte(kKeyPiece).Text(group).value;
        for (int piece = 0; piece < kPieces; ++piece) {
            const size_t start = piece * length / kPieces;
            const size_t end = (piece + 1) * length / kPieces;
            pieceEntries.emplace_back(
                hashes.Piece(PieceSeed(seed, length, piece), start, end - start), index);
        }
    }
    table.Build(entries);
    deletionTable.Build(deletionEntries);
    pieceTable.Build(pieceEntries);
    sealed = true;
}

void SLookalikeIndex::SKeyTable::Build(const std::vector<SEntry>& entries) {
    size_t capacity = 16;
    while (capacity < entries.size() + entries.size() / 2)
        capacity *= 2;
    slots.assign(capacity, SSlot());
    const size_t mask = capacity - 1;
    size_t bits = 1024;
    while (bits < entries.size() * 16)
        bits *= 2;
    filter.assign(bits / 64, 0);
    for (const SEntry& entry : entries) {
        const size_t bit = static_cast<size_t>(entry.first >> 40) & (bits - 1);
        filter[bit / 64] |= 1ULL << (bit % 64);
    }
    std::vector<uint32_t> slotOf(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        size_t at = static_cast<size_t>(entries[i].first) & mask;
        while (slots[at].count != 0 && slots[at].key != entries[i].first)
            at = (at + 1) & mask;
        slots[at].key = entries[i].first;
        ++slots[at].count;
        slotOf[i] = static_cast<uint32_t>(at);
    }
    uint32_t next = 0;
    for (SSlot& slot : slots) {
        slot.begin = next;
        next += slot.count;
    }
    values.assign(entries.size(), 0);
    std::vector<uint32_t> filled(capacity, 0);
    for (size_t i = 0; i < entries.size(); ++i) {
        const uint32_t at = slotOf[i];
        values[slots[at].begin + filled[at]++] = entries[i].second;
    }
}

size_t SLookalikeIndex::SKeyTable::FilterWord(uint64_t key) const {
    return (static_cast<size_t>(key >> 40) & (filter.size() * 64 - 1)) / 64;
}

void SLookalikeIndex::SKeyTable::Prefetch(uint64_t key) const {
    if (!filter.empty())
        __builtin_prefetch(&filter[FilterWord(key)]);
}

SLookalikeIndex::SHits SLookalikeIndex::SKeyTable::Find(uint64_t key) const {
    if (slots.empty())
        return {nullptr, nullptr};
    const size_t bit = static_cast<size_t>(key >> 40) & (filter.size() * 64 - 1);
    if (!(filter[bit / 64] & (1ULL << (bit % 64))))
        return {nullptr, nullptr};
    const size_t mask = slots.size() - 1;
    for (size_t at = static_cast<size_t>(key) & mask; slots[at].count != 0; at = (at + 1) & mask) {
        if (slots[at].key == key) {
            const uint32_t* first = values.data() + slots[at].begin;
            return {first, first + slots[at].count};
        }
    }
    return {nullptr, nullptr};
}

bool SLookalikeIndex::Trusted(std::string_view domain, std::string_view registrable) const {
    auto same = Lookup(SHash().Byte(kKeyDomain).Text(domain).value);
    for (const uint32_t* e = same.first; e != same.second; ++e) {
        if (known[*e].as != kKnownInMessage && known[*e].domain == domain)
            return true;
    }
    auto owner = Lookup(SHash().Byte(kKeyTrusted).Text(registrable).value);
    for (const uint32_t* e = owner.first; e != owner.second; ++e) {
        if (known[*e].registrable == registrable)
            return true;
    }
    // A sub-domain of an inner domain is the organisation's own.
    for (size_t dot = domain.find('.'); dot != std::string_view::npos;
         dot = domain.find('.', dot + 1)) {
        const std::string_view parent = domain.substr(dot + 1);
        auto hits = Lookup(SHash().Byte(kKeyDomain).Text(parent).value);
        for (const uint32_t* e = hits.first; e != hits.second; ++e) {
            if (known[*e].as == kKnownInner && known[*e].domain == parent)
                return true;
        }
    }
    return false;
}

bool SLookalikeIndex::IsTrusted(const std::string& written) const {
    if (!sealed || written.empty() || written.size() > kMaxDomainBytes)
        return false;
    char lowered[kMaxDomainBytes];
    const SSplit query(Lower(written, lowered));
    return Trusted(query.domain, query.registrable);
}

SLookalike SLookalikeIndex::Check(const std::string& written) const {
    SLookalike result;
    if (!sealed || written.empty() || written.size() > kMaxDomainBytes)
        return result;
    char lowered[kMaxDomainBytes];
    const SSplit query(Lower(written, lowered));
    if (Trusted(query.domain, query.registrable))
        return result;
    const std::string_view domain = query.domain;
    if (domain.find("xn--") == std::string_view::npos)
        return CheckAscii(query);

    // Internationalised: decode each "xn--" label; read what the letters pass for.
    std::string decoded, ascii;
    bool mixed = false, readable = true;
    for (size_t from = 0;;) {
        const size_t dot = domain.find('.', from);
        const size_t end = dot == std::string_view::npos ? domain.size() : dot;
        const std::string_view label = domain.substr(from, end - from);
        const char* const sep = from ? "." : "";
        std::u32string points;
        if (label.compare(0, 4, "xn--") != 0) {
            decoded.append(sep).append(label);
            ascii.append(sep).append(label);
        } else if (!DecodePunycode(std::string(label.substr(4)), &points)) {
            result.kind = kLookBadIdn;
            return result;
        } else {
            decoded.append(sep).append(Utf8Of(points));
            mixed = mixed || MixesScripts(points);
            ascii.append(sep);
            for (char32_t c : points) {
                const char a = AsciiLookalike(c);
                readable = readable && a != '\0';
                ascii += a;
            }
        }
        if (dot == std::string_view::npos)
            break;
        from = dot + 1;
    }
    result.decoded = decoded;
    if (readable && ascii.size() <= kMaxDomainBytes) {
        auto same = Lookup(SHash().Byte(kKeyDomain).Text(ascii).value);
        for (const uint32_t* e = same.first; e != same.second; ++e) {
            if (known[*e].domain == ascii) {
                result.kind = kLookIdn;
                result.resembles = ascii;
                return result;
            }
        }
        const SSplit folded(ascii);
        SLookalike found = CheckAscii(folded);
        if (found.kind != kLookNone) {
            result.kind = kLookIdn;
            result.resembles = found.resembles;
            return result;
        }
    }
    if (mixed)
        result.kind = kLookMixedScript;
    return result;
}

SLookalike SLookalikeIndex::CheckAscii(const SSplit& query) const {
    SLookalike result;
    int found = -1;
    ELookalikeKind kind = kLookNone;
    if ((found = FindEmbedded(query.domain)) >= 0)
        kind = kLookEmbedded;
    else if ((found = FindSuffixSlip(query)) >= 0)
        kind = kLookSuffix;
    else if ((found = FindVisual(query)) >= 0)
        kind = kLookVisual;
    else if ((found = FindSlip(query)) >= 0)
        kind = kLookSlip;
    if (found >= 0) {
        result.kind = kind;
        result.resembles = known[static_cast<size_t>(found)].domain;
    }
    return result;
}

// example.co.jp.attacker.test, www.example.co.jp.attacker.test, example-co-jp.test
int SLookalikeIndex::FindEmbedded(std::string_view domain) const {
    if (domain.size() > kMaxDomainBytes)
        return -1;
    uint16_t starts[kMaxDomainBytes + 1];
    size_t labels = 0;
    starts[labels++] = 0;
    for (size_t i = 0; i < domain.size(); ++i) {
        if (domain[i] == '.')
            starts[labels++] = static_cast<uint16_t>(i + 1);
    }
    // Each run of labels hashed as it grows, not again from its first letter.
    for (size_t first = 0; first < labels; ++first) {
        SHash run;
        run.Byte(kKeyDomain);
        size_t hashed = starts[first];
        for (size_t last = first + 1; last < labels && last - first <= maxKnownLabels; ++last) {
            const size_t end = starts[last] - 1u;
            run.Text(domain.data() + hashed, end - hashed);
            hashed = end;
            const std::string_view text = domain.substr(starts[first], end - starts[first]);
            auto hits = Lookup(run.value);
            for (const uint32_t* e = hits.first; e != hits.second; ++e) {
                if (known[*e].domain == text)
                    return static_cast<int>(*e);
            }
        }
    }
    for (size_t i = 0; i < labels; ++i) {
        const size_t end = i + 1 < labels ? starts[i + 1] - 1u : domain.size();
        SHash run;
        run.Byte(kKeyHyphened);
        size_t hashed = starts[i];
        for (size_t at = starts[i]; at <= end; ++at) {
            if (at != end && domain[at] != '-')
                continue;
            // The whole label counts only with labels after it: the domain is not the known one.
            if (at == end && i + 1 == labels)
                break;
            run.Text(domain.data() + hashed, at - hashed);
            hashed = at;
            auto hits = Lookup(run.value);
            if (hits.first != hits.second)
                return static_cast<int>(*hits.first);
        }
    }
    return -1;
}

int SLookalikeIndex::FindSuffixSlip(const SSplit& query) const {
    if (query.name.empty() || !query.slipFamily)
        return -1;
    auto hits = Lookup(SHash().Byte(kKeyName).Text(query.name).value);
    for (const uint32_t* e = hits.first; e != hits.second; ++e) {
        const SKnown& k = known[*e];
        if (k.Name() == query.name && k.Suffix() != query.suffix && k.slipFamily)
            return static_cast<int>(*e);
    }
    return -1;
}

int SLookalikeIndex::FindVisual(const SSplit& query) const {
    char letters[kMaxDomainBytes + 1];
    if (query.registrable.size() > sizeof letters)
        return -1;
    const std::string_view skeleton(letters, Skeleton(query.registrable, letters));
    auto hits = Lookup(SHash().Byte(kKeySkeleton).Text(skeleton).value);
    for (const uint32_t* e = hits.first; e != hits.second; ++e) {
        const SKnown& k = known[*e];
        if (k.registrable != query.registrable && k.skeleton == skeleton)
            return static_cast<int>(*e);
    }
    return -1;
}

bool SLookalikeIndex::Verify(uint32_t candidate, const SSplit& query, int* budget) const {
    if (--*budget < 0)
        return false;
    // The cheap tests first: most candidates share a piece or a deletion and nothing more.
    const SKnown& k = known[candidate];
    if (k.nameSize == 0)
        return false;
    const int limit = std::max<size_t>(k.nameSize, query.name.size()) >= kLongName ? 2 : 1;
    if (std::abs(static_cast<int>(k.nameSize) - static_cast<int>(query.name.size())) > limit ||
        Bits(k.letters & ~query.letters) > limit || Bits(query.letters & ~k.letters) > limit)
        return false;
    return (k.slipFamily ? kSlipGroup : k.Suffix()) == query.Group() &&
           k.registrable != query.registrable && SlipDistance(k.Name(), query.name, limit) <= limit;
}

int SLookalikeIndex::FindSlip(const SSplit& query) const {
    const std::string_view name = query.name;
    if (name.empty() || name.size() > kMaxNameBytes)
        return -1;
    int budget = kMaxCandidates;
    const std::string_view group = query.Group();
    // Every key is made and its filter word asked for before the first probe, so that the
    // cache misses of a check overlap instead of following one another.
    uint64_t keys[kMaxProbes];
    size_t count = 0;
    const SNameHashes hashes(name);
    if (name.size() <= kLongName) {
        // Only a known name shorter than kLongName has its deletions indexed.
        const uint64_t seed = SHash().Byte(kKeyDeletion).Text(group).value;
        for (size_t skip = 0; skip < name.size(); ++skip)
            keys[count++] = hashes.Without(seed, skip);
        // The name itself meets a known name with one letter more.
        keys[count++] = hashes.Whole(seed);
        for (size_t i = 0; i < count; ++i)
            deletionTable.Prefetch(keys[i]);
        for (size_t i = 0; i < count; ++i) {
            auto hits = deletionTable.Find(keys[i]);
            for (const uint32_t* e = hits.first; e != hits.second && budget > 0; ++e) {
                if (Verify(*e, query, &budget))
                    return static_cast<int>(*e);
            }
        }
    }
    // Two edits: a known name of 12 or more, cut in five pieces, keeps one piece whole,
    // at most two places from where it was.
    if (name.size() + 2 < kLongName)
        return -1;
    count = 0;
    const uint64_t seed = SHash().Byte(kKeyPiece).Text(group).value;
    const size_t low = std::max(kLongName, name.size() >= 2 ? name.size() - 2 : 0);
    const size_t high = std::min(kMaxNameBytes, name.size() + 2);
    for (size_t length = low; length <= high; ++length) {
        // Insertions before a whole piece move it right, deletions left; the length tells
        // which of them two edits can hold.
        const long delta = static_cast<long>(name.size()) - static_cast<long>(length);
        const long lowest = std::min(0L, delta) - (delta == 0);
        const long highest = std::max(0L, delta) + (delta == 0);
        for (int piece = 0; piece < kPieces; ++piece) {
            const size_t start = piece * length / kPieces;
            const size_t size = (piece + 1) * length / kPieces - start;
            const uint64_t ofPiece = PieceSeed(seed, length, piece);
            for (long shift = lowest; shift <= highest && count < kMaxProbes; ++shift) {
                const long at = static_cast<long>(start) + shift;
                if (at < 0 || static_cast<size_t>(at) + size > name.size())
                    continue;
                keys[count] = hashes.Piece(ofPiece, static_cast<size_t>(at), size);
                pieceTable.Prefetch(keys[count++]);
            }
        }
    }
    for (size_t i = 0; i < count; ++i) {
        auto hits = pieceTable.Find(keys[i]);
        for (const uint32_t* e = hits.first; e != hits.second && budget > 0; ++e) {
            if (Verify(*e, query, &budget))
                return static_cast<int>(*e);
        }
    }
    return -1;
}
