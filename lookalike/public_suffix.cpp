#include "lookalike/public_suffix.h"

#include <cstring>

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

template <size_t N> bool OneOf(std::string_view text, const char* const (&list)[N]) {
    for (const char* entry : list) {
        if (text == entry)
            return true;
    }
    return false;
}

// Labels a prefecture's cities use for their own offices: pref.osaka.jp is the prefecture's.
bool IsOfficeLabel(std::string_view label) {
    return label == "pref" || label == "city" || label == "town" || label == "village" ||
           label == "metro";
}

// The last labels of a domain, the last first: the registry's part has three at most, and the
// name is the one before it.
struct SLastLabels {
    static constexpr size_t kMax = 4;
    size_t start[kMax];
    size_t end[kMax];
    size_t count = 0; // all the domain's labels, or kMax + 1 for more than kMax
    std::string_view text;
    explicit SLastLabels(std::string_view domain) : text(domain) {
        size_t to = domain.size();
        for (;;) {
            const size_t dot = to ? domain.rfind('.', to - 1) : std::string_view::npos;
            start[count] = dot == std::string_view::npos ? 0 : dot + 1;
            end[count] = to;
            ++count;
            if (dot == std::string_view::npos)
                return;
            if (count == kMax) {
                ++count;
                return;
            }
            to = dot;
        }
    }
    std::string_view Label(size_t fromEnd) const {
        return text.substr(start[fromEnd], end[fromEnd] - start[fromEnd]);
    }
};

// How many labels at the end belong to the registry.
size_t SuffixLabels(const SLastLabels& labels) {
    const size_t n = labels.count;
    const std::string_view top = labels.Label(0);
    if (n < 2)
        return 1;
    // Two-label suffixes run by companies that sell names beneath them: co.com, jp.net.
    const std::string_view second = labels.Label(1);
    if (top == "jp") {
        if (OneOf(second, kJapanSecondLevels))
            return 2;
        if (OneOf(second, kPrefectures)) {
            // example.shibuya.tokyo.jp: the city is the registry's too.
            if (n >= 4 && !IsOfficeLabel(labels.Label(2)))
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

// Labels joined by dots skip the empty ones in front: "..a.b" joins as "a.b".
std::string_view Joined(std::string_view labels) {
    const size_t first = labels.find_first_not_of('.');
    return first == std::string_view::npos ? std::string_view() : labels.substr(first);
}

} // namespace

SDomainSpans SplitDomainSpans(std::string_view domain) {
    SDomainSpans parts;
    if (domain.empty())
        return parts;
    const SLastLabels labels(domain);
    const size_t suffixLabels = SuffixLabels(labels);
    if (labels.count <= suffixLabels) {
        parts.suffix = domain;
        return parts;
    }
    const size_t name = suffixLabels;
    parts.name = labels.Label(name);
    parts.suffix = Joined(domain.substr(labels.end[name] + 1));
    if (labels.start[name] > 0)
        parts.prefix = Joined(domain.substr(0, labels.start[name] - 1));
    return parts;
}

SDomainParts SplitDomain(const std::string& domain) {
    const SDomainSpans spans = SplitDomainSpans(domain);
    SDomainParts parts;
    parts.prefix.assign(spans.prefix.data(), spans.prefix.size());
    parts.name.assign(spans.name.data(), spans.name.size());
    parts.suffix.assign(spans.suffix.data(), spans.suffix.size());
    return parts;
}
