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
    kKeyPiece = 'P'
};

const size_t kLongName = 12; // from here two edits count as a slip
const int kPieces = 5;       // two edits, a swap touching two pieces: one piece stays whole

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
    SHash& Text(const std::string& s) { return Text(s.data(), s.size()); }
};

// Polynomial hashes of a name's prefixes and suffixes, so that the name with any one letter
// left out hashes in constant time: a long name costs its length, not its length squared.
const uint64_t kRadix = 0x100000001B3ULL * 31 + 7;

struct SDeletions {
    static constexpr size_t kMax = 64;
    uint64_t prefix[kMax + 1]; // prefix[k]: letters 0..k-1
    uint64_t suffix[kMax + 1]; // suffix[k]: letters k..n-1 at the powers the whole name gives
    uint64_t power[kMax + 1];
    size_t n;
    explicit SDeletions(const std::string& name) : n(std::min(name.size(), kMax)) {
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
    static uint64_t Mix(uint64_t seed, uint64_t value, size_t length) {
        uint64_t x = seed ^ (value + 0x9E3779B97F4A7C15ULL * (length + 1));
        x ^= x >> 31;
        x *= 0xBF58476D1CE4E5B9ULL;
        x ^= x >> 29;
        return x;
    }
};

std::string Lower(const std::string& text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string Registrable(const SDomainParts& parts) {
    return parts.name.empty() ? parts.suffix : parts.name + "." + parts.suffix;
}

// Suffixes a slip moves between count as one, so that the edit tables find across them.
std::string SuffixGroup(const std::string& suffix) {
    return InSlipFamily(suffix) ? std::string("\x01") : suffix;
}

// What a reader sees: letters that pass for others folded together, hyphens and dots gone.
std::string Skeleton(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if ((c == 'r' && next == 'n') || (c == 'v' && next == 'v') || (c == 'c' && next == 'l')) {
            out += c == 'r' ? 'm' : c == 'v' ? 'w' : 'd';
            ++i;
        } else if (c == '0') {
            out += 'o';
        } else if (c == '1' || c == 'i') {
            out += 'l';
        } else if (c != '-' && c != '.') {
            out += c;
        }
    }
    return out;
}

std::vector<size_t> LabelStarts(const std::string& domain) {
    std::vector<size_t> starts(1, 0);
    for (size_t i = 0; i < domain.size(); ++i) {
        if (domain[i] == '.')
            starts.push_back(i + 1);
    }
    return starts;
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

int SlipDistance(const std::string& a, const std::string& b, int limit) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    if (std::abs(n - m) > limit)
        return limit + 1;
    std::vector<int> before(m + 1), previous(m + 1), current(m + 1);
    for (int j = 0; j <= m; ++j)
        previous[j] = j;
    for (int i = 1; i <= n; ++i) {
        current[0] = i;
        int best = current[0];
        for (int j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int d = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, before[j - 2] + 1);
            current[j] = d;
            best = std::min(best, d);
        }
        if (best > limit)
            return limit + 1;
        before.swap(previous);
        previous.swap(current);
    }
    return std::min(previous[m], limit + 1);
}

void SLookalikeIndex::Add(const std::string& domain, EKnownAs as) {
    if (domain.empty() || domain.size() > kMaxDomainBytes)
        return;
    SKnown entry;
    entry.domain = Lower(domain);
    entry.parts = SplitDomain(entry.domain);
    entry.registrable = Registrable(entry.parts);
    entry.group = SuffixGroup(entry.parts.suffix);
    entry.as = as;
    if (as != kKnownInMessage) {
        trustedDomains.insert(entry.domain);
        trustedRegistrables.insert(entry.registrable);
    }
    known.push_back(std::move(entry));
    sealed = false;
}

