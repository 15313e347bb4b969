#include "support/encoded_words.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "support/shift_jis.h"

namespace {

enum class ECharset { Iso2022Jp, ShiftJis, EucJp, Utf8, Ascii };

// Names as mail carries them, compared without case.
const struct {
    const char* name;
    ECharset charset;
} kCharsets[] = {
    {"iso-2022-jp", ECharset::Iso2022Jp},
    {"shift_jis", ECharset::ShiftJis},
    {"shift-jis", ECharset::ShiftJis},
    {"x-sjis", ECharset::ShiftJis},
    {"sjis", ECharset::ShiftJis},
    {"cp932", ECharset::ShiftJis},
    {"windows-31j", ECharset::ShiftJis},
    {"euc-jp", ECharset::EucJp},
    {"x-euc-jp", ECharset::EucJp},
    {"utf-8", ECharset::Utf8},
    {"utf8", ECharset::Utf8},
    {"us-ascii", ECharset::Ascii},
};
const size_t kMaxCharsetName = 40;

struct SWord {
    const char* begin; // "=?"
    const char* end;   // after "?="
    ECharset charset;
    std::string bytes; // the B or Q text decoded, still in its charset
};

bool IsFoldingBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool FindCharset(const char* name, size_t length, ECharset* charset) {
    // A language after '*' (RFC 2231) does not change the bytes.
    const char* star = static_cast<const char*>(memchr(name, '*', length));
    if (star)
        length = static_cast<size_t>(star - name);
    for (const auto& known : kCharsets) {
        if (strlen(known.name) != length)
            continue;
        size_t i = 0;
        while (i < length && Lower(name[i]) == known.name[i])
            ++i;
        if (i == length) {
            *charset = known.charset;
            return true;
        }
    }
    return false;
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}

bool FromBase64(const char* p, const char* end, std::string* bytes) {
    uint32_t bits = 0;
    int held = 0, padding = 0;
    for (; p < end; ++p) {
        if (*p == '=') {
            ++padding;
            continue;
        }
        const int value = Base64Value(*p);
        if (value < 0 || padding > 0)
            return false;
        bits = (bits << 6 | static_cast<uint32_t>(value)) & 0xFFFF;
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes->push_back(static_cast<char>(bits >> held & 0xFF));
        }
    }
    // Six bits left over are no byte: the text was cut.
    return padding <= 2 && held < 6;
}

int HexValue(char c) {
    c = Lower(c);
    if (c >= '0' && c <= '9')
        return c - '0';
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool FromQ(const char* p, const char* end, std::string* bytes) {
    for (; p < end; ++p) {
        if (*p == '_') {
            bytes->push_back(' ');
        } else if (*p != '=') {
            bytes->push_back(*p);
        } else {
            if (end - p < 3 || HexValue(p[1]) < 0 || HexValue(p[2]) < 0)
                return false;
            bytes->push_back(static_cast<char>(HexValue(p[1]) << 4 | HexValue(p[2])));
            p += 2;
        }
    }
    return true;
}

// An encoded word starting at p: charset and encoding known, its text whole and decodable.
bool ParseWord(const char* p, const char* end, SWord* word) {
    if (end - p < 2 || p[0] != '=' || p[1] != '?')
        return false;
    const char* name = p + 2;
    const char* q = name;
    while (q < end && *q != '?' && *q > ' ' && *q < 0x7F &&
           static_cast<size_t>(q - name) <= kMaxCharsetName)
        ++q;
    if (q == name || end - q < 3 || q[0] != '?' || q[2] != '?' ||
        !FindCharset(name, static_cast<size_t>(q - name), &word->charset))
        return false;
    const char encoding = Lower(q[1]);
    const char* text = q + 3;
    const char* close = text;
    while (close < end && *close != '?' && *close > ' ' && *close < 0x7F)
        ++close;
    if (end - close < 2 || close[0] != '?' || close[1] != '=')
        return false;
    word->begin = p;
    word->end = close + 2;
    word->bytes.clear();
    if (encoding == 'b')
        return FromBase64(text, close, &word->bytes);
    return encoding == 'q' && FromQ(text, close, &word->bytes);
}

void Append(std::string* out, uint16_t code) {
    if (code == 0) {
        out->push_back('?');
        return;
    }
    if (code > 0xFF)
        out->push_back(static_cast<char>(code >> 8));
    out->push_back(static_cast<char>(code & 0xFF));
}

bool IsJisByte(unsigned char c) {
    return c >= 0x21 && c <= 0x7E;
}

bool FromIso2022Jp(const std::string& bytes, std::string* out) {
    enum class EJisSet { Ascii, Kana, Kanji };
    EJisSet set = EJisSet::Ascii;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = p + bytes.size();
    while (p < end) {
        if (p[0] == 0x1B) {
            const std::string escape(reinterpret_cast<const char*>(p + 1),
                                     end - p > 2 ? 2 : static_cast<size_t>(end - p - 1));
            if (escape == "(B" || escape == "(J")
                set = EJisSet::Ascii;
            else if (escape == "(I")
                set = EJisSet::Kana;
            else if (escape == "$B" || escape == "$@")
                set = EJisSet::Kanji;
            else if (escape != "&@") // the revision announced before ESC $ B
                return false;
            p += 3;
        } else if (p[0] == 0 || p[0] >= 0x80) {
            return false;
        } else if (set == EJisSet::Kanji) {
            if (end - p < 2 || !IsJisByte(p[0]) || !IsJisByte(p[1]))
                return false;
            Append(out, ShiftJisOfKuten(p[0] - 0x20, p[1] - 0x20));
            p += 2;
        } else if (set == EJisSet::Kana && p[0] >= 0x21 && p[0] <= 0x5F) {
            out->push_back(static_cast<char>(p[0] + 0x80));
            ++p;
        } else {
            out->push_back(static_cast<char>(*p++));
        }
    }
    return true;
}

bool IsEucByte(unsigned char c) {
    return c >= 0xA1 && c <= 0xFE;
}

bool FromEucJp(const std::string& bytes, std::string* out) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = p + bytes.size();
    while (p < end) {
        if (p[0] == 0)
            return false;
        if (p[0] < 0x80) {
            out->push_back(static_cast<char>(*p++));
        } else if (p[0] == 0x8E) { // half-width katakana
            if (end - p < 2 || p[1] < 0xA1 || p[1] > 0xDF)
                return false;
            out->push_back(static_cast<char>(p[1]));
            p += 2;
        } else if (p[0] == 0x8F) { // JIS X 0212, which CP932 does not hold
            if (end - p < 3 || !IsEucByte(p[1]) || !IsEucByte(p[2]))
                return false;
            Append(out, 0);
            p += 3;
        } else {
            if (end - p < 2 || !IsEucByte(p[0]) || !IsEucByte(p[1]))
                return false;
            Append(out, ShiftJisOfKuten(p[0] - 0xA0, p[1] - 0xA0));
            p += 2;
        }
    }
    return true;
}

