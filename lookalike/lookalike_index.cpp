#include "lookalike/lookalike_index.h"

#include <algorithm>
#include <cstdlib>

#include "lookalike/name_keys.h"
#include "lookalike/punycode.h"
#include "lookalike/slip_rules.h"

namespace {

// Key kinds, told apart by the first byte hashed.
enum : unsigned char {
    kKeyDomain = 'F',
    kKeyHyphened = 'H',
    kKeySkeleton = 'S',
    kKeyLastLabel = 'T', // the last label of a known domain: com, jp
    kKeyTrusted = 'R',   // the registrable of an inner or history domain
    kKeyGroupName = 'G', // a name in its group of suffixes
    kKeyWildcard = 'W',  // a name with one letter unknown, in its group
    kKeyPiece = 'P'
};

const int kPieces = 5; // two edits, a swap touching two pieces: one piece stays whole
// Keys one name asks for at most: for one edit, an unknown letter put in before each letter
// and at the end, each letter replaced by its keys or unknown, left out, and swapped with the
// next; for two, five lengths, five pieces, three places each.
const size_t kMaxEditProbes = (SLookalikeIndex::kMaxNameBytes + 1) * (kMaxNearKeys + 3);
const size_t kMaxPieceProbes = 5 * kPieces * 3;

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

} // namespace

