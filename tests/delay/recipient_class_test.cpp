// Which recipients count as inside the organisation.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "delay/bcc_move.h"
#include "delay/delay_mail.h"
#include "delay/recipient_class.h"
#include "support/string_list.h"
#include "tests/delay/send_capture.h"

namespace {

bool IsInnerAddress(const char* address, const SStringList* innerDomains) {
    return SDomainMatcher(innerDomains).IsInner(address);
}

// The rule spelled out one domain at a time, to check the matcher against.
bool ReferenceIsInner(const char* address, const SStringList* innerDomains) {
    if (!address || !innerDomains)
        return false;
    const char* at = strchr(address, '@');
    if (!at)
        return false;
    for (const SStringNode* node = innerDomains->first; node; node = node->next) {
        if (node->text && node->text[0] && strstr(at + 1, node->text))
            return true;
    }
    return false;
}

} // namespace

TEST(InnerAddress, MatchesTheDomainPartCaseSensitivelyAsASubstring) {
    SStringList domains;
    domains.Append("example.co.jp");
    EXPECT_TRUE(IsInnerAddress("taro@example.co.jp", &domains));
    EXPECT_TRUE(IsInnerAddress("taro@mail.example.co.jp", &domains));     // sub-domain
    EXPECT_TRUE(IsInnerAddress("taro@example.co.jp.evil.com", &domains)); // merely contains
    EXPECT_TRUE(IsInnerAddress("taro@notexample.co.jp", &domains));
    EXPECT_FALSE(IsInnerAddress("taro@Example.co.jp", &domains));
    EXPECT_FALSE(IsInnerAddress("example.co.jp@other.com", &domains)); // only after the first @
    EXPECT_TRUE(IsInnerAddress("a@b@example.co.jp", &domains));
}

TEST(InnerAddress, WithoutDomainsOrAtSignEverythingIsOuter) {
    SStringList domains;
    EXPECT_FALSE(IsInnerAddress("taro@example.co.jp", nullptr));
    EXPECT_FALSE(IsInnerAddress("taro@example.co.jp", &domains));
    domains.Append("example.co.jp");
    EXPECT_FALSE(IsInnerAddress("example.co.jp", &domains));
    EXPECT_FALSE(IsInnerAddress("", &domains));
}

TEST(InnerAddress, AnEmptyDomainEntryMatchesNothing) {
    // The setup dialog accepts an empty entry; it must not make outside mail inner.
    SStringList domains;
    domains.Append("");
    domains.Append(nullptr);
    EXPECT_FALSE(IsInnerAddress("someone@outside.com", &domains));
    domains.Append("inside.jp");
    EXPECT_TRUE(IsInnerAddress("someone@inside.jp", &domains));
}

TEST(DomainMatcher, AgreesWithTheOneDomainAtATimeRule) {
    // Domains sharing prefixes and suffixes, one inside another, one byte long, and high bytes.
    SStringList domains;
    const char* list[] = {"inner001.example",
                          "inner01.example",
                          "ner0",
                          "example.co.jp",
                          "co.jp.x",
                          "q",
                          "\x82\xA0",
                          ""};
    for (const char* domain : list)
        domains.Append(domain);
    SDomainMatcher matcher(&domains);
    const char alphabet[] = "inner0e1.xamplcoj@pq\x82\xA0";
    unsigned seed = 12345;
    for (int round = 0; round < 20000; ++round) {
        char address[24];
        int length = static_cast<int>((seed = seed * 1103515245 + 12345) >> 16) % 23;
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245 + 12345;
            address[i] = alphabet[(seed >> 16) % (sizeof(alphabet) - 1)];
        }
        address[length] = '\0';
        ASSERT_EQ(ReferenceIsInner(address, &domains), matcher.IsInner(address)) << address;
    }
    EXPECT_TRUE(matcher.IsInner("a@mail.inner01.example"));
    EXPECT_TRUE(matcher.IsInner("a@x.co.jp.xyz"));
    EXPECT_FALSE(matcher.IsInner("a@x.co.j"));
    EXPECT_FALSE(matcher.IsInner("inner001.example"));
}

