// Where the name a domain's owner chose ends and the registry's part begins.
#pragma once

#include <string>
#include <string_view>

struct SDomainParts {
    std::string prefix; // labels left of the name ("mail" in mail.example.co.jp); may be empty
    std::string name;   // the label the owner registered ("example")
    std::string suffix; // the registry's part ("co.jp"); never empty for a name with a dot
};

// The same parts as views into the domain split, for a caller that splits thousands.
struct SDomainSpans {
    std::string_view prefix;
    std::string_view name;
    std::string_view suffix;
};

// Splits a lower-case domain. A domain that is only a suffix, or one label, has an empty name.
SDomainParts SplitDomain(const std::string& domain);
SDomainSpans SplitDomainSpans(std::string_view domain);
