#include "lookalike/lookalike_index.h"

#include <gtest/gtest.h>

#include <string>

#include "lookalike/public_suffix.h"
#include "lookalike/punycode.h"
#include "lookalike/slip_rules.h"

namespace {

// Two inner domains and a history with names of every length the rules tell apart.
SLookalikeIndex Known() {
    SLookalikeIndex index;
    index.Add("example.co.jp", kKnownInner);
    index.Add("Velmora.jp", kKnownInner);
    for (const char* domain :
         {"partner-trading.com", "client.ne.jp", "mitsuboshi-shoji.co.jp", "modern.co.jp", "ey.com",
          "tks.co.jp", "tv9.co.jp", "smbc.co.jp", "kawasaki.co.jp", "tokyo-sangyo.co.jp",
          "osaka-kikai.co.jp", "newway.co.jp", "icloud.com", "zaq.ne.jp", "example-u.ac.jp",
          "npo-sakura.or.jp"})
        index.Add(domain, kKnownHistory);
    index.Seal();
    return index;
}

TEST(Lookalike, MarksDomainsThatResembleAKnownOne) {
    const SLookalikeIndex index = Known();
    struct {
        const char* domain;
        int kind;
        const char* resembles;
    } const cases[] = {
        {"exarnple.co.jp", kLookVisual, "example.co.jp"},
        {"examp1e.co.jp", kLookVisual, "example.co.jp"},
        {"example-co.jp", kLookVisual, "example.co.jp"},
        {"modem.co.jp", kLookVisual, "modern.co.jp"},
        {"nevvway.co.jp", kLookVisual, "newway.co.jp"},
        {"ic1oud.com", kLookVisual, "icloud.com"}, // 1 for l, then cl for d
        {"lcloud.com", kLookVisual, "icloud.com"},
        {"exanple.co.jp", kLookSlip, "example.co.jp"},
        {"exmaple.co.jp", kLookSlip, "example.co.jp"},
        {"examplee.co.jp", kLookSlip, "example.co.jp"},
        {"EXAMPL.CO.JP", kLookSlip, "example.co.jp"},
        {"partner-tradign.com", kLookSlip, "partner-trading.com"},
        {"partnr-tradin.com", kLookSlip, "partner-trading.com"},
        {"mitsubosi-shoj.co.jp", kLookSlip, "mitsuboshi-shoji.co.jp"},
        {"tokio-sangio.co.jp", kLookSlip, "tokyo-sangyo.co.jp"}, // two edits from 12 letters
        {"osaka-kikia.co.jp", kLookSlip, "osaka-kikai.co.jp"},
        {"osaka-kiki.co.jp", kLookSlip, "osaka-kikai.co.jp"},
        {"kawapaki.co.jp", kLookSlip, "kawasaki.co.jp"}, // any letter from 8
        {"kawasakqi.co.jp", kLookSlip, "kawasaki.co.jp"},
        // Short names: a key beside in the row from 3 letters, one above or below, a dropped
        // letter and a swap from 4, a doubled letter always.
        {"tjs.co.jp", kLookSlip, "tks.co.jp"},
        {"tls.co.jp", kLookSlip, "tks.co.jp"},
        {"tv0.co.jp", kLookSlip, "tv9.co.jp"},
        {"tkss.co.jp", kLookSlip, "tks.co.jp"},
        {"smgc.co.jp", kLookSlip, "smbc.co.jp"}, // b, g and h: above; s, z and x: below
        {"smhc.co.jp", kLookSlip, "smbc.co.jp"},
        {"zmbc.co.jp", kLookSlip, "smbc.co.jp"},
        {"smc.co.jp", kLookSlip, "smbc.co.jp"},
        {"msbc.co.jp", kLookSlip, "smbc.co.jp"},
        {"tks.com", kLookSuffix, "tks.co.jp"},
        // Suffixes typed for others: every row of the table.
        {"partner-trading.co", kLookSuffixTypo, "partner-trading.com"},
        {"partner-trading.cm", kLookSuffixTypo, "partner-trading.com"},
        {"partner-trading.om", kLookSuffixTypo, "partner-trading.com"},
        {"partner-trading.con", kLookSuffixTypo, "partner-trading.com"},
        {"partner-trading.cmo", kLookSuffixTypo, "partner-trading.com"},
        {"www.partner-trading.comm", kLookSuffixTypo, "partner-trading.com"},
        {"example.co", kLookSuffixTypo, "example.co.jp"},
        {"example.co.jo", kLookSuffixTypo, "example.co.jp"},
        {"example.com.jp", kLookSuffixTypo, "example.co.jp"},
        {"example.cojp", kLookSuffixTypo, "example.co.jp"},
        {"ZAQ.NE.JO", kLookSuffixTypo, "zaq.ne.jp"},
        {"npo-sakura.or.jo", kLookSuffixTypo, "npo-sakura.or.jp"},
        {"example-u.ac.jo", kLookSuffixTypo, "example-u.ac.jp"},
        {"velmora.jo", kLookSuffixTypo, "velmora.jp"},
        {"example.jp", kLookSuffix, "example.co.jp"},
        {"example.com", kLookSuffix, "example.co.jp"},
        {"example.ne.jp", kLookSuffix, "example.co.jp"},
        {"mail.example.co.com", kLookSuffix, "example.co.jp"},
        {"client.co.jp", kLookSuffix, "client.ne.jp"},
        {"velmora.co.com", kLookSuffix, "velmora.jp"},
        {"velmora.jp.net", kLookEmbedded, "velmora.jp"},
        {"example.co.jp.attacker.test", kLookEmbedded, "example.co.jp"},
        {"www.client.ne.jp.evil.test", kLookEmbedded, "client.ne.jp"},
        {"example-co-jp.test", kLookEmbedded, "example.co.jp"},
        {"example-co-jp-login.test", kLookEmbedded, "example.co.jp"},
        // Cyrillic а in "exаmple", full-width ｚａｑ, an accented à: each reads as a known one.
        {"xn--exmple-4nf.co.jp", kLookIdn, "example.co.jp"},
        {"xn--mi7c6aza.ne.jp", kLookIdn, "zaq.ne.jp"},
        {"xn--zq-jia.ne.jp", kLookIdn, "zaq.ne.jp"},
    };
    for (const auto& c : cases) {
        const SLookalike hit = index.Check(c.domain);
        EXPECT_EQ(c.kind, hit.kind) << c.domain;
        EXPECT_EQ(c.resembles, hit.resembles) << c.domain;
    }
}

TEST(Lookalike, LeavesKnownAndUnrelatedDomainsAlone) {
    const SLookalikeIndex index = Known();
    const char* const quiet[] = {
        "example.co.jp",           // inner
        "Mail.Example.co.jp",      // inner sub-domain
        "velmora.jp",              // inner, another case
        "partner-trading.com",     // history
        "www.partner-trading.com", // the same registrant
        "client.ne.jp",
        "sample.co.jp", // two letters away from a short name
        // Too short for these: u beside y in two letters, b is no key beside k, i is above it, a
        // letter left out of three or a swap in them, x is no key beside b, any letter in 7, two
        // edits in 11.
        "eu.com", "tbs.co.jp", "tis.co.jp", "ts.co.jp", "tsk.co.jp", "smxc.co.jp", "exbmple.co.jp",
        "examqple.co.jp", "osako-kikei.co.jp", "unrelated.org",
        "partner-trading-con",      // a suffix typed without its dot
        "example.shibuya.tokyo.jp", // a city's suffix, not a slip in "co"
        "pref.osaka.jp",
        "co.jp", // a bare suffix
        "",
        "xn--wgv71a119e.jp", // 日本語.jp: one script family
    };
    for (const char* domain : quiet) {
        const SLookalike hit = index.Check(domain);
        EXPECT_EQ(kLookNone, hit.kind) << domain << " resembles " << hit.resembles;
    }
}

TEST(Lookalike, InternationalNamesShowTheirDecodedForm) {
    SLookalikeIndex index = Known();
    // Latin with a Cyrillic о: mixed, and read as nothing known.
    SLookalike mixed = index.Check("xn--brwn-65d.com");
    EXPECT_EQ(kLookMixedScript, mixed.kind);
    EXPECT_EQ("br\xD0\xBEwn.com", mixed.decoded);
    EXPECT_EQ(kLookBadIdn, index.Check("xn--99999999999.com").kind);
    EXPECT_EQ(kLookBadIdn, index.Check("xn--.com").kind);
}

// Every digit's range end, both letter cases, the last code point; anything malformed refused.
TEST(Lookalike, PunycodeDecodesValidLabelsAndRefusesTheRest) {
    const std::string u63(63, 'a'), u64(64, 'a');
    struct {
        std::string encoded;
        const char* decoded; // UTF-8; null: refused
    } const cases[] = {
        {"wgv71a119e", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"}, // 日本語
        {"MNCHEN-3YA", "M\xC3\xBCNCHEN"},                       // ü in MNCHEN
        {"zj7c", "\xEF\xBD\xB1"},                               // ｱ
        {"ZJ7C", "\xEF\xBD\xB1"},
        {"czvsg", "\xE6\xA1\xAA\xE6\xA2\xBB"}, // 桪梻: the first delta damped
        {"59j", "\xE3\x81\xB9"},               // べ
        {"80a", "\xD0\xB0"},                   // а
        {"80A", "\xD0\xB0"},
        {"dn32g", "\xF4\x8F\xBF\xBF"}, // U+10FFFF
        {"en32g", nullptr},            // U+110000
        {"", nullptr},
        {"\x80-8og", nullptr},    // a byte beyond ASCII before the last hyphen
        {"ab_c", nullptr},        // not a digit
        {"mnchen-3y", nullptr},   // ends inside a number
        {"99999999999", nullptr}, // beyond any label
        {u63 + "-8og", nullptr},  // 64 code points
        {u64 + "-", nullptr},
    };
    for (const auto& c : cases) {
        std::u32string points;
        const bool decoded = DecodePunycode(c.encoded, &points);
        EXPECT_EQ(c.decoded != nullptr, decoded) << c.encoded;
        if (decoded && c.decoded) {
            EXPECT_EQ(c.decoded, Utf8Of(points)) << c.encoded;
        }
    }
    // 62 letters and ü: 63 code points, the most a label holds.
    std::u32string points;
    ASSERT_TRUE(DecodePunycode(std::string(62, 'a') + "-8og", &points));
    EXPECT_EQ(63u, points.size());
    EXPECT_EQ("\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80"
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
              Utf8Of({0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0x10000, 0xD800, 0xDFFF, 0x110000}));
}

// The ends of every range of letters that read as plain ones, and of the scripts.
TEST(Lookalike, LettersOfOtherScriptsReadAsPlainOnes) {
    struct {
        char32_t letter;
        char reads; // '\0': as none
    } const letters[] = {
        {0xFF41, 'a'}, {0xFF5A, 'z'}, {0xFF40, '\0'}, {0xFF5B, '\0'}, // ａ ｚ
        {0xFF10, '0'}, {0xFF19, '9'}, {0xFF0F, '\0'}, {0xFF1A, '\0'}, // ０ ９
        {0xE0, 'a'},   {0xE5, 'a'},   {0xE6, '\0'},   {0xE8, 'e'},    // à å æ è
        {0xEB, 'e'},   {0xEC, 'i'},   {0xEF, 'i'},    {0xF2, 'o'},    // ë ì ï ò
        {0xF6, 'o'},   {0xF7, '\0'},  {0xF8, 'o'},    {0xF9, 'u'},    // ö ÷ ø ù
        {0xFC, 'u'},   {0xFD, 'y'},   {0xDF, '\0'},   {0x0430, 'a'},  // ü ý ß а
    };
    for (const auto& c : letters)
        EXPECT_EQ(c.reads, AsciiLookalike(c.letter)) << std::hex << c.letter;
    struct {
        std::u32string label;
        bool mixed;
    } const labels[] = {
        {U"a\uFF66", false},
        {U"a\uFF9F", false}, // half-width ｦ and the voicing mark ﾟ
        {U"a\uFF65", true},
        {U"a\uFFA0", true},
        {U"\uFF76\uFF9E\u0430", true},
        {U"0\u0430", false},
        {U"9\u0430", false},
        {U"-\u03B1", false}, // digits, hyphen: none
        {U"\uFF10\uFF5A", false},
        {U"\uFF5Aa", false},
        {U"\uFF5A\u0430", true},
        {U"a\u024F", false},
        {U"a\u0250", true},
        {U"\u03B1\u0430", true},
        {U"\u30A2a", false},
        {U"\uAC00\u30A2", true},
        // Each script's first and last letter with one inside, and the letter just outside.
        {U"\u03B1\u0370", false},
        {U"\u03B1\u03FF", false},
        {U"\u03B1\u036F", true},
        {U"\u0430\u0400", false},
        {U"\u0430\u052F", false},
        {U"\u0430\u0530", true},
        {U"a\u3040", false},
        {U"a\u30FF", false},
        {U"a\u303F", true},
        {U"a\u31F0", false},
        {U"a\u31FF", false},
        {U"a\u3400", false},
        {U"a\u4DBF", false},
        {U"a\u4E00", false},
        {U"a\u9FFF", false},
        {U"a\uA000", true},
        {U"\uD7AF\uAC00", false},
        {U"\uD7B0\uAC00", true},
    };
    for (const auto& c : labels)
        EXPECT_EQ(c.mixed, MixesScripts(c.label)) << Utf8Of(c.label);
}

// The keys at the ends of the rows and of the keyboard: no neighbour past them.
TEST(Lookalike, KeysBesideEachOtherUpToTheEndsOfTheRows) {
    struct {
        char a, b;
        ENearness nearness;
    } const pairs[] = {
        {'1', '2', ENearness::SameRow},  {'1', 'q', ENearness::OtherRow},
        {'-', '0', ENearness::SameRow},  {'-', 'p', ENearness::OtherRow},
        {'p', '0', ENearness::OtherRow}, {'-', 'o', ENearness::Apart},
        {'q', 'a', ENearness::OtherRow}, {'p', 'l', ENearness::OtherRow},
        {'a', 's', ENearness::SameRow},  {'a', 'z', ENearness::OtherRow},
        {'l', 'm', ENearness::Apart},    {'z', 'x', ENearness::SameRow},
        {'m', 'k', ENearness::OtherRow}, {'m', 'n', ENearness::SameRow},
        {'A', 'S', ENearness::Apart},    {'a', '.', ENearness::Apart},
    };
    for (const auto& p : pairs) {
        EXPECT_EQ(p.nearness, KeyNearness(p.a, p.b)) << p.a << p.b;
        EXPECT_EQ(p.nearness, KeyNearness(p.b, p.a)) << p.b << p.a;
    }
    char near[kMaxNearKeys];
    EXPECT_EQ(2u, NearKeys('1', near)); // 2 beside, q below
    EXPECT_EQ(3u, NearKeys('m', near)); // n beside, j and k above
    EXPECT_EQ(6u, NearKeys('s', near));
}

TEST(Lookalike, OtherRecipientsOfTheMessageAreResembledNotTrusted) {
    SLookalikeIndex index;
    index.Add("shop-tanaka.co.jp", kKnownInMessage);
    index.Seal();
    EXPECT_EQ("shop-tanaka.co.jp", index.Check("shop-tanaka.jp").resembles);
    EXPECT_EQ(kLookNone, index.Check("shop-tanaka.co.jp").kind);
    // Nothing known at all: nothing to resemble.
    SLookalikeIndex empty;
    empty.Seal();
    EXPECT_EQ(kLookNone, empty.Check("exarnple.co.jp").kind);
}

TEST(Lookalike, SuffixesSplitWhereTheRegistryEnds) {
    struct {
        const char* domain;
        const char* name;
        const char* suffix;
    } const cases[] = {
        {"mail.example.co.jp", "example", "co.jp"},
        {"example.jp", "example", "jp"},
        {"a.b.shibuya.tokyo.jp", "b", "shibuya.tokyo.jp"},
        {"pref.osaka.jp", "pref", "osaka.jp"},
        {"city.shibuya.tokyo.jp", "city", "shibuya.tokyo.jp"},
        {"x.example.co.uk", "example", "co.uk"},
        {"foo.co.com", "foo", "co.com"},
        {"co.jp", "", "co.jp"},
    };
    for (const auto& c : cases) {
        const SDomainParts parts = SplitDomain(c.domain);
        EXPECT_EQ(c.name, parts.name) << c.domain;
        EXPECT_EQ(c.suffix, parts.suffix) << c.domain;
    }
}

// Sizes beyond any real domain, many labels, broken bytes: answered, never a crash.
TEST(Lookalike, HostileDomainsAreAnsweredQuickly) {
    SLookalikeIndex index;
    for (int i = 0; i < 2000; ++i)
        index.Add(std::string(50, 'a') + std::to_string(i) + ".com", kKnownHistory);
    index.Seal();
    std::string labels;
    for (int i = 0; i < 127; ++i)
        labels += "a.";
    labels += "com";
    EXPECT_EQ(kLookNone, index.Check(labels).kind);
    EXPECT_EQ(kLookNone, index.Check(std::string(300, 'a') + ".com").kind);
    EXPECT_EQ(kLookNone, index.Check(std::string(63, 'z') + ".com").kind);
    EXPECT_EQ(kLookNone, index.Check("\x82\xA0\x82.co.jp").kind);
    EXPECT_EQ(kLookSlip, index.Check(std::string(50, 'a') + "12x.com").kind);
}

// A name of 63 letters and a domain of 255 bytes are the longest looked at.
TEST(Lookalike, NamesAndDomainsAtTheirLengthLimits) {
    const std::string labels = std::string(63, 'x') + "." + std::string(63, 'y') + ".";
    const std::string longest = labels + std::string(63, 'z') + "." + std::string(59, 'w') + ".com";
    ASSERT_EQ(255u, longest.size());
    SLookalikeIndex index;
    index.Add(longest, kKnownHistory);
    index.Add(std::string(63, 'b') + ".com", kKnownHistory);
    index.Add(std::string(64, 'c') + ".com", kKnownHistory);
    index.Seal();
    std::string slip = longest;
    slip[200] = 'q';
    EXPECT_EQ(kLookSlip, index.Check(slip).kind);
    EXPECT_EQ(kLookNone, index.Check(slip.substr(0, 200) + "q" + slip.substr(200)).kind);
    EXPECT_EQ(kLookSlip, index.Check(std::string(62, 'b') + "q.com").kind);
    EXPECT_EQ(kLookNone, index.Check(std::string(63, 'b') + "q.com").kind);
    EXPECT_EQ(kLookNone, index.Check(std::string(63, 'c') + ".com").kind);
}

} // namespace
