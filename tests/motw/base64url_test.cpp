#include "support/base64url.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

bool IsFileNameSafe(const std::string& text) {
    for (const char c : text) {
        const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!safe)
            return false;
    }
    return true;
}

std::string Decoded(const std::string& text) {
    std::string bytes = "<untouched>";
    EXPECT_TRUE(DecodeBase64Url(text, &bytes)) << text;
    return bytes;
}

TEST(Base64Url, KnownValues) {
    EXPECT_EQ(EncodeBase64Url(""), "");
    EXPECT_EQ(EncodeBase64Url("f"), "Zg");
    EXPECT_EQ(EncodeBase64Url("fo"), "Zm8");
    EXPECT_EQ(EncodeBase64Url("foo"), "Zm9v");
    EXPECT_EQ(EncodeBase64Url("foobar"), "Zm9vYmFy");
    EXPECT_EQ(EncodeBase64Url("plain.txt"), "cGxhaW4udHh0");
    // Standard Base64 gives "+/+/" here.
    EXPECT_EQ(EncodeBase64Url("\xfb\xff\xbf"), "-_-_");
    EXPECT_EQ(Decoded("-_-_"), "\xfb\xff\xbf");
    EXPECT_EQ(Decoded(""), "");
}

TEST(Base64Url, EveryByteAloneBecomesTwoCharactersAndComesBack) {
    for (int value = 0; value < 256; ++value) {
        const std::string byte(1, static_cast<char>(value));
        const std::string encoded = EncodeBase64Url(byte);
        EXPECT_EQ(encoded.size(), 2u) << value;
        EXPECT_TRUE(IsFileNameSafe(encoded)) << value;
        EXPECT_EQ(Decoded(encoded), byte) << value;
    }
}

TEST(Base64Url, ShiftJisNames) {
    // "資料 [1].txt" and "表示ソ.txt" in code page 932; 表 and ソ end in the backslash byte.
    const std::string names[] = {"\x8e\x91\x97\xbf [1].txt", "\x95\x5c\x8e\xa6\x83\x5c.txt"};
    EXPECT_EQ(EncodeBase64Url(names[0]), "jpGXvyBbMV0udHh0");
    for (const std::string& name : names) {
        const std::string encoded = EncodeBase64Url(name);
        EXPECT_TRUE(IsFileNameSafe(encoded)) << encoded;
        EXPECT_EQ(Decoded(encoded), name);
    }
}

TEST(Base64Url, RandomBytesOfEveryLengthRoundTrip) {
    uint32_t state = 12345;
    for (size_t length = 0; length < 400; ++length) {
        std::string bytes;
        for (size_t i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            bytes += static_cast<char>(state >> 24);
        }
        const std::string encoded = EncodeBase64Url(bytes);
        ASSERT_EQ(encoded.size(), (length * 4 + 2) / 3) << length;
        ASSERT_TRUE(IsFileNameSafe(encoded)) << encoded;
        ASSERT_EQ(Decoded(encoded), bytes) << length;
    }
}

TEST(Base64Url, DecodingRefusesWhatEncodingNeverMakes) {
    const char* refused[] = {"A",     "Zm9vY", "Zg==", "Zg=", "Zm+v", "Zm/v",
                             "Zm9v.", "Zm 9",  "Zh",   "Zm9", "Zm8\n"};
    for (const char* text : refused) {
        std::string bytes = "<untouched>";
        EXPECT_FALSE(DecodeBase64Url(text, &bytes)) << text;
        EXPECT_EQ(bytes, "<untouched>") << text;
    }
}

} // namespace
