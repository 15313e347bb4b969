#include "support/base64url.h"

#include <cstdint>

#include "support/path_utils.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c) {
    for (int i = 0; i < 64; ++i) {
        if (kAlphabet[i] == c)
            return i;
    }
    return -1;
}

std::string EncodeBase64(const std::string& bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
        uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < count ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (size_t k = 0; k < 4; ++k)
            text += k <= count ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return text;
}

bool DecodeBase64(const std::string& text, std::string* bytes) {
    if (text.size() % 4 != 0)
        return false;
    size_t end = text.size();
    for (int pad = 0; pad < 2 && end > 0 && text[end - 1] == '='; ++pad)
        --end;
    if (end % 4 == 1)
        return false;
    std::string decoded;
    uint32_t bits = 0;
    int bitCount = 0;
    for (size_t i = 0; i < end; ++i) {
        const int sextet = SextetOf(text[i]);
        if (sextet < 0)
            return false;
        bits = (bits << 6) | static_cast<uint32_t>(sextet);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            decoded += static_cast<char>((bits >> bitCount) & 0xFF);
        }
    }
    *bytes = decoded;
    return true;
}

} // namespace

std::string EncodeBase64Url(const std::string& bytes) {
    std::string text = EncodeBase64(bytes);
    text = ReplaceAll(text, "+", "-");
    text = ReplaceAll(text, "/", "_");
    return ReplaceAll(text, "=", "");
}

bool DecodeBase64Url(const std::string& text, std::string* bytes) {
    std::string padded = ReplaceAll(ReplaceAll(text, "_", "/"), "-", "+");
    while (padded.size() % 4 != 0)
        padded += '=';
    std::string decoded;
    // The round trip turns away '+', '/', '=' and non-zero low bits, which plain decoding accepts.
    if (!DecodeBase64(padded, &decoded) || EncodeBase64Url(decoded) != text)
        return false;
    *bytes = decoded;
    return true;
}
