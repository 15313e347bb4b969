// Whether one recipient address belongs to the organisation's own domains.
#pragma once

#include <cstdint>
#include <vector>

class SStringList;

// An address is inner when some domain occurs, case-sensitively, in the text after its first
// '@'. The domains form a trie, so each start position of the domain part costs only as many
// steps as it shares with some domain, instead of one search per domain.
class SDomainMatcher {
  public:
    explicit SDomainMatcher(const SStringList* innerDomains);
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

    std::vector<SNode> nodes; // nodes[0] is the root; 0 also means "none" for links
    uint32_t rootChildren[256];
};

// Walks one recipient header value in place (the text is changed), counts each entry inner
// or outer and returns the raw entries, or null when there are none. An entry is inner only
// when it is one plain address (see PlainAddressDomain) with an inner domain.
SStringList* ClassifyRecipients(char* value, const SDomainMatcher& matcher, int* innerCount,
                                int* outerCount);
