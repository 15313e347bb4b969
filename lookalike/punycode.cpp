#include "lookalike/punycode.h"

#include <cstddef>
#include <cstdint>

namespace {

const uint32_t kBase = 36;
const uint32_t kTMin = 1;
const uint32_t kTMax = 26;
const uint32_t kSkew = 38;
const uint32_t kDamp = 700;
const uint32_t kInitialBias = 72;
const uint32_t kInitialN = 128;
const size_t kMaxLabelCodePoints = 63;

int DigitOf(char c) {
    if (c >= '0' && c <= '9')
        return c - '0' + 26;
    if (c >= 'a' && c <= 'z')
        return c - 'a';
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    return -1;
}

uint32_t Adapt(uint32_t delta, uint32_t points, bool first) {
    delta = first ? delta / kDamp : delta / 2;
    delta += delta / points;
    uint32_t k = 0;
    while (delta > ((kBase - kTMin) * kTMax) / 2) {
        delta /= kBase - kTMin;
        k += kBase;
    }
    return k + (kBase - kTMin + 1) * delta / (delta + kSkew);
}

} // namespace

bool DecodePunycode(const std::string& encoded, std::u32string* decoded) {
    decoded->clear();
    const size_t delimiter = encoded.rfind('-');
    size_t in = 0;
    if (delimiter != std::string::npos) {
        if (delimiter > kMaxLabelCodePoints)
            return false;
        for (size_t i = 0; i < delimiter; ++i) {
            const unsigned char c = static_cast<unsigned char>(encoded[i]);
            if (c >= 0x80)
                return false;
            decoded->push_back(c);
        }
        in = delimiter + 1;
    }
    uint32_t n = kInitialN;
    uint32_t bias = kInitialBias;
    uint64_t i = 0;
    while (in < encoded.size()) {
        const uint64_t oldI = i;
        uint64_t w = 1;
        for (uint32_t k = kBase;; k += kBase) {
            if (in >= encoded.size())
                return false;
            const int digit = DigitOf(encoded[in++]);
            if (digit < 0)
                return false;
            i += static_cast<uint64_t>(digit) * w;
            // Far beyond any real label: stop before the arithmetic can overflow.
            if (i > 0x7FFFFFFF)
                return false;
            const uint32_t t = k <= bias ? kTMin : k >= bias + kTMax ? kTMax : k - bias;
            if (static_cast<uint32_t>(digit) < t)
                break;
            w *= kBase - t;
            if (w > 0x7FFFFFFF)
                return false;
        }
        const uint32_t points = static_cast<uint32_t>(decoded->size()) + 1;
        bias = Adapt(static_cast<uint32_t>(i - oldI), points, oldI == 0);
        const uint64_t next = n + i / points;
        if (next > 0x10FFFF)
            return false;
        n = static_cast<uint32_t>(next);
        i %= points;
        if (decoded->size() >= kMaxLabelCodePoints)
            return false;
        decoded->insert(decoded->begin() + static_cast<std::ptrdiff_t>(i),
                        static_cast<char32_t>(n));
        ++i;
    }
    return !decoded->empty();
}

std::string Utf8Of(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
