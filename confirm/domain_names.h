// The organisations behind recipient domains, as DomainNames lists them: shown beside a domain,
// so that the right person at the wrong company stands out. Win32-free.
#pragma once

#include <map>
#include <string>

class SDomainNames {
  public:
    // "domain=name" entries of a list as SplitList reads it; the first name of a domain stands.
    explicit SDomainNames(const std::string& list);

    // The name of the domain (lower case), or of its nearest parent that has one; empty when
    // none has.
    std::string NameOf(const std::string& domain) const;
    bool Empty() const { return names.empty(); }

  private:
    std::map<std::string, std::string> names;
};
