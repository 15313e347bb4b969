#include "confirm/outside_keywords.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "support/encoded_words.h"
#include "support/mbcs.h"
#include "support/string_list.h"

namespace {

// Half-width katakana and signs 0xA1..0xDF as their full-width characters.
const uint16_t kFullWidthKana[] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A,
    0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360,
    0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374,
    0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B};
const unsigned char kVoicedMark = 0xDE;     // ﾞ
const unsigned char kSemiVoicedMark = 0xDF; // ﾟ

// A half-width kana with the mark after it, as the one full-width character it stands for.
uint32_t Voiced(unsigned char kana, unsigned char mark) {
    if (mark == kVoicedMark) {
        if (kana == 0xB3)
            return 0x8394; // ｳﾞ: ヴ
        if ((kana >= 0xB6 && kana <= 0xC4) || (kana >= 0xCA && kana <= 0xCE))
            return kFullWidthKana[kana - 0xA1] + 1u;
    }
    if (mark == kSemiVoicedMark && kana >= 0xCA && kana <= 0xCE)
        return kFullWidthKana[kana - 0xA1] + 2u;
    return 0;
}

const uint32_t kFullWidthSpace = 0x8140;
const uint32_t kFirstHiragana = 0x829F; // ぁ
const uint32_t kLastHiragana = 0x82F1;  // ん
const uint32_t kFirstKatakana = 0x8340; // ァ
const uint32_t kNoTrail = 0x837F;       // the katakana skip this code: 0x7F is never a trail

bool IsBlank(uint32_t code) {
    return code == ' ' || code == '\t' || code == '\r' || code == '\n' || code == kFullWidthSpace;
}

// The katakana of a hiragana: the same order, from ァ on.
uint32_t Katakana(uint32_t hiragana) {
    const uint32_t code = kFirstKatakana + (hiragana - kFirstHiragana);
    return code >= kNoTrail ? code + 1 : code;
}

// Full-width letters and digits as ASCII, hiragana as katakana.
uint32_t FoldDoubleByte(uint32_t code) {
    if (code >= kFirstHiragana && code <= kLastHiragana)
        return Katakana(code);
    if (code >= 0x8260 && code <= 0x8279)
        return 'a' + (code - 0x8260);
    if (code >= 0x8281 && code <= 0x829A)
        return 'a' + (code - 0x8281);
    if (code >= 0x824F && code <= 0x8258)
        return '0' + (code - 0x824F);
    return code;
}

// One code per character, blanks dropped; a lead byte of no whole character stands alone so
// that it never joins its neighbour.
std::vector<uint32_t> Fold(const char* text, size_t limit) {
    std::vector<uint32_t> codes;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : "");
    const unsigned char* end = p + strnlen(reinterpret_cast<const char*>(p), limit);
    while (p < end) {
        const unsigned char c = p[0];
        if (c >= 'A' && c <= 'Z') {
            codes.push_back(c - 'A' + 'a');
            ++p;
        } else if (c >= 0xA1 && c <= 0xDF) {
            const uint32_t voiced = p + 1 < end ? Voiced(c, p[1]) : 0;
            codes.push_back(voiced ? voiced : kFullWidthKana[c - 0xA1]);
            p += voiced ? 2 : 1;
        } else if (p + 1 < end && IsShiftJisLeadByte(c) && IsTrailByte(p[1])) {
            const uint32_t code = (static_cast<uint32_t>(c) << 8) | p[1];
            if (!IsBlank(code))
                codes.push_back(FoldDoubleByte(code));
            p += 2;
        } else {
            if (!IsBlank(c))
                codes.push_back(c >= 0x80 ? 0x10000u | c : c);
            ++p;
        }
    }
    return codes;
}

bool Holds(const std::vector<uint32_t>& text, const std::vector<uint32_t>& word) {
    return std::search(text.begin(), text.end(), word.begin(), word.end()) != text.end();
}

} // namespace

std::vector<std::string> KeywordsInSubject(const char* subject, const char* list) {
    std::vector<std::string> found;
    if (!list || !*list || !subject || !*subject)
        return found;
    const std::vector<uint32_t> raw = Fold(subject, kKeywordSubjectBytes);
    const std::string decodedText = DecodeEncodedWords(subject, kKeywordSubjectBytes);
    const std::vector<uint32_t> decoded = Fold(decodedText.c_str(), decodedText.size());
    for (const std::string& written : SplitList(list)) {
        const std::vector<uint32_t> word = Fold(written.c_str(), written.size());
        if (word.empty() || !(Holds(raw, word) || Holds(decoded, word)))
            continue;
        if (std::find(found.begin(), found.end(), written) == found.end())
            found.push_back(written);
    }
    return found;
}