TEST(DomainMatcher, NoDomainsMatchNothing) {
    SDomainMatcher none(nullptr);
    EXPECT_FALSE(none.IsInner("a@b.c"));
    SStringList empty;
    empty.Append("");
    SDomainMatcher onlyEmpty(&empty);
    EXPECT_FALSE(onlyEmpty.IsInner("a@b.c"));
}

TEST(DomainMatcher, DomainOrSubDomainIgnoresCaseAndLookAlikes) {
    SStringList domains;
    domains.Append("Example.co.jp");
    domains.Append("");
    domains.Append("\x83\x41.jp"); // its trail byte 0x41 is no letter to fold
    SDomainMatcher matcher(&domains, kMatchDomainOrSub);
    struct {
        const char* address;
        bool inner;
    } cases[] = {
        {"a@example.co.jp", true},      {"a@EXAMPLE.CO.JP", true},
        {"a@mail.Example.co.jp", true}, {"a@example.co.jp.other.test", false},
        {"a@notexample.co.jp", false},  {"a@co.jp", false},
        {"a@example.co.jp.", false},    {"a@x.\x83\x41.jp", true},
        {"a@x.\x83\x61.jp", false},     {"example.co.jp@other.test", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.inner, matcher.IsInner(c.address)) << c.address;
    SStringList onlyEmpty;
    onlyEmpty.Append("");
    EXPECT_FALSE(SDomainMatcher(&onlyEmpty, kMatchDomainOrSub).IsInner("a@b.c"));
}

TEST(ClassifyRecipients, OnlyPlainAddressesWithAnInnerDomainCountInner) {
    SStringList domains;
    domains.Append("inner.example");
    SDomainMatcher matcher(&domains);
    struct {
        const char* value;
        int inner;
        int outer;
    } cases[] = {
        // Well-formed forms, classified by their address as always.
        {"\"Doe, John\" <boss@inner.example>, x@outer.example.com", 1, 1},
        {"boss@inner.example (Boss, HQ); <a@mail.inner.example.evil.com>", 2, 0},
        {"Boss (desk) <boss@inner.example> (note)", 1, 0},
        {"\"x@outer.example.com\" <boss@inner.example>", 1, 0},
        {"\x95\x5C\x8E\xA6 <boss@inner.example>, \x83\x40@inner.example", 2, 0},
        // A quoted pair keeps its quote inside the name.
        {"\"5\\\" Floppy\" <x@outer.example.com>, y@inner.example", 1, 1},
        // Quote, comment or angle bracket left open: the rest is one outer entry.
        {"O\"Brien <x@outer.example.com>, boss@inner.example", 0, 1},
        {"boss@inner.example (note, x@outer.example.com", 0, 1},
        {"(note, boss@inner.example, x@outer.example.com", 0, 1},
        {"Boss <boss@inner.example, x@outer.example.com>", 0, 2},
        // A comma forgotten.
        {"boss@inner.example x@outer.example.com", 0, 1},
        {"\"boss@inner.example\" x@outer.example.com", 0, 1},
        {"<boss@inner.example> x@outer.example.com", 0, 1},
        {"x@outer.example.com <boss@inner.example>", 0, 1},
        // A trail byte 0x40 is no '@'; a full-width blank is a blank.
        {"x\x81\x40inner.example@outer.example.com", 0, 1},
        {"x\x83\x40inner.example@outer.example.com", 0, 1},
        // Not one local@domain.
        {"a@b@inner.example, @inner.example, boss@, \"q\"@inner.example", 0, 4},
    };
    for (const auto& c : cases) {
        std::string value = c.value;
        int inner = 0;
        int outer = 0;
        delete ClassifyRecipients(&value[0], matcher, &inner, &outer);
        EXPECT_EQ(inner, c.inner) << c.value;
        EXPECT_EQ(outer, c.outer) << c.value;
    }
}

// What the Event Log names of a message's outside recipients: each plain outside domain once,
// in lower case, and no more than it keeps.
TEST(CaptureRecipients, OutsideDomainsAreGatheredOnceEachAndKeptToTheirLimit) {
    SStringList inner;
    inner.Append("inner.example");
    const SDomainMatcher matcher(&inner);
    SOuterDomains domains;
    std::string to = "B <x@Outer.Example>, y@outer.example, a@inner.example, broken@, z@other.jp";
    int in = 0, out = 0;
    delete ClassifyRecipients(&to[0], matcher, &in, &out, nullptr, nullptr, &domains);
    EXPECT_EQ(4, out);
    EXPECT_EQ((std::vector<std::string>{"other.jp", "outer.example"}), domains.Names());
    EXPECT_FALSE(domains.Cut());
    std::string many;
    for (size_t i = 0; i <= kKeptOuterDomains; ++i)
        many += "x@d" + std::to_string(i) + ".example, ";
    delete ClassifyRecipients(&many[0], matcher, &in, &out, nullptr, nullptr, &domains);
    EXPECT_EQ(kKeptOuterDomains, domains.Names().size());
    EXPECT_TRUE(domains.Cut());
}

// Recipients nobody could classify, because the text was cut or its double-byte characters are
// broken, must hold the message as outside mail.
TEST(CaptureRecipients, CutOrBrokenTextCountsOutside) {
    // 3855 times "a@inner.example, " is 65,535 bytes: the buffer full, every entry whole.
    std::string full;
    for (int i = 0; i < 3855; ++i)
        full += "a@inner.example, ";
    const std::string exact = full.substr(0, full.size() - 1);
    struct {
        std::string value;
        int header; // 0 To, 1 Cc, 2 Bcc
        bool hostSaidLonger;
        int inner;
        int outer;
    } cases[] = {
        {exact, 0, false, 3855, 0},
        {full, 0, false, 3855, 1},
        {full, 1, false, 3855, 1},
        {full, 2, false, 3855, 1},
        {"a@inner.example", 2, true, 1, 1},
        // Raw UTF-8 names: the last byte of each name is a lead byte before the quote.
        {"\"\xE3\x81\x82\" <x@outer.example>, \"\xE3\x81\x84\" <a@inner.example>", 0, false, 0, 2},
        {"\"\x82\" <x@outer.example>, \"\x82\" <a@inner.example>", 0, false, 0, 2},
        {"\"\\\x82\" <a@inner.example>, b@inner.example", 0, false, 1, 1},
        {"x@outer.example\x82, a@inner.example", 0, false, 1, 1},
        {"a@inner.example (\x82), b@inner.example", 0, false, 1, 1},
        {"\x82<a@inner.example>, b@inner.example", 0, false, 1, 1},
        {"\"\x82\xA0\" <a@inner.example>", 0, false, 1, 0},
    };
    SStringList domains;
    domains.Append("inner.example");
    SHoldTimes times = {0, 5};
    SLocalTime now = {2026, 12, 1, 7, 10, 0, 0, 0};
    for (const auto& c : cases) {
        SCapturedHeaders headers;
        std::string* fields[] = {&headers.to, &headers.cc, &headers.bcc};
        *fields[c.header] = c.value;
        headers.recipientsCut = c.hostSaidLonger;
        SDelayMail mail;
        EXPECT_EQ(CaptureSend(&mail, nullptr, &headers, &domains, times, now), c.outer > 0)
            << c.value.substr(0, 60);
        EXPECT_EQ(mail.innerCount, c.inner) << c.value.substr(0, 60);
        EXPECT_EQ(mail.outerCount, c.outer) << c.value.substr(0, 60);
    }
}

TEST(BccMove, OutsideAddressesGoToTheEndOfBccWholeOrNotAtAll) {
    SStringList domains;
    domains.Append("inner.example");
    SDomainMatcher matcher(&domains);
    const std::string filled(65535, 'x');
    using E = EBccMoveOutcome;
    struct {
        const char* to;
        const char* cc;
        const char* bcc;
        E outcome;
        const char* newTo = "";
        const char* newCc = "";
        const char* newBcc = "";
        size_t bufferSize = 0; // 0: the host's
        bool toCut = false;
    } cases[] = {
        {"\"Sato, Ichiro\" <a@x.test>, \"Boss \\\"B\\\"\" <b@inner.example>", "", "", E::Moved,
         "\"Boss \\\"B\\\"\" <b@inner.example>", "", "\"Sato, Ichiro\" <a@x.test>"},
        // A group all outside goes whole; a mixed one keeps its label with who stays.
        {"Partners: a@x.test, \x8E\xA1 <b@y.test> (c; d); c@inner.example",
         "Team: d@inner.example, e@z.test;", "old@w.test, ", E::Moved, "c@inner.example",
         "Team: d@inner.example;",
         "old@w.test, Partners: a@x.test, \x8E\xA1 <b@y.test> (c; d); e@z.test"},
        {"a@x.test, b@y.test", "c@inner.example", "", E::Moved, "me@inner.example",
         "c@inner.example", "a@x.test, b@y.test"},
        {"", "undisclosed-recipients:;, x@y.test", "List: o@w.test", E::Moved, "me@inner.example",
         "undisclosed-recipients:;", "List: o@w.test; x@y.test"},
        {"b@inner.example", "c@inner.example", "x@y.test", E::NothingToMove},
        {"a@x.test", "", "", E::HeaderCut, "", "", "", 0, true},
        {filled.c_str(), "", "", E::HeaderCut},
        {"Sato, Ichiro <a@x.test>", "", "", E::UnreadableRecipient},
        {"a@x.test", "", "\"open <b@y.test>", E::UnreadableRecipient},
        // 26 bytes fit a buffer of 28 and are read back whole; 27 would fill it.
        {"a@x.test, b@inner.example", "", "123456789@z.test", E::Moved, "b@inner.example", "",
         "123456789@z.test, a@x.test", 28},
        {"a@x.test, b@inner.example", "", "1234567890@z.test", E::NoRoom, "", "", "", 28},
    };
    for (const auto& c : cases) {
        SBccMoveInput input;
        input.to = c.to;
        input.cc = c.cc;
        input.bcc = c.bcc;
        input.from = "\"Me\" <me@inner.example>";
        input.toCut = c.toCut;
        input.bufferSize = c.bufferSize ? c.bufferSize : kHeaderBufferSize;
        const SBccMove move = MoveOutsideToBcc(input, matcher);
        const std::string label = std::string(c.to).substr(0, 40);
        EXPECT_EQ(static_cast<int>(move.outcome), static_cast<int>(c.outcome)) << label;
        if (move.outcome == E::Moved) {
            EXPECT_EQ(move.to, c.newTo) << label;
            EXPECT_EQ(move.cc, c.newCc) << label;
            EXPECT_EQ(move.bcc, c.newBcc) << label;
        }
    }
    SBccMoveInput noSender;
    noSender.to = "a@x.test";
    noSender.from = "Me";
    noSender.bufferSize = kHeaderBufferSize;
    EXPECT_EQ(MoveOutsideToBcc(noSender, matcher).outcome, E::NoSender);
    noSender.from = "Group: a:b@inner.example;";
    EXPECT_EQ(MoveOutsideToBcc(noSender, matcher).outcome, E::NoSender);
}

TEST(BccMove, IsOfferedForTwoOutsideDomainsOrTheWarningCount) {
    SStringList domains;
    domains.Append("inner.example");
    SDomainMatcher matcher(&domains);
    EXPECT_TRUE(OffersBccMove("a@x.test", "b@Y.test", matcher, 0));
    EXPECT_FALSE(OffersBccMove("a@x.test, b@X.TEST, c@inner.example", "", matcher, 3));
    EXPECT_TRUE(OffersBccMove("a@x.test, b@X.TEST", "broken", matcher, 3));
    EXPECT_FALSE(OffersBccMove("a@x.test, b@x.test", "c@inner.example", matcher, 0));
}
