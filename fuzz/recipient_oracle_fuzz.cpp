// The recipient counts against the rule written the slow, obvious way: the input is a
// comma-separated domain list, a newline, then a header value.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "delay/recipient_class.h"
#include "support/address_list.h"
#include "support/string_list.h"

namespace {

using Text = std::string;

bool Lead(const Text& s, size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool Trail(const Text& s, size_t i) {
    const unsigned char c = i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

size_t Len(const Text& s, size_t i) {
    return Lead(s, i) && Trail(s, i + 1) ? 2 : 1;
}

// A lead byte without its trail byte anywhere in the entry.
bool Broken(const Text& s) {
    for (size_t i = 0; i < s.size(); i += Len(s, i)) {
        if (Lead(s, i) && Len(s, i) == 1)
            return true;
    }
    return false;
}

bool Blank(char c) {
    return c >= 0x01 && c <= 0x20;
}

bool Separator(char c) {
    return Blank(c) || c == ',' || c == ';';
}

// i is just after '('; returns the index past ')', or npos when the comment stays open.
size_t CommentEnd(const Text& s, size_t i) {
    while (i < s.size()) {
        if (s[i] == ')')
            return i + 1;
        if (s[i] == '\\' && i + 1 < s.size())
            i += 1 + Len(s, i + 1);
        else
            i += Len(s, i);
    }
    return Text::npos;
}

size_t EntryEnd(const Text& s, size_t i) {
    bool quoted = false;
    while (i < s.size()) {
        const char c = s[i];
        if (quoted && c == '\\' && i + 1 < s.size()) {
            i += 1 + Len(s, i + 1);
        } else if (c == '"') {
            quoted = !quoted;
            ++i;
        } else if (c == '(' && !quoted) {
            i = CommentEnd(s, i + 1);
            if (i == Text::npos)
                return s.size();
        } else if ((c == ',' || c == ';') && !quoted) {
            return i;
        } else {
            i += Len(s, i);
        }
    }
    return s.size();
}

std::vector<Text> Entries(const Text& s) {
    std::vector<Text> entries;
    size_t i = 0;
    for (;;) {
        while (i < s.size() && Separator(s[i]))
            ++i;
        if (i < s.size() && s[i] == '(') {
            const size_t after = CommentEnd(s, i + 1);
            if (after != Text::npos)
                for (i = after; i < s.size() && Separator(s[i]);)
                    ++i;
        }
        if (i >= s.size())
            return entries;
        const size_t end = EntryEnd(s, i);
        Text entry = s.substr(i, end - i);
        while (entry.size() > 1 && Blank(entry.back()))
            entry.pop_back();
        entries.push_back(entry);
        if (end >= s.size())
            return entries;
        i = end + 1;
    }
}

// Comments dropped (they nest); false when a quote or comment stays open.
bool StripComments(const Text& s, Text* bare) {
    int depth = 0;
    bool quoted = false;
    for (size_t i = 0; i < s.size();) {
        size_t n = Len(s, i);
        if (s[i] == '\\' && (depth > 0 || quoted) && i + 1 < s.size())
            n = 1 + Len(s, i + 1);
        if (depth > 0) {
            depth += s[i] == '(' ? 1 : s[i] == ')' ? -1 : 0;
        } else if (!quoted && s[i] == '(') {
            depth = 1;
        } else {
            if (s[i] == '"')
                quoted = !quoted;
            bare->append(s, i, n);
        }
        i += n;
    }
    return depth == 0 && !quoted;
}

// Index of the first c outside quotes from i, or npos.
size_t FindOutside(const Text& s, char c, size_t i) {
    bool quoted = false;
    while (i < s.size()) {
        if (quoted && s[i] == '\\' && i + 1 < s.size()) {
            i += 1 + Len(s, i + 1);
            continue;
        }
        if (s[i] == '"')
            quoted = !quoted;
        else if (s[i] == c && !quoted)
            return i;
        i += Len(s, i);
    }
    return Text::npos;
}

Text Trim(Text s) {
    while (!s.empty() && Blank(s.back()))
        s.pop_back();
    size_t start = 0;
    while (start < s.size() && Blank(s[start]))
        ++start;
    return s.substr(start);
}

// The domain of the one plain address in the entry; false when there is none.
bool PlainDomain(const Text& entry, Text* domain) {
    Text bare;
    if (!StripComments(entry, &bare))
        return false;
    Text address = bare;
    const size_t open = FindOutside(bare, '<', 0);
    if (open != Text::npos) {
        const Text name = bare.substr(0, open);
        if (FindOutside(name, '@', 0) != Text::npos || FindOutside(name, '>', 0) != Text::npos)
            return false;
        const size_t close = FindOutside(bare, '>', open + 1);
        if (close == Text::npos || FindOutside(bare, '<', open + 1) != Text::npos)
            return false;
        if (!Trim(bare.substr(close + 1)).empty())
            return false;
        address = bare.substr(open + 1, close - open - 1);
    }
    if (address.size() >= static_cast<size_t>(kAddressPartSize))
        return false;
    address = Trim(address);
    size_t at = Text::npos;
    for (size_t i = 0; i < address.size(); i += Len(address, i)) {
        const unsigned char c = static_cast<unsigned char>(address[i]);
        if (c <= 0x20 || c == 0x7F || std::strchr("\"<>()\\,;", c) != nullptr)
            return false;
        if (c == 0x81 && i + 1 < address.size() && address[i + 1] == 0x40)
            return false;
        if (c == '@') {
            if (at != Text::npos)
                return false;
            at = i;
        }
    }
    if (at == Text::npos || at == 0 || at + 1 == address.size())
        return false;
    *domain = address.substr(at + 1);
    return true;
}

bool Inner(const Text& entry, const std::vector<Text>& domains) {
    Text domain;
    if (Broken(entry) || !PlainDomain(entry, &domain))
        return false;
    for (const Text& d : domains) {
        if (!d.empty() && domain.find(d) != Text::npos)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65535)
        return 0;
    Text input(reinterpret_cast<const char*>(data), size);
    input = input.c_str(); // up to the first NUL, as the header arrives
    const size_t newline = input.find('\n');
    const Text domainText = newline == Text::npos ? Text() : input.substr(0, newline);
    const Text value = newline == Text::npos ? input : input.substr(newline + 1);

    SStringList domainList;
    domainList.AppendCommaSeparated(domainText.c_str());
    std::vector<Text> domains;
    for (const SStringNode* node = domainList.first; node; node = node->next)
        domains.push_back(node->text);

    const std::vector<Text> expected = Entries(value);
    int wantInner = 0;
    for (const Text& entry : expected)
        wantInner += Inner(entry, domains) ? 1 : 0;

    std::vector<char> buffer(value.begin(), value.end());
    buffer.push_back('\0');
    int inner = 0;
    int outer = 0;
    SDomainMatcher matcher(&domainList);
    SStringList* list = ClassifyRecipients(buffer.data(), matcher, &inner, &outer);
    std::vector<Text> got;
    for (const SStringNode* node = list ? list->first : nullptr; node; node = node->next)
        got.push_back(node->text);
    delete list;
    if (got != expected)
        __builtin_trap();
    if (inner != wantInner || outer != static_cast<int>(expected.size()) - wantInner)
        __builtin_trap();
    return 0;
}
