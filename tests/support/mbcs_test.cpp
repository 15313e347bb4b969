#include "support/mbcs.h"

#include <gtest/gtest.h>

namespace {

// Natively the table; under Wine with the Japanese code page the runtime.
TEST(IsLeadByte, ShiftJisRanges) {
    for (int c = 0; c < 256; ++c) {
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(c)), lead) << c;
        EXPECT_EQ(IsShiftJisLeadByte(static_cast<unsigned char>(c)), lead) << c;
    }
}

TEST(CopyMbcs, NeverSplitsADoubleByteCharacter) {
    char out[4];
    EXPECT_EQ(CopyMbcs(out, sizeof out, "ab\x95\x5C"), 2u);
    EXPECT_STREQ(out, "ab");
    EXPECT_EQ(CopyMbcs(out, sizeof out,
                       "a\x95\x5C"
                       "b"),
              3u);
    EXPECT_STREQ(out, "a\x95\x5C");
    // A lead byte at the very end is copied as a byte of its own.
    EXPECT_EQ(CopyMbcs(out, sizeof out, "a\x81"), 2u);
    EXPECT_STREQ(out, "a\x81");
    EXPECT_EQ(CopyMbcs(out, sizeof out, nullptr), 0u);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(CopyMbcs(out, 0, "abc"), 0u);
}

TEST(CopyMbcsN, CopiesTheRegionOnlyTheSizeCutsCharacters) {
    char out[16];
    EXPECT_EQ(CopyMbcsN(out, sizeof out,
                        "ab\x95\x5C"
                        "cd",
                        3),
              3u);
    EXPECT_STREQ(out, "ab\x95");
    char small[4];
    EXPECT_EQ(CopyMbcsN(small, sizeof small,
                        "ab\x95\x5C"
                        "cd",
                        5),
              2u);
    EXPECT_STREQ(small, "ab");
    EXPECT_EQ(CopyMbcsN(out, sizeof out,
                        "ab\x95\x5C"
                        "cd",
                        4),
              4u);
    EXPECT_STREQ(out, "ab\x95\x5C");
}

TEST(IsCharBoundary, FollowsCharactersFromTheStart) {
    const char* text = "a\x95\x5C\\";
    EXPECT_TRUE(IsCharBoundary(text, 0));
    EXPECT_TRUE(IsCharBoundary(text, 1));
    EXPECT_FALSE(IsCharBoundary(text, 2));
    EXPECT_TRUE(IsCharBoundary(text, 3));
    EXPECT_TRUE(IsCharBoundary(text, 4));
    EXPECT_FALSE(IsCharBoundary(text, 5));
}

} // namespace
