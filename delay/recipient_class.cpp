#include "delay/recipient_class.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "support/address_list.h"
#include "support/mbcs.h"
#include "support/string_list.h"

namespace {

void AppendLowerCase(const char* domain, std::string* lower) {
    for (const char* p = domain; *p;) {
        // ASCII letters only: a trail byte of a double-byte character may look like one.
        const size_t n = CharLength(p);
        if (n == 1 && *p >= 'A' && *p <= 'Z')
            *lower += static_cast<char>(*p - 'A' + 'a');
        else
            lower->append(p, n);
        p += n;
    }
}

} // namespace

std::string LowerCaseDomain(const char* domain) {
    std::string lower;
    AppendLowerCase(domain, &lower);
    return lower;
}

void SOuterDomains::Add(const char* domain) {
    key.clear();
    AppendLowerCase(domain, &key);
    if (names.count(key))
        return;
    if (names.size() < kKeptOuterDomains)
        names.insert(key);
    else
        cut = true;
}

SDomainMatcher::SDomainMatcher(const SStringList* innerDomains, int match) {
    for (uint32_t& child : rootChildren)
        child = 0;
    nodes.push_back(SNode{0, 0, 0, false});
    if (!innerDomains)
        return;
    if (match == kMatchDomainOrSub) {
        bySuffix = true;
        for (const SStringNode* node = innerDomains->first; node; node = node->next) {
            if (node->text && node->text[0])
                lowerDomains.insert(LowerCaseDomain(node->text));
        }
        return;
    }
    size_t bytes = 0;
    for (const SStringNode* node = innerDomains->first; node; node = node->next)
        bytes += node->length;
    nodes.reserve(bytes + 1);
    for (const SStringNode* node = innerDomains->first; node; node = node->next) {
        // An empty entry would match every domain and let outside mail go unheld.
        if (node->text && node->text[0])
            Add(node->text);
    }
}

uint32_t SDomainMatcher::Child(uint32_t node, unsigned char byte) const {
    if (node == 0)
        return rootChildren[byte];
    for (uint32_t child = nodes[node].firstChild; child; child = nodes[child].nextSibling) {
        if (nodes[child].byte == byte)
            return child;
    }
    return 0;
}

void SDomainMatcher::Add(const char* domain) {
    uint32_t node = 0;
    for (const char* p = domain; *p; ++p) {
        unsigned char byte = static_cast<unsigned char>(*p);
        uint32_t child = Child(node, byte);
        if (!child) {
            child = static_cast<uint32_t>(nodes.size());
            uint32_t sibling = node == 0 ? 0 : nodes[node].firstChild;
            nodes.push_back(SNode{0, sibling, byte, false});
            if (node == 0)
                rootChildren[byte] = child;
            else
                nodes[node].firstChild = child;
        }
        node = child;
    }
    nodes[node].terminal = true;
}

bool SDomainMatcher::MatchesAt(const char* text) const {
    uint32_t node = 0;
    for (const char* p = text; *p; ++p) {
        node = Child(node, static_cast<unsigned char>(*p));
        if (!node)
            return false;
        if (nodes[node].terminal)
            return true;
    }
    return false;
}

bool SDomainMatcher::IsInner(const char* address) const {
    const char* at = address ? strchr(address, '@') : nullptr;
    return at && IsInnerDomain(at + 1);
}

bool SDomainMatcher::IsInnerDomain(const char* domain) const {
    if (bySuffix)
        return IsDomainOrSub(domain);
    if (nodes.size() == 1)
        return false;
    for (const char* start = domain; *start; ++start) {
        if (MatchesAt(start))
            return true;
    }
    return false;
}

bool SDomainMatcher::IsDomainOrSub(const char* domain) const {
    if (lowerDomains.empty())
        return false;
    const std::string lower = LowerCaseDomain(domain);
    if (lowerDomains.count(lower))
        return true;
    // '.' is never a trail byte, so every dot found here is a real one.
    for (size_t dot = lower.find('.'); dot != std::string::npos; dot = lower.find('.', dot + 1)) {
        if (lowerDomains.count(lower.substr(dot + 1)))
            return true;
    }
    return false;
}

SStringList* ClassifyRecipients(char* value, const SDomainMatcher& matcher, int* innerCount,
                                int* outerCount, std::vector<SRecipient>* recipients,
                                SStringList* domains, SOuterDomains* outerDomains) {
    if (!value[0])
        return nullptr;
    char* entry = NextAddress(value);
    if (!entry)
        return nullptr;
    std::unique_ptr<SStringList> list(new SStringList);
    std::unique_ptr<char[]> address(new char[kAddressPartSize]);
    for (; entry; entry = NextAddress(nullptr)) {
        // Whatever is not one plain address might hide an outside one.
        const char* domain = PlainAddressDomain(entry, address.get());
        const bool inner = domain && matcher.IsInnerDomain(domain);
        if (inner) {
            ++*innerCount;
        } else {
            ++*outerCount;
            if (domain && outerDomains)
                outerDomains->Add(domain);
        }
        list->Append(entry);
        if (recipients) {
            if (domain)
                domains->Append(domain);
            recipients->push_back(
                SRecipient{list->last->text, domain ? domains->last->text : nullptr, inner});
        }
    }
    return list.release();
}

SSendRecipients::~SSendRecipients() {
    Clear();
}

void SSendRecipients::Clear() {
    for (SField& field : fields) {
        delete field.list;
        field = SField();
    }
    domainTexts.Clear();
    outerDomains = SOuterDomains();
    cutByAnswer = -1;
    innerCount = 0;
    outerCount = 0;
}

void SSendRecipients::Classify(SCapturedHeaders* headers, const SDomainMatcher& matcher,
                               bool confirming, bool namesOutside) {
    Clear();
    std::string* texts[3] = {&headers->to, &headers->cc, &headers->bcc};
    std::string copy;
    bool full = false;
    for (int i = 0; i < 3; ++i) {
        SField& field = fields[i];
        field.full = texts[i]->size() >= static_cast<size_t>(kHeaderBufferSize - 1);
        full = full || field.full;
        // The walk cuts its text in place.
        std::string* walked = texts[i];
        if (confirming) {
            copy.assign(*texts[i]);
            walked = &copy;
        }
        field.list = ClassifyRecipients(&(*walked)[0], matcher, &innerCount, &outerCount,
                                        confirming ? &field.entries : nullptr, &domainTexts,
                                        namesOutside ? &outerDomains : nullptr);
    }
    // A header cut short lost entries nobody saw: the hold counts them as one outside
    // recipient, the confirmation shows a row for each such header.
    if (headers->recipientsCut && !full)
        cutByAnswer = headers->cutField >= 0 && headers->cutField <= 2 ? headers->cutField : 0;
    if (full || cutByAnswer >= 0)
        ++outerCount;
}

SStringList* SSendRecipients::TakeList(int field) {
    SStringList* list = fields[field].list;
    fields[field].list = nullptr;
    fields[field].entries.clear();
    return list;
}

std::vector<std::string> SSendRecipients::OutsideDomains() const {
    std::vector<std::string> outside;
    for (const SField& field : fields) {
        for (const SRecipient& recipient : field.entries) {
            if (recipient.domain && !recipient.inner)
                outside.push_back(LowerCaseDomain(recipient.domain));
        }
    }
    std::sort(outside.begin(), outside.end());
    outside.erase(std::unique(outside.begin(), outside.end()), outside.end());
    return outside;
}
