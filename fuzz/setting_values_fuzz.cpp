// The settings value readers against plain references: the integer parsers (full-width digits
// included, a leading 0 with an 8 or a 9 decimal) and the comma lists behind InnerDomains and
// DelayListColumns.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "delay/recipient_class.h"
#include "fuzz/list_model.h"
#include "support/int_parse.h"
#include "support/string_list.h"

namespace {

int32_t Clamp(long long value) {
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t ReferenceInt(const std::string& text, int base) {
    errno = 0;
    return Clamp(std::strtoll(text.c_str(), nullptr, base));
}

// strtol's base 0, except that a leading 0 whose digits hold an 8 or a 9 is decimal ("09" is 9).
int32_t ReferencePrefixedInt(const std::string& text) {
    size_t at = text.find_first_not_of(" \t\n\v\f\r");
    if (at != std::string::npos && (text[at] == '+' || text[at] == '-'))
        ++at;
    if (at == std::string::npos || text[at] != '0')
        return ReferenceInt(text, 0);
    const size_t end = text.find_first_not_of("0123456789", at);
    const std::string digits = text.substr(at, end == std::string::npos ? end : end - at);
    const bool decimal = digits.find_first_of("89") != std::string::npos;
    return ReferenceInt(text, decimal ? 10 : 0);
}

// Full-width digits, signs and blanks spelled out as ASCII, up to the first other
// double-byte character.
std::string HalfWidthText(const std::string& text) {
    std::string half;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead || i + 1 == text.size()) {
            half += text[i];
            continue;
        }
        const unsigned char t = static_cast<unsigned char>(text[++i]);
        if (c == 0x82 && t >= 0x4F && t <= 0x58)
            half += static_cast<char>('0' + t - 0x4F);
        else if (c == 0x81 && (t == 0x7C || t == 0x7B || t == 0x40))
            half += t == 0x7C ? '-' : t == 0x7B ? '+' : ' ';
        else
            break;
    }
    return half;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = std::string(reinterpret_cast<const char*>(data), size).c_str();
    if (ParsePrefixedInt(text.c_str()) != ReferencePrefixedInt(text))
        __builtin_trap();
    if (ParseDecimalInt(text.c_str()) != ReferenceInt(text, 10))
        __builtin_trap();
    if (ParseEnteredInt(text.c_str()) != ReferenceInt(HalfWidthText(text), 10))
        __builtin_trap();

    // DelayListColumns: one width per non-empty field; InnerDomains: each field makes an
    // address in it inner.
    SStringList list;
    list.AppendCommaSeparated(text.c_str());
    const std::vector<std::string> fields = ModelFields(text);
    size_t index = 0;
    SDomainMatcher matcher(&list);
    for (const SStringNode* node = list.first; node; node = node->next, ++index) {
        if (index >= fields.size() || fields[index] != node->text)
            __builtin_trap();
        if (ParseDecimalInt(node->text) != ReferenceInt(fields[index], 10))
            __builtin_trap();
        if (!matcher.IsInnerDomain(node->text))
            __builtin_trap();
    }
    if (index != fields.size())
        __builtin_trap();
    return 0;
}
