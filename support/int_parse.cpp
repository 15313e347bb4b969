#include "support/int_parse.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

// Reads digits of the base from p; the magnitude saturates just above the
// largest one a 32-bit result can take.
int32_t ReadDigits(const char* p, int base, bool negative) {
    const uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    uint32_t value = 0;
    for (int d; (d = DigitValue(*p)) < base; ++p) {
        if (value > (limit - d) / base) {
            value = limit;
            break;
        }
        value = value * base + d;
    }
    if (!negative)
        return static_cast<int32_t>(value);
    return value == 0x80000000u ? INT32_MIN : -static_cast<int32_t>(value);
}

const char* SkipSign(const char* p, bool* negative) {
    while (IsSpace(*p))
        ++p;
    *negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    return p;
}

} // namespace

int32_t ParsePrefixedInt(const char* text) {
    if (text == nullptr)
        return 0;
    bool negative = false;
    const char* p = SkipSign(text, &negative);
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16)
        return ReadDigits(p + 2, 16, negative);
    if (p[0] == '0')
        return ReadDigits(p, 8, negative);
    return ReadDigits(p, 10, negative);
}

int32_t ParseDecimalInt(const char* text) {
    if (text == nullptr)
        return 0;
    bool negative = false;
    const char* p = SkipSign(text, &negative);
    return ReadDigits(p, 10, negative);
}