std::string_view SLookalikeIndex::SKnown::Group() const {
    return slipFamily ? kSlipGroup : Suffix();
}

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
    std::vector<SKeyEntry> entries, slipEntries, pieceEntries;
    entries.reserve(known.size() * 5);
    maxKnownLabels = 0;
    maxInnerLabels = 0;
    // A slip resembles a registrable: its sub-domains add nothing but longer runs to skip.
    SSeenTexts registrables(known.size()), trusted(known.size()), lastLabels(known.size());
    for (uint32_t index = 0; index < known.size(); ++index) {
        const SKnown& k = known[index];
        const size_t dots = std::count(k.domain.begin(), k.domain.end(), '.');
        maxKnownLabels = std::min(std::max(maxKnownLabels, dots + 1), kLongestEmbedded);
        if (k.as == kKnownInner)
            maxInnerLabels = std::max(maxInnerLabels, dots + 1);
        entries.emplace_back(SHash().Byte(kKeyDomain).Text(k.domain).value, index);
        const std::string_view last = std::string_view(k.domain).substr(k.domain.rfind('.') + 1);
        const uint64_t lastKey = SHash().Byte(kKeyLastLabel).Text(last).value;
        if (lastLabels.Insert(lastKey, last))
            entries.emplace_back(lastKey, index);
        if (dots > 0) {
            SHash hyphened;
            hyphened.Byte(kKeyHyphened);
            for (char c : k.domain)
                hyphened.Byte(static_cast<unsigned char>(c == '.' ? '-' : c));
            entries.emplace_back(hyphened.value, index);
        }
        const uint64_t owner = SHash().Byte(kKeyTrusted).Text(k.registrable).value;
        if (k.as != kKnownInMessage && trusted.Insert(owner, k.registrable))
            entries.emplace_back(owner, index);
        if (!registrables.Insert(owner, k.registrable))
            continue;
        entries.emplace_back(SHash().Byte(kKeySkeleton).Text(k.skeleton).value, index);
        const std::string_view name = k.Name();
        if (name.empty() || name.size() > kMaxNameBytes)
            continue;
        const std::string_view group = k.Group();
        const SNameHashes hashes(name);
        const size_t length = name.size();
        slipEntries.emplace_back(hashes.Whole(SHash().Byte(kKeyGroupName).Text(group).value),
                                 index);
        // The name with each letter unknown: a name typed with one letter replaced is one of
        // them, and so is one typed with a letter left out once an unknown one is put back.
        if (length >= std::min(ShortestNameFor(EEdit::Dropped), ShortestNameFor(EEdit::Replaced)) &&
            length < ShortestNameFor(EEdit::TwoEdits)) {
            const uint64_t seed = SHash().Byte(kKeyWildcard).Text(group).value;
            for (size_t at = 0; at < length; ++at)
                slipEntries.emplace_back(hashes.Replaced(seed, at, -1), index);
        }
        if (length >= ShortestNameFor(EEdit::TwoEdits)) {
            const uint64_t seed = SHash().Byte(kKeyPiece).Text(group).value;
            for (int piece = 0; piece < kPieces; ++piece) {
                const size_t start = piece * length / kPieces;
                const size_t end = (piece + 1) * length / kPieces;
                pieceEntries.emplace_back(
                    hashes.Piece(PieceSeed(seed, length, piece), start, end - start), index);
            }
        }
    }
    table.Build(entries);
    slipTable.Build(slipEntries);
    pieceTable.Build(pieceEntries);
    sealed = true;
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
    // A sub-domain of an inner domain is the organisation's own: its last labels, as many as
    // an inner domain has at most, are looked for.
    size_t labels = 0;
    for (size_t dot = domain.rfind('.'); dot != std::string_view::npos && labels < maxInnerLabels;
         dot = dot ? domain.rfind('.', dot - 1) : std::string_view::npos, ++labels) {
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
    else if ((found = FindSuffixTypo(query.domain)) >= 0)
        kind = kLookSuffixTypo;
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
    // A run can be a known domain only if it ends as one does.
    bool endsKnown[kMaxDomainBytes + 1];
    for (size_t i = 0; i + 1 < labels; ++i) {
        const std::string_view label = domain.substr(starts[i], starts[i + 1] - 1u - starts[i]);
        const auto hits = Lookup(SHash().Byte(kKeyLastLabel).Text(label).value);
        endsKnown[i] = hits.first != hits.second;
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
            if (!endsKnown[last - 1])
                continue;
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
        // A known domain with its dots as hyphens holds one; a label without any is none.
        if (domain.substr(starts[i], end - starts[i]).find('-') == std::string_view::npos)
            continue;
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
    return FindName(query.name, kSlipGroup, query.suffix, false);
}

// A known name in a group of suffixes, under that suffix (same) or under another.
int SLookalikeIndex::FindName(std::string_view name, std::string_view group,
                              std::string_view suffix, bool same) const {
    const SNameHashes hashes(name);
    auto hits = slipTable.Find(hashes.Whole(SHash().Byte(kKeyGroupName).Text(group).value));
    for (const uint32_t* e = hits.first; e != hits.second; ++e) {
        const SKnown& k = known[*e];
        if (k.Name() == name && (k.Suffix() == suffix) == same && k.Group() == group)
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

bool SLookalikeIndex::SameGroup(const SKnown& k, const SSplit& query) const {
    return k.nameSize != 0 && k.Group() == query.Group() && k.registrable != query.registrable;
}

// example.co for example.com, example.co.jo for example.co.jp: the name as it is, under a
// suffix typed for the known one's.
int SLookalikeIndex::FindSuffixTypo(std::string_view domain) const {
    for (const SSuffixTypo& typo : SuffixTypos()) {
        if (domain.size() < typo.typed.size() + 2 ||
            domain.substr(domain.size() - typo.typed.size()) != typo.typed ||
            domain[domain.size() - typo.typed.size() - 1] != '.')
            continue;
        const std::string_view before = domain.substr(0, domain.size() - typo.typed.size() - 1);
        const size_t dot = before.rfind('.');
        const std::string_view name =
            dot == std::string_view::npos ? before : before.substr(dot + 1);
        if (name.empty() || name.size() > kMaxNameBytes)
            continue;
        const int found =
            FindName(name, InSlipFamily(typo.meant) ? kSlipGroup : typo.meant, typo.meant, true);
        if (found >= 0)
            return found;
    }
    return -1;
}

bool SLookalikeIndex::VerifyLongName(uint32_t candidate, const SSplit& query, int* budget) const {
    if (--*budget < 0)
        return false;
    // The cheap tests first: most candidates share a piece and nothing more.
    const SKnown& k = known[candidate];
    const int limit = 2;
    if (std::abs(static_cast<int>(k.nameSize) - static_cast<int>(query.name.size())) > limit ||
        Bits(k.letters & ~query.letters) > limit || Bits(query.letters & ~k.letters) > limit)
        return false;
    return SameGroup(k, query) && IsTwoEditSlip(k.Name(), query.name);
}

int SLookalikeIndex::FindSlip(const SSplit& query) const {
    const std::string_view name = query.name;
    if (name.empty() || name.size() > kMaxNameBytes)
        return -1;
    const std::string_view group = query.Group();
    const size_t n = name.size();
    const SNameHashes hashes(name);
    // Each name shorter than a long one that the typist may have meant, as a key; a long name
    // is found by its pieces below. Every key is made and its filter word asked for before the
    // first probe, so that the cache misses of a check overlap instead of following one another.
    const size_t longName = ShortestNameFor(EEdit::TwoEdits);
    uint64_t keys[kMaxEditProbes];
    size_t count = 0;
    const uint64_t named = SHash().Byte(kKeyGroupName).Text(group).value;
    const uint64_t unknown = SHash().Byte(kKeyWildcard).Text(group).value;
    // A letter left out: the name meant had one more somewhere.
    if (n + 1 >= ShortestNameFor(EEdit::Dropped) && n + 1 < longName) {
        for (size_t at = 0; at <= n; ++at)
            keys[count++] = hashes.Unknown(unknown, at);
    }
    // A letter replaced: any, or only by a key beside it.
    if (n >= ShortestNameFor(EEdit::Replaced) && n < longName) {
        for (size_t at = 0; at < n; ++at)
            keys[count++] = hashes.Replaced(unknown, at, -1);
    } else if (n >= std::min(ShortestNameFor(EEdit::NearKeyRow), ShortestNameFor(EEdit::NearKey)) &&
               n < longName) {
        for (size_t at = 0; at < n; ++at) {
            char near[kMaxNearKeys];
            const size_t nearCount = NearKeys(name[at], near);
            for (size_t k = 0; k < nearCount; ++k)
                keys[count++] = hashes.Replaced(named, at, static_cast<unsigned char>(near[k]));
        }
    }
    // A letter more: any, or only one typed twice.
    const bool anyInserted = n >= ShortestNameFor(EEdit::Inserted) + 1;
    if ((anyInserted || n >= ShortestNameFor(EEdit::Doubled) + 1) && n - 1 < longName) {
        for (size_t skip = 0; skip < n; ++skip) {
            const bool twice = skip > 0 && name[skip] == name[skip - 1];
            // Leaving out either of two like letters gives one name: ask for it once.
            if (anyInserted ? !twice : twice)
                keys[count++] = hashes.Without(named, skip);
        }
    }
    if (n >= ShortestNameFor(EEdit::Swapped) && n < longName) {
        for (size_t at = 0; at + 1 < n; ++at) {
            if (name[at] != name[at + 1])
                keys[count++] = hashes.Swapped(named, at, name[at], name[at + 1]);
        }
    }
    for (size_t i = 0; i < count; ++i)
        slipTable.Prefetch(keys[i]);
    for (size_t i = 0; i < count; ++i) {
        auto hits = slipTable.Find(keys[i]);
        for (const uint32_t* e = hits.first; e != hits.second; ++e) {
            const SKnown& k = known[*e];
            if (SameGroup(k, query) && IsOneEditSlip(k.Name(), name))
                return static_cast<int>(*e);
        }
    }

    // One edit or two: a long known name, cut in five pieces, keeps one piece whole, at most
    // two places from where it was.
    if (n + 2 < longName)
        return -1;
    int budget = kMaxCandidates;
    uint64_t pieceKeys[kMaxPieceProbes];
    count = 0;
    const uint64_t seed = SHash().Byte(kKeyPiece).Text(group).value;
    const size_t low = std::max(longName, n >= 2 ? n - 2 : 0);
    const size_t high = std::min(kMaxNameBytes, n + 2);
    for (size_t length = low; length <= high; ++length) {
        // Insertions before a whole piece move it right, deletions left; the length tells
        // which of them two edits can hold.
        const long delta = static_cast<long>(n) - static_cast<long>(length);
        const long lowest = std::min(0L, delta) - (delta == 0);
        const long highest = std::max(0L, delta) + (delta == 0);
        for (int piece = 0; piece < kPieces; ++piece) {
            const size_t start = piece * length / kPieces;
            const size_t size = (piece + 1) * length / kPieces - start;
            const uint64_t ofPiece = PieceSeed(seed, length, piece);
            for (long shift = lowest; shift <= highest && count < kMaxPieceProbes; ++shift) {
                const long at = static_cast<long>(start) + shift;
                if (at < 0 || static_cast<size_t>(at) + size > n)
                    continue;
                pieceKeys[count] = hashes.Piece(ofPiece, static_cast<size_t>(at), size);
                pieceTable.Prefetch(pieceKeys[count++]);
            }
        }
    }
    for (size_t i = 0; i < count; ++i) {
        auto hits = pieceTable.Find(pieceKeys[i]);
        for (const uint32_t* e = hits.first; e != hits.second && budget > 0; ++e) {
            if (VerifyLongName(*e, query, &budget))
                return static_cast<int>(*e);
        }
    }
    return -1;
}