bool FromUtf8(const std::string& bytes, std::string* out) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = p + bytes.size();
    const uint32_t kByteOrderMark = 0xFEFF;
    while (p < end) {
        uint32_t code = 0;
        if (!NextUtf8(&p, end, &code) || code == 0)
            return false;
        if (code != kByteOrderMark)
            Append(out, Cp932OfUnicode(code));
    }
    return true;
}

bool FromBytes(const std::string& bytes, bool asciiOnly, std::string* out) {
    for (const char c : bytes) {
        if (c == 0 || (asciiOnly && static_cast<unsigned char>(c) >= 0x80))
            return false;
    }
    out->append(bytes);
    return true;
}

// Into CP932; false, and nothing kept, when the bytes are not of the charset.
bool Convert(ECharset charset, const std::string& bytes, std::string* out) {
    std::string converted;
    bool done = false;
    switch (charset) {
    case ECharset::Iso2022Jp:
        done = FromIso2022Jp(bytes, &converted);
        break;
    case ECharset::ShiftJis:
        done = FromBytes(bytes, false, &converted);
        break;
    case ECharset::EucJp:
        done = FromEucJp(bytes, &converted);
        break;
    case ECharset::Utf8:
        done = FromUtf8(bytes, &converted);
        break;
    case ECharset::Ascii:
        done = FromBytes(bytes, true, &converted);
        break;
    }
    if (done)
        out->append(converted);
    return done;
}

// Words with only blanks between them. Those of one charset side by side are converted as one;
// when that fails, each alone. The blanks between two decoded words go.
void DecodeWords(const std::vector<SWord>& words, std::string* out) {
    std::vector<bool> decoded(words.size(), false);
    std::vector<std::string> texts(words.size()); // a run's text is held by its first word
    for (size_t first = 0; first < words.size();) {
        const ECharset charset = words[first].charset;
        size_t last = first + 1;
        std::string bytes = words[first].bytes;
        while (last < words.size() && words[last].charset == charset)
            bytes += words[last++].bytes;
        if (Convert(charset, bytes, &texts[first])) {
            std::fill(decoded.begin() + first, decoded.begin() + last, true);
        } else {
            for (size_t i = first; i < last; ++i)
                decoded[i] = Convert(charset, words[i].bytes, &texts[i]);
        }
        first = last;
    }
    for (size_t i = 0; i < words.size(); ++i) {
        if (i > 0 && !(decoded[i - 1] && decoded[i]))
            out->append(words[i - 1].end, words[i].begin);
        if (decoded[i])
            out->append(texts[i]);
        else
            out->append(words[i].begin, words[i].end);
    }
}

} // namespace

std::string DecodeEncodedWords(const char* text, size_t maxBytes) {
    std::string out;
    if (!text)
        return out;
    const char* p = text;
    const char* end = text + strnlen(text, maxBytes);
    while (p < end) {
        SWord word;
        if (!ParseWord(p, end, &word)) {
            out.push_back(*p++);
            continue;
        }
        std::vector<SWord> words(1, word);
        for (;;) {
            const char* next = words.back().end;
            while (next < end && IsFoldingBlank(*next))
                ++next;
            if (!ParseWord(next, end, &word))
                break;
            words.push_back(word);
        }
        DecodeWords(words, &out);
        p = words.back().end;
    }
    return out;
}
