#include "support/int_parse.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(ParsePrefixedInt, BaseFromPrefix) {
    EXPECT_EQ(ParsePrefixedInt("010"), 8);
    EXPECT_EQ(ParsePrefixedInt("0x1E"), 30);
    EXPECT_EQ(ParsePrefixedInt("0X1e"), 30);
    EXPECT_EQ(ParsePrefixedInt("  -3"), -3);
    EXPECT_EQ(ParsePrefixedInt("+15min"), 15);
    EXPECT_EQ(ParsePrefixedInt("08"), 8);
    EXPECT_EQ(ParsePrefixedInt("09"), 9);
    EXPECT_EQ(ParsePrefixedInt("0109"), 109);
    EXPECT_EQ(ParsePrefixedInt("0107"), 71);
    EXPECT_EQ(ParsePrefixedInt("0x"), 0);
    EXPECT_EQ(ParsePrefixedInt("0xg"), 0);
    EXPECT_EQ(ParsePrefixedInt("-0x10"), -16);
}

TEST(ParsePrefixedInt, NoDigitsGiveZero) {
    for (const char* text : {"abc", "", "-", " +x", "on"})
        EXPECT_FALSE(StartsWithDigit(text)) << text;
    for (const char* text : {"0", " -7", "+0x1E", "5分"})
        EXPECT_TRUE(StartsWithDigit(text)) << text;
    EXPECT_EQ(ParsePrefixedInt("abc"), 0);
    EXPECT_EQ(ParsePrefixedInt(""), 0);
    EXPECT_EQ(ParsePrefixedInt("-"), 0);
    EXPECT_EQ(ParsePrefixedInt(nullptr), 0);
}

TEST(ParsePrefixedInt, SaturatesOnOverflow) {
    EXPECT_EQ(ParsePrefixedInt("2147483647"), INT32_MAX);
    EXPECT_EQ(ParsePrefixedInt("2147483648"), INT32_MAX);
    EXPECT_EQ(ParsePrefixedInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParsePrefixedInt("-99999999999999999999"), INT32_MIN);
    EXPECT_EQ(ParsePrefixedInt("0xFFFFFFFFFF"), INT32_MAX);
    EXPECT_EQ(ParsePrefixedInt("077777777777"), INT32_MAX);
}

TEST(ParseDecimalInt, DecimalOnly) {
    EXPECT_EQ(ParseDecimalInt("135"), 135);
    EXPECT_EQ(ParseDecimalInt(" 164px"), 164);
    EXPECT_EQ(ParseDecimalInt("010"), 10);
    EXPECT_EQ(ParseDecimalInt("0x10"), 0);
    EXPECT_EQ(ParseDecimalInt("-7"), -7);
    EXPECT_EQ(ParseDecimalInt("wide"), 0);
    EXPECT_EQ(ParseDecimalInt("99999999999"), INT32_MAX);
    EXPECT_EQ(ParseDecimalInt("-99999999999"), INT32_MIN);
}

TEST(ParseEnteredInt, FullWidthCountsAsTheDigitsItShows) {
    struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"\x82\x50\x82\x4F", 10},                 // １０
        {"\x81\x7C\x82\x52", -3},                 // －３
        {"\x81\x40\x82\x58\x82\x58\x95\xAA", 99}, // 　９９分
        {"1\x82\x4F\x35", 105},                   // 1０5
        {"15\x95\xAA", 15},
        {"\x82\x60", 0}, // Ａ is no digit
        {"\x82", 0},     // a lead byte alone
        {"\x82\x58\x82\x58\x82\x58\x82\x58\x82\x58\x82\x58\x82\x58\x82\x58\x82\x58\x82\x58",
         INT32_MAX},
        {nullptr, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseEnteredInt(c.text), c.value) << (c.text ? c.text : "null");
}

// What a setup field may hold: a typo that would read as 0 or as a negative time is refused.
TEST(ParseEnteredMinutes, TakesDigitsAndRefusesEmptyNegativeAndWords) {
    struct {
        const char* text;
        bool taken;
        int32_t minutes;
    } cases[] = {
        {"0", true, 0},
        {"\x82\x50\x82\x4F", true, 10}, // １０
        {"5\x95\xAA", true, 5},         // 5分
        {"\x81\x40+\x82\x52", true, 3}, // 　+３
        {"", false, 0},
        {"-3", false, 0},
        {"\x81\x7C\x82\x4F", false, 0}, // －０
        {"\x8C\xDC", false, 0},         // 五
        {"+", false, 0},
    };
    for (const auto& c : cases) {
        int32_t minutes = -99;
        EXPECT_EQ(c.taken, ParseEnteredMinutes(c.text, &minutes)) << (c.text ? c.text : "null");
        EXPECT_EQ(c.taken ? c.minutes : -99, minutes) << (c.text ? c.text : "null");
    }
}

} // namespace
