#include "settings/domain_text.h"

#include <cstring>

#include "support/mbcs.h"
#include "support/string_list.h"

namespace {

// Bytes of the blank at p, 0 when p holds no blank. The full-width space is Shift-JIS 81 40.
size_t BlankLength(const char* p) {
    if (p[0] == ' ' || p[0] == '\t')
        return 1;
    if (static_cast<unsigned char>(p[0]) == 0x81 && p[1] == 0x40)
        return 2;
    return 0;
}

bool HasBlank(const std::string& text) {
    for (const char* p = text.c_str(); *p; p += CharLength(p)) {
        if (BlankLength(p))
            return true;
    }
    return false;
}

// Trimmed, and "@example.co.jp" read as example.co.jp: the part after the @ is what is meant.
std::string WithoutLeadingAt(const char* text) {
    std::string trimmed = TrimBlanks(text);
    if (!trimmed.empty() && trimmed[0] == '@')
        trimmed = TrimBlanks(trimmed.c_str() + 1);
    return trimmed;
}

} // namespace

std::string TrimBlanks(const char* text) {
    if (!text)
        return std::string();
    const char* p = text;
    while (size_t blank = BlankLength(p))
        p += blank;
    const char* end = p;
    for (const char* at = p; *at; at += CharLength(at)) {
        if (!BlankLength(at))
            end = at + CharLength(at);
    }
    return std::string(p, end);
}

EDomainCheck NormalizeDomain(const char* text, std::string* domain) {
    const std::string trimmed = WithoutLeadingAt(text);
    if (domain)
        *domain = trimmed;
    if (trimmed.empty())
        return EDomainCheck::Empty;
    return HasBlank(trimmed) ? EDomainCheck::BlankInside : EDomainCheck::Ok;
}

void AppendTrimmedDomains(SStringList* list, const char* text) {
    for (const std::string& entry : SplitList(text)) {
        const std::string domain = WithoutLeadingAt(entry.c_str());
        if (!domain.empty())
            list->Append(domain.c_str());
    }
}
