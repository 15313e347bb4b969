// Known and recipient domains from the same bytes: no crash; a domain that is itself inner or in
// the history, or a sub-domain of an inner one, is never marked; and a recipient that the rules
// call a slip of a known name shorter than a long one is always marked, whatever the history.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lookalike/lookalike_index.h"
#include "lookalike/public_suffix.h"
#include "lookalike/slip_rules.h"

namespace {

std::string Lowered(std::string text) {
    for (char& c : text)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

// Whether the rules alone call typed a one-edit slip of meant, by brute force.
bool RulesCallSlip(const std::string& meant, const std::string& typed) {
    const SDomainParts k = SplitDomain(Lowered(meant));
    const SDomainParts q = SplitDomain(Lowered(typed));
    if (k.name.empty() || q.name.empty() || k.name.size() > SLookalikeIndex::kMaxNameBytes ||
        q.name.size() > SLookalikeIndex::kMaxNameBytes ||
        k.name.size() >= ShortestNameFor(EEdit::TwoEdits))
        return false;
    const bool sameGroup =
        k.suffix == q.suffix || (InSlipFamily(k.suffix) && InSlipFamily(q.suffix));
    return sameGroup && k.name + "." + k.suffix != q.name + "." + q.suffix &&
           IsOneEditSlip(k.name, q.name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Lines: known domains up to an empty line, each starting with its kind digit; then
    // recipient domains.
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back() += static_cast<char>(data[i]);
    }
    SLookalikeIndex index;
    std::vector<std::string> trusted, added;
    size_t at = 0;
    for (; at < lines.size() && !lines[at].empty(); ++at) {
        const std::string domain = lines[at].substr(1);
        const int as = (static_cast<unsigned char>(lines[at][0]) % 3);
        index.Add(domain, static_cast<EKnownAs>(as));
        if (!domain.empty() && domain.size() <= SLookalikeIndex::kMaxDomainBytes)
            added.push_back(domain);
        if (as != kKnownInMessage && !domain.empty())
            trusted.push_back(domain);
        if (as == kKnownInner && !domain.empty())
            trusted.push_back("sub." + domain);
    }
    index.Seal();
    for (; at < lines.size(); ++at) {
        const std::string& typed = lines[at];
        const bool marked = index.Check(typed).kind != kLookNone;
        if (marked || typed.empty() || typed.size() > SLookalikeIndex::kMaxDomainBytes ||
            Lowered(typed).find("xn--") != std::string::npos || index.IsTrusted(typed))
            continue;
        for (const std::string& meant : added) {
            if (RulesCallSlip(meant, typed))
                __builtin_trap();
        }
    }
    for (const std::string& domain : trusted) {
        if (domain.size() <= SLookalikeIndex::kMaxDomainBytes &&
            (index.Check(domain).kind != kLookNone || !index.IsTrusted(domain)))
            __builtin_trap();
    }
    return 0;
}
