#include "confirm/domain_names.h"

#include "settings/domain_text.h"
#include "support/string_list.h"

SDomainNames::SDomainNames(const std::string& list) {
    for (const std::string& entry : SplitList(list.c_str())) {
        std::string domain, name;
        if (SplitNameEntry(entry, &domain, &name))
            names.emplace(std::move(domain), std::move(name));
    }
}

std::string SDomainNames::NameOf(const std::string& domain) const {
    if (names.empty())
        return std::string();
    // A mail server's sub-domain belongs to the organisation of the domain above it.
    for (size_t at = 0; at != std::string::npos && at < domain.size();) {
        auto found = names.find(domain.substr(at));
        if (found != names.end())
            return found->second;
        at = domain.find('.', at);
        if (at != std::string::npos)
            ++at;
    }
    return std::string();
}
