#include "lookalike/public_suffix.h"

#include <cstring>
#include <vector>

namespace {

// Second levels under .jp that belong to the registry.
const char* const kJapanSecondLevels[] = {"co", "ne", "or", "ac", "go", "lg", "ed", "gr", "ad"};

const char* const kPrefectures[] = {
    "hokkaido",  "aomori",   "iwate",    "miyagi",    "akita",     "yamagata",  "fukushima",
    "ibaraki",   "tochigi",  "gunma",    "saitama",   "chiba",     "tokyo",     "kanagawa",
    "niigata",   "toyama",   "ishikawa", "fukui",     "yamanashi", "nagano",    "gifu",
    "shizuoka",  "aichi",    "mie",      "shiga",     "kyoto",     "osaka",     "hyogo",
    "nara",      "wakayama", "tottori",  "shimane",   "okayama",   "hiroshima", "yamaguchi",
    "tokushima", "kagawa",   "ehime",    "kochi",     "fukuoka",   "saga",      "nagasaki",
    "kumamoto",  "oita",     "miyazaki", "kagoshima", "okinawa"};

// Registry-like second levels under a two-letter country code (co.uk, com.au, ...).
const char* const kCountrySecondLevels[] = {"co", "com", "ne",  "net", "or", "org", "ac",
                                            "go", "gov", "edu", "ed",  "gr", "ltd", "plc"};

const char* const kSlipFamily[] = {"co.jp", "jp", "com", "ne.jp", "or.jp", "co.com", "jp.net"};

template <size_t N> bool OneOf(const std::string& text, const char* const (&list)[N]) {
    for (const char* entry : list) {
        if (text == entry)
            return true;
    }
    return false;
}

// Labels a prefecture's cities use for their own offices: pref.osaka.jp is the prefecture's.
bool IsOfficeLabel(const std::string& label) {
    return label == "pref" || label == "city" || label == "town" || label == "village" ||
           label == "metro";
}

std::vector<std::string> Labels(const std::string& domain) {
    std::vector<std::string> labels;
    size_t start = 0;
    for (;;) {
        const size_t dot = domain.find('.', start);
        labels.push_back(domain.substr(start, dot == std::string::npos ? dot : dot - start));
        if (dot == std::string::npos)
            return labels;
        start = dot + 1;
    }
}

// How many labels at the end belong to the registry.
size_t SuffixLabels(const std::vector<std::string>& labels) {
    const size_t n = labels.size();
    const std::string& top = labels[n - 1];
    if (n < 2)
        return 1;
    // Two-label suffixes run by companies that sell names beneath them: co.com, jp.net.
    const std::string& second = labels[n - 2];
    if (top == "jp") {
        if (OneOf(second, kJapanSecondLevels))
            return 2;
        if (OneOf(second, kPrefectures)) {
            // example.shibuya.tokyo.jp: the city is the registry's too.
            if (n >= 4 && !IsOfficeLabel(labels[n - 3]))
                return 3;
            return 2;
        }
        return 1;
    }
    if ((second == "co" && top == "com") || (second == "jp" && top == "net"))
        return 2;
    if (top.size() == 2 && OneOf(second, kCountrySecondLevels))
        return 2;
    return 1;
}

} // namespace

SDomainParts SplitDomain(const std::string& domain) {
    SDomainParts parts;
    if (domain.empty())
        return parts;
    const std::vector<std::string> labels = Labels(domain);
    const size_t suffixLabels = SuffixLabels(labels);
    if (labels.size() <= suffixLabels) {
        parts.suffix = domain;
        return parts;
    }
    const size_t nameAt = labels.size() - suffixLabels - 1;
    for (size_t i = 0; i < labels.size(); ++i) {
        std::string& part = i < nameAt ? parts.prefix : i == nameAt ? parts.name : parts.suffix;
        if (!part.empty())
            part += '.';
        part += labels[i];
    }
    return parts;
}

bool InSlipFamily(const std::string& suffix) {
    return OneOf(suffix, kSlipFamily);
}
