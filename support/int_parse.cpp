#include "support/int_parse.h"

#include <string>

#include "support/mbcs.h"

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

// An 8 or a 9 in the run of digits.
bool HasDecimalOnlyDigit(const char* p) {
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (*p >= '8')
            return true;
    }
    return false;
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
    // "09" is a typed nine, not an octal zero that would switch a guard off.
    if (p[0] == '0' && !HasDecimalOnlyDigit(p))
        return ReadDigits(p, 8, negative);
    return ReadDigits(p, 10, negative);
}

bool StartsWithDigit(const char* text) {
    if (text == nullptr)
        return false;
    bool negative = false;
    const char* p = SkipSign(text, &negative);
    return *p >= '0' && *p <= '9';
}

int32_t ParseDecimalInt(const char* text) {
    if (text == nullptr)
        return 0;
    bool negative = false;
    const char* p = SkipSign(text, &negative);
    return ReadDigits(p, 10, negative);
}

namespace {

// The ASCII a full-width (code page 932) digit, sign or blank stands for; 0 for anything else.
char HalfWidth(unsigned char lead, unsigned char trail) {
    if (lead == 0x82 && trail >= 0x4F && trail <= 0x58)
        return static_cast<char>('0' + (trail - 0x4F));
    if (lead == 0x81 && trail == 0x7C)
        return '-';
    if (lead == 0x81 && trail == 0x7B)
        return '+';
    if (lead == 0x81 && trail == 0x40)
        return ' ';
    return '\0';
}

// The text with full-width digits, signs and blanks made ASCII, up to the first other
// double-byte character.
std::string HalfWidthText(const char* text) {
    std::string half;
    for (const char* p = text; *p != '\0'; p += CharLength(p)) {
        if (CharLength(p) == 1) {
            half += *p;
            continue;
        }
        const char c =
            HalfWidth(static_cast<unsigned char>(p[0]), static_cast<unsigned char>(p[1]));
        if (c == '\0')
            break; // the number ends at any other character
        half += c;
    }
    return half;
}

} // namespace

int32_t ParseEnteredInt(const char* text) {
    if (text == nullptr)
        return 0;
    return ParseDecimalInt(HalfWidthText(text).c_str());
}

bool ParseEnteredMinutes(const char* text, int32_t* minutes) {
    if (text == nullptr)
        return false;
    const std::string half = HalfWidthText(text);
    const char* p = half.c_str();
    while (IsSpace(*p))
        ++p;
    if (*p == '+')
        ++p;
    // A minus sign, or no digit at all, is a typo that would switch holding off.
    if (*p < '0' || *p > '9')
        return false;
    *minutes = ParseDecimalInt(half.c_str());
    return true;
}
