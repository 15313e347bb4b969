// Encoded words of a subject: any text decodes without fault, never grows and never loses a
// byte of what is not an encoded word; Japanese text written as ISO-2022-JP, EUC-JP or
// Shift_JIS, in B or Q, decodes back to itself; the keyword check takes any subject.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>

#include "confirm/outside_keywords.h"
#include "support/encoded_words.h"

namespace {

std::string Base64(const std::string& bytes) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
        uint32_t bits = 0;
        for (size_t k = 0; k < 3; ++k)
            bits = bits << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0);
        for (size_t k = 0; k < 4; ++k)
            out += k <= n ? kDigits[bits >> (18 - 6 * k) & 0x3F] : '=';
    }
    return out;
}

std::string Q(const std::string& bytes) {
    std::string out;
    for (const char c : bytes) {
        char hex[4];
        snprintf(hex, sizeof hex, "=%02X", static_cast<unsigned char>(c));
        out += (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ? std::string(1, c) : hex;
    }
    return out;
}

// Japanese text from the fuzzer's bytes, each character in CP932, ISO-2022-JP and EUC-JP.
struct SJapanese {
    std::string cp932, jis, euc;
};

SJapanese JapaneseOf(const uint8_t* data, size_t size) {
    enum class ESet { Ascii, Kana, Kanji };
    SJapanese text;
    ESet set = ESet::Ascii;
    const auto shift = [&](ESet to, const char* escape) {
        if (set != to)
            text.jis += escape;
        set = to;
    };
    for (size_t i = 0; i < size; ++i) {
        const uint8_t c = data[i];
        if (c >= 0x21 && c <= 0x7E) {
            shift(ESet::Ascii, "\x1B(B");
            text.cp932 += static_cast<char>(c);
            text.jis += static_cast<char>(c);
            text.euc += static_cast<char>(c);
        } else if (c >= 0xA1 && c <= 0xDF) {
            shift(ESet::Kana, "\x1B(I");
            text.cp932 += static_cast<char>(c);
            text.jis += static_cast<char>(c - 0x80);
            text.euc += "\x8E" + std::string(1, static_cast<char>(c));
        } else if (i + 1 < size) {
            // Any JIS row and cell: the formula into Shift-JIS, written out by hand here.
            const int ku = c % 94 + 1, ten = data[++i] % 94 + 1;
            const int lead = (ku + 1) / 2 + (ku <= 62 ? 0x80 : 0xC0);
            const int trail = ku % 2 ? ten + (ten <= 63 ? 0x3F : 0x40) : ten + 0x9E;
            shift(ESet::Kanji, "\x1B$B");
            text.cp932 += {static_cast<char>(lead), static_cast<char>(trail)};
            text.jis += {static_cast<char>(ku + 0x20), static_cast<char>(ten + 0x20)};
            text.euc += {static_cast<char>(ku + 0xA0), static_cast<char>(ten + 0xA0)};
        }
    }
    shift(ESet::Ascii, "\x1B(B");
    return text;
}

void Expect(bool holds) {
    if (!holds)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const size_t seen = strnlen(text.c_str(), size);
    for (const size_t bound : {size, size / 2}) {
        const size_t looked = std::min(seen, bound);
        const std::string decoded = DecodeEncodedWords(text.c_str(), bound);
        Expect(decoded.size() <= looked);
        Expect(decoded.find('\0') == std::string::npos);
        if (text.find("=?") == std::string::npos)
            Expect(decoded == text.substr(0, looked));
    }
    KeywordsInSubject(text.c_str(), "\xE7\xA4\xBE,secret,\x8E\xD0\x8A\x4F\x94\xE9, \x81\x40");

    const SJapanese japanese = JapaneseOf(data, size);
    const std::string words[] = {
        "=?ISO-2022-JP?B?" + Base64(japanese.jis) + "?=",
        "=?iso-2022-jp?Q?" + Q(japanese.jis) + "?=",
        "=?EUC-JP?B?" + Base64(japanese.euc) + "?=",
        "=?Shift_JIS?Q?" + Q(japanese.cp932) + "?=",
        // Split anywhere, the halves still make the one text.
        "=?Shift_JIS?B?" + Base64(japanese.cp932.substr(0, japanese.cp932.size() / 3)) +
            "?= \r\n =?Shift_JIS?B?" + Base64(japanese.cp932.substr(japanese.cp932.size() / 3)) +
            "?=",
    };
    for (const std::string& word : words)
        Expect(DecodeEncodedWords(word.c_str(), word.size()) == japanese.cp932);
    return 0;
}
