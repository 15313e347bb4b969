// Recipient domains that look like a domain mail is meant for: one typing slip away, the same
// name under another suffix or a typo of its suffix, letters that read alike, a known domain
// with more labels after it, or an internationalised name that mixes scripts or reads as a
// known one. What counts as a slip is slip_rules.h's; this finds the candidates. Win32-free.
//
// The known domains are indexed once per send so that each recipient domain costs a few
// lookups, not a comparison with every known domain: each name a slip could have been made
// from is a key.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lookalike/name_keys.h"
#include "lookalike/public_suffix.h"

enum ELookalikeKind {
    kLookNone = 0,
    kLookSlip = 1,        // a typing slip of a known name (slip_rules.h)
    kLookSuffix = 2,      // the same name under another suffix of the family
    kLookVisual = 3,      // rn/m, vv/w, cl/d, 0/o, 1/l/i, hyphens or dots
    kLookEmbedded = 4,    // a known domain followed by more labels
    kLookIdn = 5,         // an internationalised name that reads as a known one
    kLookMixedScript = 6, // an internationalised label mixing scripts
    kLookBadIdn = 7,      // an "xn--" label that does not decode
    kLookSuffixTypo = 8   // the same name under a typo of its suffix: example.con
};

struct SLookalike {
    ELookalikeKind kind = kLookNone;
    std::string resembles; // the known domain; empty for the two kinds without one
    std::string decoded;   // internationalised domains: the decoded form, UTF-8
};

// Who vouches for a known domain.
enum EKnownAs { kKnownInner = 0, kKnownHistory = 1, kKnownInMessage = 2 };

class SLookalikeIndex {
  public:
    static constexpr size_t kMaxDomainBytes = 255;
    static constexpr size_t kMaxNameBytes = 63;
    // Long known names sharing a piece with the name typed, checked per recipient domain at
    // most, so that a crafted history stays fast; a domain whose check runs out is still an
    // outside row, only without the mark. Shorter names are found by exact keys, without a cap.
    static constexpr int kMaxCandidates = 128;

    // Inner and history domains are never marked themselves (an inner one's sub-domains
    // neither); the other domains of the message are only resembled.
    void Add(const std::string& domain, EKnownAs as);
    // Makes what was added searchable; Check before Seal finds nothing.
    void Seal();
    // domain: as written in the address; letter case is ignored.
    SLookalike Check(const std::string& domain) const;
    // Inner or in the history, or under an inner domain or the same registrant as one.
    bool IsTrusted(const std::string& domain) const;

    size_t Size() const { return known.size(); }

  private:
    struct SKnown {
        std::string domain;
        std::string registrable; // the name and its suffix: example.co.jp
        std::string skeleton;    // of the registrable
        uint32_t letters;        // LetterMask of the name
        uint16_t nameSize;       // the name starts the registrable; 0: a bare suffix
        bool slipFamily;         // suffixes a slip moves between count as one
        int as;
        std::string_view Name() const { return std::string_view(registrable).substr(0, nameSize); }
        std::string_view Suffix() const {
            return nameSize ? std::string_view(registrable).substr(nameSize + 1u) : registrable;
        }
        // What names are looked up under: the suffix, or the family a slip moves within.
        std::string_view Group() const;
    };
    // A domain lower-cased and split as views, without a string of its own: thousands are
    // checked per send.
    struct SSplit;

    bool Trusted(std::string_view domain, std::string_view registrable) const;
    SLookalike CheckAscii(const SSplit& query) const;
    int FindEmbedded(std::string_view domain) const;
    int FindSuffixSlip(const SSplit& query) const;
    int FindSuffixTypo(std::string_view domain) const;
    int FindName(std::string_view name, std::string_view group, std::string_view suffix,
                 bool same) const;
    int FindVisual(const SSplit& query) const;
    int FindSlip(const SSplit& query) const;
    bool SameGroup(const SKnown& k, const SSplit& query) const;
    bool VerifyLongName(uint32_t candidate, const SSplit& query, int* budget) const;
    SKeyHits Lookup(uint64_t key) const { return table.Find(key); }

    std::vector<SKnown> known;
    SKeyTable table;
    // The names a slip could come from, and long names' pieces, apart, so that each table's
    // filter stays small enough for the cache: most keys a check asks for are in none.
    SKeyTable slipTable;
    SKeyTable pieceTable;
    size_t maxKnownLabels = 0;
    size_t maxInnerLabels = 0;
    bool sealed = false;
};