void SLookalikeIndex::Seal() {
    std::vector<SEntry> entries, deletionEntries;
    maxKnownLabels = 0;
    for (uint32_t index = 0; index < known.size(); ++index) {
        const SKnown& k = known[index];
        maxKnownLabels = std::max(maxKnownLabels, LabelStarts(k.domain).size());
        entries.emplace_back(SHash().Byte(kKeyDomain).Text(k.domain).value, index);
        if (k.domain.find('.') != std::string::npos) {
            std::string hyphened(k.domain);
            std::replace(hyphened.begin(), hyphened.end(), '.', '-');
            entries.emplace_back(SHash().Byte(kKeyHyphened).Text(hyphened).value, index);
        }
        entries.emplace_back(SHash().Byte(kKeySkeleton).Text(Skeleton(k.registrable)).value, index);
        const std::string& name = k.parts.name;
        if (name.empty() || name.size() > kMaxNameBytes)
            continue;
        const std::string& group = k.group;
        entries.emplace_back(SHash().Byte(kKeyName).Text(name).value, index);
        if (name.size() < kLongName) {
            // The name and each of it with one letter left out: names one edit apart share one.
            const uint64_t seed = SHash().Byte(kKeyDeletion).Text(group).value;
            const SDeletions deletions(name);
            deletionEntries.emplace_back(deletions.Whole(seed), index);
            for (size_t skip = 0; skip < name.size(); ++skip)
                deletionEntries.emplace_back(deletions.Without(seed, skip), index);
            continue;
        }
        // Long names: the pieces below find one edit as well as two.
        const size_t length = name.size();
        for (int piece = 0; piece < kPieces; ++piece) {
            const size_t start = piece * length / kPieces;
            const size_t end = (piece + 1) * length / kPieces;
            entries.emplace_back(SHash()
                                     .Byte(kKeyPiece)
                                     .Text(group)
                                     .Byte(0)
                                     .Byte(static_cast<unsigned char>(length))
                                     .Byte(static_cast<unsigned char>(piece))
                                     .Text(name.data() + start, end - start)
                                     .value,
                                 index);
        }
    }
    table.Build(entries);
    deletionTable.Build(deletionEntries);
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

bool SLookalikeIndex::Trusted(const std::string& domain, const std::string& registrable) const {
    if (trustedDomains.count(domain) || trustedRegistrables.count(registrable))
        return true;
    // A sub-domain of an inner domain is the organisation's own.
    for (size_t dot = domain.find('.'); dot != std::string::npos; dot = domain.find('.', dot + 1)) {
        const size_t from = dot + 1;
        auto hits =
            Lookup(SHash().Byte(kKeyDomain).Text(domain.data() + from, domain.size() - from).value);
        for (const uint32_t* e = hits.first; e != hits.second; ++e) {
            if (known[*e].as == kKnownInner &&
                domain.compare(from, std::string::npos, known[*e].domain) == 0)
                return true;
        }
    }
    return false;
}

bool SLookalikeIndex::IsTrusted(const std::string& written) const {
    if (!sealed || written.empty() || written.size() > kMaxDomainBytes)
        return false;
    const std::string domain = Lower(written);
    return Trusted(domain, Registrable(SplitDomain(domain)));
}

SLookalike SLookalikeIndex::Check(const std::string& written) const {
    SLookalike result;
    if (!sealed || written.empty() || written.size() > kMaxDomainBytes)
        return result;
    const std::string domain = Lower(written);
    const SDomainParts parts = SplitDomain(domain);
    const std::string registrable = Registrable(parts);
    if (Trusted(domain, registrable))
        return result;
    if (domain.find("xn--") == std::string::npos)
        return CheckAscii(domain, parts, registrable);

    // Internationalised: decode each "xn--" label; read what the letters pass for.
    std::string decoded, ascii;
    bool mixed = false, readable = true;
    const std::vector<size_t> starts = LabelStarts(domain);
    for (size_t i = 0; i < starts.size(); ++i) {
        const size_t end = i + 1 < starts.size() ? starts[i + 1] - 1 : domain.size();
        const std::string label = domain.substr(starts[i], end - starts[i]);
        const std::string sep = i ? "." : "";
        std::u32string points;
        if (label.compare(0, 4, "xn--") != 0) {
            decoded += sep + label;
            ascii += sep + label;
            continue;
        }
        if (!DecodePunycode(label.substr(4), &points)) {
            result.kind = kLookBadIdn;
            return result;
        }
        decoded += sep + Utf8Of(points);
        mixed = mixed || MixesScripts(points);
        std::string folded;
        for (char32_t c : points) {
            const char a = AsciiLookalike(c);
            readable = readable && a != '\0';
            folded += a;
        }
        ascii += sep + folded;
    }
    result.decoded = decoded;
    if (readable) {
        const SDomainParts asciiParts = SplitDomain(ascii);
        const std::string asciiRegistrable = Registrable(asciiParts);
        auto same = Lookup(SHash().Byte(kKeyDomain).Text(ascii).value);
        for (const uint32_t* e = same.first; e != same.second; ++e) {
            if (known[*e].domain == ascii) {
                result.kind = kLookIdn;
                result.resembles = ascii;
                return result;
            }
        }
        SLookalike folded = CheckAscii(ascii, asciiParts, asciiRegistrable);
        if (folded.kind != kLookNone) {
            result.kind = kLookIdn;
            result.resembles = folded.resembles;
            return result;
        }
    }
    if (mixed)
        result.kind = kLookMixedScript;
    return result;
}

SLookalike SLookalikeIndex::CheckAscii(const std::string& domain, const SDomainParts& parts,
                                       const std::string& registrable) const {
    SLookalike result;
    int found = -1;
    int kind = kLookNone;
    if ((found = FindEmbedded(domain)) >= 0)
        kind = kLookEmbedded;
    else if ((found = FindSuffixSlip(parts)) >= 0)
        kind = kLookSuffix;
    else if ((found = FindVisual(registrable)) >= 0)
        kind = kLookVisual;
    else if ((found = FindSlip(parts, registrable)) >= 0)
        kind = kLookSlip;
    if (found >= 0) {
        result.kind = kind;
        result.resembles = known[static_cast<size_t>(found)].domain;
    }
    return result;
}

// example.co.jp.attacker.test, www.example.co.jp.attacker.test, example-co-jp.test
int SLookalikeIndex::FindEmbedded(const std::string& domain) const {
    const std::vector<size_t> starts = LabelStarts(domain);
    for (size_t first = 0; first < starts.size(); ++first) {
        for (size_t last = first + 1; last < starts.size() && last - first <= maxKnownLabels;
             ++last) {
            const size_t length = starts[last] - 1 - starts[first];
            auto hits =
                Lookup(SHash().Byte(kKeyDomain).Text(domain.data() + starts[first], length).value);
            for (const uint32_t* e = hits.first; e != hits.second; ++e) {
                if (known[*e].domain.compare(0, std::string::npos, domain, starts[first], length) ==
                    0)
                    return static_cast<int>(*e);
            }
        }
    }
    for (size_t i = 0; i < starts.size(); ++i) {
        const size_t end = i + 1 < starts.size() ? starts[i + 1] - 1 : domain.size();
        for (size_t at = starts[i]; at <= end; ++at) {
            if (at != end && domain[at] != '-')
                continue;
            // The whole label counts only with labels after it: the domain is not the known one.
            if (at == end && i + 1 == starts.size())
                break;
            const size_t length = at - starts[i];
            auto hits =
                Lookup(SHash().Byte(kKeyHyphened).Text(domain.data() + starts[i], length).value);
            if (hits.first != hits.second)
                return static_cast<int>(*hits.first);
        }
    }
    return -1;
}

int SLookalikeIndex::FindSuffixSlip(const SDomainParts& parts) const {
    if (parts.name.empty() || !InSlipFamily(parts.suffix))
        return -1;
    auto hits = Lookup(SHash().Byte(kKeyName).Text(parts.name).value);
    for (const uint32_t* e = hits.first; e != hits.second; ++e) {
        const SKnown& k = known[*e];
        if (k.parts.name == parts.name && k.parts.suffix != parts.suffix &&
            InSlipFamily(k.parts.suffix))
            return static_cast<int>(*e);
    }
    return -1;
}

int SLookalikeIndex::FindVisual(const std::string& registrable) const {
    const std::string skeleton = Skeleton(registrable);
    auto hits = Lookup(SHash().Byte(kKeySkeleton).Text(skeleton).value);
    for (const uint32_t* e = hits.first; e != hits.second; ++e) {
        const SKnown& k = known[*e];
        if (k.registrable != registrable && Skeleton(k.registrable) == skeleton)
            return static_cast<int>(*e);
    }
    return -1;
}

bool SLookalikeIndex::Verify(uint32_t candidate, const SDomainParts& parts,
                             const std::string& group, const std::string& registrable,
                             int* budget) const {
    if (--*budget < 0)
        return false;
    const SKnown& k = known[candidate];
    if (k.group != group || k.parts.name.empty() || k.registrable == registrable)
        return false;
    const int limit = std::max(k.parts.name.size(), parts.name.size()) >= kLongName ? 2 : 1;
    return SlipDistance(k.parts.name, parts.name, limit) <= limit;
}

int SLookalikeIndex::FindSlip(const SDomainParts& parts, const std::string& registrable) const {
    const std::string& name = parts.name;
    if (name.empty() || name.size() > kMaxNameBytes)
        return -1;
    int budget = kMaxCandidates;
    const std::string group = SuffixGroup(parts.suffix);
    const uint64_t seed = SHash().Byte(kKeyDeletion).Text(group).value;
    const SDeletions deletions(name.size() <= kLongName ? name : std::string());
    // Only a known name shorter than kLongName has its deletions indexed.
    for (size_t skip = 0; name.size() <= kLongName && skip <= name.size(); ++skip) {
        // skip == size: the name itself, which meets a known name with one letter more.
        const uint64_t key =
            skip == name.size() ? deletions.Whole(seed) : deletions.Without(seed, skip);
        auto hits = deletionTable.Find(key);
        for (const uint32_t* e = hits.first; e != hits.second && budget > 0; ++e) {
            if (Verify(*e, parts, group, registrable, &budget))
                return static_cast<int>(*e);
        }
    }
    // Two edits: a known name of 12 or more, cut in five pieces, keeps one piece whole,
    // at most two places from where it was.
    if (name.size() + 2 < kLongName)
        return -1;
    const size_t low = std::max(kLongName, name.size() >= 2 ? name.size() - 2 : 0);
    const size_t high = std::min(kMaxNameBytes, name.size() + 2);
    for (size_t length = low; length <= high; ++length) {
        for (int piece = 0; piece < kPieces; ++piece) {
            const size_t start = piece * length / kPieces;
            const size_t size = (piece + 1) * length / kPieces - start;
            // Insertions before a whole piece move it right, deletions left; the length tells
            // which of them two edits can hold.
            const long delta = static_cast<long>(name.size()) - static_cast<long>(length);
            const long lowest = std::min(0L, delta) - (delta == 0);
            const long highest = std::max(0L, delta) + (delta == 0);
            for (long shift = lowest; shift <= highest; ++shift) {
                const long at = static_cast<long>(start) + shift;
                if (at < 0 || static_cast<size_t>(at) + size > name.size())
                    continue;
                const uint64_t key = SHash()
                                         .Byte(kKeyPiece)
                                         .Text(group)
                                         .Byte(0)
                                         .Byte(static_cast<unsigned char>(length))
                                         .Byte(static_cast<unsigned char>(piece))
                                         .Text(name.data() + at, size)
                                         .value;
                auto hits = Lookup(key);
                for (const uint32_t* e = hits.first; e != hits.second && budget > 0; ++e) {
                    if (Verify(*e, parts, group, registrable, &budget))
                        return static_cast<int>(*e);
                }
            }
        }
    }
    return -1;
}
