#include "lookalike/lookalike_index.h"

#include <gtest/gtest.h>

#include <string>

#include "lookalike/public_suffix.h"
#include "lookalike/punycode.h"

namespace {

// Inner: example.co.jp, velmora.jp; history: partner-trading.com, client.ne.jp,
// mitsuboshi-shoji.co.jp.
SLookalikeIndex Known() {
    SLookalikeIndex index;
    index.Add("example.co.jp", kKnownInner);
    index.Add("Velmora.jp", kKnownInner);
    index.Add("partner-trading.com", kKnownHistory);
    index.Add("client.ne.jp", kKnownHistory);
    index.Add("mitsuboshi-shoji.co.jp", kKnownHistory);
    index.Add("modern.co.jp", kKnownHistory);
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
        {"exanple.co.jp", kLookSlip, "example.co.jp"},
        {"exmaple.co.jp", kLookSlip, "example.co.jp"},
        {"examplee.co.jp", kLookSlip, "example.co.jp"},
        {"EXAMPL.CO.JP", kLookSlip, "example.co.jp"},
        {"partner-tradign.com", kLookSlip, "partner-trading.com"},
        {"partnr-tradin.com", kLookSlip, "partner-trading.com"},
        {"mitsubosi-shoj.co.jp", kLookSlip, "mitsuboshi-shoji.co.jp"},
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
        // Cyrillic а in "exаmple": reads as the inner domain.
        {"xn--exmple-4nf.co.jp", kLookIdn, "example.co.jp"},
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
        "unrelated.org",
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
    std::u32string points;
    ASSERT_TRUE(DecodePunycode("wgv71a119e", &points));
    EXPECT_EQ("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", Utf8Of(points));
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

} // namespace
