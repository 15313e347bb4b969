// Encoded words of a subject into the Japanese code page, with our own tables.
#include "support/encoded_words.h"
#include "support/shift_jis.h"

#include <gtest/gtest.h>

namespace {

// 社外秘 in CP932
#define SHAGAIHI "\x8E\xD0\x8A\x4F\x94\xE9"

TEST(EncodedWords, DecodeIntoTheJapaneseCodePageOrStayAsWritten) {
    struct {
        const char* text;
        const char* shown;
    } const cases[] = {
        // 【社外秘】
        {"=?ISO-2022-JP?B?GyRCIVo8UjMwSGshWxsoQg==?=", "\x81\x79" SHAGAIHI "\x81\x7A"},
        {"=?iso-2022-jp?q?=1B$B<R30Hk=1B(B?=", SHAGAIHI},
        {"=?Shift_JIS?B?jtCKT5Tp?=", SHAGAIHI},
        // ｶ at the end: a half-width katakana
        {"=?EUC-JP?B?vNKzsMjrjrY=?=", SHAGAIHI "\xB6"},
        {"=?ISO-2022-JP?B?GyhJPCwbKEI=?=", "\xBC\xAC"}, // ｼｬ after ESC ( I
        // A character split between two words; the folding between them goes.
        {"=?UTF-8?B?56S+5Q==?=\r\n =?UTF-8?B?pJbnp5g=?=", SHAGAIHI},
        {"=?UTF-8?B?56S+5Q==?==?UTF-8?B?pJbnp5g=?=", SHAGAIHI},
        {"=?utf-8*ja?Q?=E7=A4=BE_=E5=A4=96?=", "\x8E\xD0 \x8A\x4F"},
        // Blanks next to plain text stay; two charsets side by side each decode.
        {"Re: =?UTF-8?B?56S+?= =?Shift_JIS?B?ik+U6Q==?= x", "Re: " SHAGAIHI " x"},
        // ① ⅰ 〜 as Windows converts them, and a character CP932 lacks.
        {"=?UTF-8?B?4pGg4oWw44Cc8J+YgA==?=", "\x87\x40\xFA\x40\x81\x60?"},
        // Not decodable: unknown charset, broken Base64 or Q, unclosed, a NUL, an escape
        // ISO-2022-JP lacks, bytes not UTF-8.
        {"=?KOI8-R?B?1MXT1A==?=", "=?KOI8-R?B?1MXT1A==?="},
        {"=?Shift_JIS?B?jtCKT?=", "=?Shift_JIS?B?jtCKT?="},
        {"=?UTF-8?B?5*S+?=", "=?UTF-8?B?5*S+?="},
        {"=?UTF-8?Q?=E7=A4=B?=", "=?UTF-8?Q?=E7=A4=B?="},
        {"=?UTF-8?B?56S+", "=?UTF-8?B?56S+"},
        {"=?UTF-8?Q?a=00b?=", "=?UTF-8?Q?a=00b?="},
        {"=?ISO-2022-JP?B?GyRBPFI=?=", "=?ISO-2022-JP?B?GyRBPFI=?="},
        // A surrogate, an overlong form, beyond U+10FFFF
        {"=?UTF-8?B?7aCA?= =?UTF-8?B?4IGB?= =?UTF-8?B?9JCAgA==?=",
         "=?UTF-8?B?7aCA?= =?UTF-8?B?4IGB?= =?UTF-8?B?9JCAgA==?="},
        {"=?X?B?56S+?= =??B?56S+?= =?UTF-8?X?56S+?=", "=?X?B?56S+?= =??B?56S+?= =?UTF-8?X?56S+?="},
        // A word that stays keeps the blank before the next, which decodes.
        {"=?UTF-8?B?/w==?= =?UTF-8?B?56S+?=", "=?UTF-8?B?/w==?= \x8E\xD0"},
        {"", ""},
        {"=?", "=?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, DecodeEncodedWords(c.text, 4096)) << c.text;
    EXPECT_EQ("", DecodeEncodedWords(nullptr, 10));
    // A word cut by the bound stays as written.
    EXPECT_EQ("=?UTF-8?B?56S+", DecodeEncodedWords("=?UTF-8?B?56S+?=", 14));
}

TEST(EncodedWords, RowsAndTheTableAtTheirEnds) {
    EXPECT_EQ(0x8140, ShiftJisOfKuten(1, 1));
    EXPECT_EQ(0x817E, ShiftJisOfKuten(1, 63));
    EXPECT_EQ(0x8180, ShiftJisOfKuten(1, 64));
    EXPECT_EQ(0x81FC, ShiftJisOfKuten(2, 94));
    EXPECT_EQ(0x9FFC, ShiftJisOfKuten(62, 94));
    EXPECT_EQ(0xE040, ShiftJisOfKuten(63, 1));
    EXPECT_EQ(0xFCFC, ShiftJisOfKuten(120, 94));
    EXPECT_EQ(0, ShiftJisOfKuten(0, 1));
    EXPECT_EQ(0, ShiftJisOfKuten(121, 1));
    EXPECT_EQ(0, ShiftJisOfKuten(1, 0));
    EXPECT_EQ(0, ShiftJisOfKuten(1, 95));

    const struct {
        uint32_t unicode;
        uint16_t code;
    } codes[] = {
        {0x7F, 0x7F},     {0x80, 0},        {0xFF61, 0xA1},   {0xFF9F, 0xDF},
        {0x3000, 0x8140}, {0x4E9C, 0x889F}, {0x9ED1, 0xFC4B}, // the first and last kanji rows
        {0x2235, 0x81E6}, {0x2160, 0x8754}, {0x2170, 0xFA40}, {0x7E8A, 0xFA5C}, // held twice
        {0xE000, 0},      {0xFFFF, 0},      {0x10000, 0},
    };
    for (const auto& c : codes)
        EXPECT_EQ(c.code, Cp932OfUnicode(c.unicode)) << std::hex << c.unicode;
}

} // namespace
