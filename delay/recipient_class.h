// Whether recipients belong to the organisation's own domains: one address, one header, and
// the three headers of one send.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "delay/delay_mail.h"
#include "support/string_list.h"

// [Option] InnerDomainMatch=: how an address's domain is held against the inner domains.
enum EInnerDomainMatch {
    kMatchSubstring = 0,  // some inner domain occurs in it, case-sensitively
    kMatchDomainOrSub = 1 // it equals one or ends with '.' + one, letter case ignored
};

// The domain with its ASCII letters in lower case; double-byte characters are kept whole.
std::string LowerCaseDomain(const char* domain);

// An address is inner when some domain occurs, case-sensitively, in the text after its first
// '@'. The domains form a trie, so each start position of the domain part costs only as many
// steps as it shares with some domain, instead of one search per domain.
// With kMatchDomainOrSub the domain and each of its parent domains are looked up instead.
class SDomainMatcher {
  public:
    explicit SDomainMatcher(const SStringList* innerDomains, int match = kMatchSubstring);
    bool IsInner(const char* address) const;
    // The same test for the text after the '@'.
    bool IsInnerDomain(const char* domain) const;

  private:
    struct SNode {
        uint32_t firstChild;
        uint32_t nextSibling;
        unsigned char byte;
        bool terminal;
    };
    void Add(const char* domain);
    uint32_t Child(uint32_t node, unsigned char byte) const;
    bool MatchesAt(const char* text) const;
    bool IsDomainOrSub(const char* domain) const;

    std::vector<SNode> nodes; // nodes[0] is the root; 0 also means "none" for links
    uint32_t rootChildren[256];
    bool bySuffix = false;
    std::unordered_set<std::string> lowerDomains; // for kMatchDomainOrSub
};

// The distinct lower-case domains of a message's plain outside entries, as the Event Log names
// them: the first kKeptOuterDomains, and whether there were more. Gathered during the walk,
// which has each domain at hand: a second walk would cost the send as much as the first.
const size_t kKeptOuterDomains = 64;
class SOuterDomains {
  public:
    void Add(const char* domain);
    std::vector<std::string> Names() const { return {names.begin(), names.end()}; }
    bool Cut() const { return cut; }

  private:
    std::set<std::string> names;
    std::string key; // reused: most entries name a domain already seen
    bool cut = false;
};

// One entry of a recipient header, as written, and how it was classified.
struct SRecipient {
    const char* entry;  // in the list of its header
    const char* domain; // of its one plain address, as written; null when it is not one
    bool inner;
};

// Walks one recipient header value in place (the text is changed), counts each entry inner
// or outer and returns the raw entries, or null when there are none. An entry is inner only
// when it is one plain address (see PlainAddressDomain) with an inner domain. With recipients,
// each entry is also added there, its domain copied into domains.
SStringList* ClassifyRecipients(char* value, const SDomainMatcher& matcher, int* innerCount,
                                int* outerCount, std::vector<SRecipient>* recipients = nullptr,
                                SStringList* domains = nullptr,
                                SOuterDomains* outerDomains = nullptr);

// The recipients of one send, classified once from its snapshot: the hold counts them, the
// confirmation shows them and the domain history learns from them.
class SSendRecipients {
  public:
    struct SField {
        SStringList* list = nullptr;     // the entries as written; null when there are none
        std::vector<SRecipient> entries; // one per entry of the list, in order, when confirming
        bool full = false;               // the text filled its buffer: what followed was lost
    };

    SSendRecipients() = default;
    ~SSendRecipients();
    SSendRecipients(const SSendRecipients&) = delete;
    SSendRecipients& operator=(const SSendRecipients&) = delete;

    // Classifies To, Cc and Bcc of the headers; anything classified before is dropped. While
    // the confirmation is on, each entry's domain and class are kept for its rows and the
    // history, and the headers stay whole for it to compare with the window's afterwards.
    // Otherwise the hold needs only the lists and the counts, and the recipient texts are walked
    // in place and used up: a copy of three full headers costs the largest send a tenth of its
    // time. The outside domains are gathered only when something names them (namesOutside).
    void Classify(SCapturedHeaders* headers, const SDomainMatcher& matcher, bool confirming,
                  bool namesOutside = true);
    // The list of a header (0 To, 1 Cc, 2 Bcc) for the hold's record, which owns it from now
    // on; the header's entries go with it.
    SStringList* TakeList(int field);
    // The distinct lower-case domains of the plain outside entries.
    std::vector<std::string> OutsideDomains() const;

    SField fields[3];
    // A header cut short that filled no buffer: the one the host's answer named, else -1.
    int cutByAnswer = -1;
    int innerCount = 0;
    // A header cut short counts as one outside recipient more: nobody saw what it lost.
    int outerCount = 0;
    // For the events, whether or not the confirmation is on.
    SOuterDomains outerDomains;

  private:
    void Clear();
    SStringList domainTexts; // what the entries' domains point into
};
