// Known and recipient domains from the same bytes: no crash, and a domain that is itself inner
// or in the history, or a sub-domain of an inner one, is never marked.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lookalike/lookalike_index.h"

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
    std::vector<std::string> trusted;
    size_t at = 0;
    for (; at < lines.size() && !lines[at].empty(); ++at) {
        const std::string domain = lines[at].substr(1);
        const int as = (static_cast<unsigned char>(lines[at][0]) % 3);
        index.Add(domain, static_cast<EKnownAs>(as));
        if (as != kKnownInMessage && !domain.empty())
            trusted.push_back(domain);
        if (as == kKnownInner && !domain.empty())
            trusted.push_back("sub." + domain);
    }
    index.Seal();
    for (; at < lines.size(); ++at)
        index.Check(lines[at]);
    for (const std::string& domain : trusted) {
        if (domain.size() <= SLookalikeIndex::kMaxDomainBytes &&
            (index.Check(domain).kind != kLookNone || !index.IsTrusted(domain)))
            __builtin_trap();
    }
    return 0;
}
