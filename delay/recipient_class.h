// Whether one recipient address belongs to the organisation's own domains.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

class SStringList;

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

// Walks one recipient header value in place (the text is changed), counts each entry inner
// or outer and returns the raw entries, or null when there are none. An entry is inner only
// when it is one plain address (see PlainAddressDomain) with an inner domain.
SStringList* ClassifyRecipients(char* value, const SDomainMatcher& matcher, int* innerCount,
                                int* outerCount, SOuterDomains* outerDomains = nullptr);
