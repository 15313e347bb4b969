// What the confirmation shows for a send, and when it lets the mail go.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confirm/confirm_rows.h"
#include "confirm/domain_history.h"
#include "confirm/outside_keywords.h"
#include "delay/recipient_class.h"
#include "support/string_list.h"

namespace {

const SLocalTime kToday = {2026, 12, 1, 7, 10, 0, 0, 0};

// One row as the dialog would read it: field, what it is, the entry shown.
std::string Describe(const SConfirmRow& row) {
    static const char* const kFields[] = {"To", "Cc", "Bcc", "Subject"};
    std::string kind = row.kind == ERowKind::Keyword     ? std::string("keyword")
                       : row.kind != ERowKind::Recipient ? "like:" + row.resembles
                       : row.malformed                   ? "bad"
                       : row.outside                     ? "out"
                       : row.substringOnly               ? "sub"
                       : row.insideTickable              ? "in"
                                                         : "in1";
    return std::string(kFields[row.field]) + " " + kind + (row.newDomain ? " new " : " ") +
           row.entry;
}

std::vector<std::string> Describe(const SConfirmModel& model) {
    std::vector<std::string> rows;
    for (const SConfirmRow& row : model.rows)
        rows.push_back(Describe(row));
    return rows;
}

class ConfirmRowsTest : public ::testing::Test {
  protected:
    ConfirmRowsTest() { domains.Append("example.co.jp"); }
    // The recipients as the send classifies them, with the same rule as the options.
    const SSendRecipients* Classified(const char* to, const char* cc = "", const char* bcc = "",
                                      bool hostSaidLonger = false, int cutField = kFieldTo) {
        SCapturedHeaders headers;
        headers.to = to;
        headers.cc = cc;
        headers.bcc = bcc;
        headers.recipientsCut = hostSaidLonger;
        headers.cutField = cutField;
        recipients.Classify(&headers, SDomainMatcher(&domains, options.innerDomainMatch), true);
        return &recipients;
    }
    const SConfirmModel& Build(const char* to, const char* cc = "", const char* bcc = "") {
        SConfirmInput input;
        input.recipients = Classified(to, cc, bcc);
        input.innerDomains = &domains;
        input.history = history;
        input.today = kToday;
        model.Build(input, options);
        return model;
    }
    SStringList domains;
    SConfirmOptions options;
    const SDomainHistory* history = nullptr;
    SSendRecipients recipients;
    SConfirmModel model;
};

const char kMixedTo[] = "Taro <taro@example.co.jp>, zed@other.test, \"Broken\" <x@y, "
                        "look@example.co.jp.other.test, Upper@Example.CO.JP";
const char kMixedCc[] = "ann@aaa.test, Bob <bob@OTHER.test>, sub@mail.example.co.jp";
const char kMixedBcc[] = "b@example.co.jp, one@a.test two@b.test";

TEST_F(ConfirmRowsTest, OutsideFirstByDomainThenLookAlikesThenInsideAsWritten) {
    struct {
        int match;
        bool insideEach;
        std::vector<std::string> rows;
    } cases[] = {
        {kMatchSubstring,
         false,
         {"To bad \"Broken\" <x@y", "Bcc bad one@a.test two@b.test", "Cc out ann@aaa.test",
          "To out Upper@Example.CO.JP", "To out zed@other.test", "Cc out Bob <bob@OTHER.test>",
          "To sub look@example.co.jp.other.test", "To in Taro <taro@example.co.jp>",
          "Cc in sub@mail.example.co.jp", "Bcc in b@example.co.jp"}},
        // The strict rule: case is ignored, the look-alike is outside like any other domain.
        {kMatchDomainOrSub,
         true,
         {"To like:example.co.jp look@example.co.jp.other.test", "To bad \"Broken\" <x@y",
          "Bcc bad one@a.test two@b.test", "Cc out ann@aaa.test", "To out zed@other.test",
          "Cc out Bob <bob@OTHER.test>", "To in1 Taro <taro@example.co.jp>",
          "To in1 Upper@Example.CO.JP", "Cc in1 sub@mail.example.co.jp",
          "Bcc in1 b@example.co.jp"}},
    };
    for (const auto& c : cases) {
        options.innerDomainMatch = c.match;
        options.insideEach = c.insideEach;
        Build(kMixedTo, kMixedCc, kMixedBcc);
        EXPECT_EQ(c.rows, Describe(model)) << "match " << c.match;
        EXPECT_EQ(c.insideEach, !model.HasInsideTickAll());
    }
    EXPECT_EQ("other.test", model.rows[4].domain); // lower case, grouped with zed's
    EXPECT_EQ("", model.rows[1].domain);           // the malformed entry after the look-alike
}

TEST_F(ConfirmRowsTest, OutsideModeAsksWhenALookAlikeIsTheOnlyDoubt) {
    options.confirmMode = kConfirmOutside;
    struct {
        int match;
        const char* to;
        bool needed;
    } cases[] = {{kMatchSubstring, "ceo@example.co.jp.attacker.test, a@example.co.jp", true},
                 {kMatchSubstring, "a@example.co.jp, b@mail.example.co.jp", false},
                 {kMatchDomainOrSub, "ceo@example.co.jp.attacker.test", true},
                 {kMatchDomainOrSub, "a@example.co.jp", false}};
    for (const auto& c : cases) {
        options.innerDomainMatch = c.match;
        Build(c.to);
        EXPECT_EQ(c.needed, model.needed) << c.to;
    }
}

TEST_F(ConfirmRowsTest, TheInsideBoxTicksNoLookAlikeAndEveryTickIsNeeded) {
    Build(kMixedTo, kMixedCc, kMixedBcc);
    SConfirmTicks ticks = model.NewTicks();
    model.TickAllInside(&ticks, true);
    EXPECT_EQ(
        (std::vector<bool>{false, false, false, false, false, false, false, true, true, true}),
        ticks.rows);
    EXPECT_FALSE(model.CanSend(ticks));
    ticks.rows.assign(10, true);
    EXPECT_TRUE(model.CanSend(ticks));
    model.TickAllInside(&ticks, false);
    EXPECT_FALSE(model.CanSend(ticks));
    ticks.rows.assign(9, true); // ticks of some other model
    EXPECT_FALSE(model.CanSend(ticks));
}

TEST_F(ConfirmRowsTest, MassMailCountsOutsideToAndCcOnly) {
    // 6 in To, 4 in Cc over three domains, one malformed, and outside Bcc that never counts.
    const char* to = "a@one.test, b@one.test, c@ONE.test, d@two.test, e@two.test, <bad";
    const char* cc = "f@three.test, g@three.test, h@example.co.jp, i@three.test, m@two.test";
    const char* bcc = "j@four.test, k@four.test, l@four.test";
    struct {
        int threshold;
        bool warned;
    } cases[] = {{10, true}, {11, false}, {0, false}, {1, true}};
    for (const auto& c : cases) {
        options.bccWarnCount = c.threshold;
        Build(to, cc, bcc);
        ASSERT_EQ(c.warned ? 1u : 0u, model.warnings.size()) << c.threshold;
        if (!c.warned)
            continue;
        EXPECT_EQ(EWarningKind::MassMail, model.warnings[0].kind);
        EXPECT_EQ(10, model.warnings[0].addresses);
        EXPECT_EQ(3, model.warnings[0].domains);
        SConfirmTicks ticks = model.NewTicks();
        ticks.rows.assign(ticks.rows.size(), true);
        EXPECT_FALSE(model.CanSend(ticks)); // the warning has a tick of its own
        ticks.warnings[0] = true;
        EXPECT_TRUE(model.CanSend(ticks));
    }
}

TEST_F(ConfirmRowsTest, DomainsMailNeverLeftForAreMarkedAndNamed) {
    SDomainHistory known;
    std::vector<std::string> one = {"known.test"};
    for (int i = 0; i < SDomainHistory::kLearningMessages; ++i)
        known.Learn(one, {2026, 11, 0, 1, 9, 0, 0, 0});
    SDomainHistory learning;
    learning.Learn(one, kToday);

    const char* to = "a@Known.test, b@zeta.test, c@alpha.test, d@zeta.test, x@example.co.jp";
    struct {
        const SDomainHistory* history;
        bool warn;
        std::vector<std::string> names;
    } cases[] = {
        {&known, true, {"alpha.test", "zeta.test"}},
        {&known, false, {}},
        {&learning, true, {}},
        {nullptr, true, {}},
    };
    for (const auto& c : cases) {
        history = c.history;
        options.newDomainWarn = c.warn;
        Build(to);
        std::vector<std::string> names;
        int marked = 0;
        for (const SConfirmWarning& warning : model.warnings) {
            if (warning.kind == EWarningKind::NewDomain)
                names = warning.names;
        }
        for (const SConfirmRow& row : model.rows)
            marked += row.newDomain;
        EXPECT_EQ(c.names, names);
        EXPECT_EQ(c.names.empty() ? 0 : 3, marked);
    }
}

// A slip of an inner or a history domain leads the rows and is ticked on its own; the
// history's own domains and the inner ones are never marked.
TEST_F(ConfirmRowsTest, LookAlikesOfKnownDomainsLeadAndNeedTheirOwnTick) {
    SDomainHistory known;
    for (int i = 0; i < SDomainHistory::kLearningMessages; ++i)
        known.Learn({"partner-trading.com", "client.ne.jp"}, {2026, 11, 0, 1, 9, 0, 0, 0});
    history = &known;
    Build("a@exarnple.co.jp, b@partner-trading.com, c@client.co.jp, d@example.co.jp, "
          "e@partner-tradimg.com");
    // In the order written, each also new to the history.
    EXPECT_EQ((std::vector<std::string>{"To like:example.co.jp new a@exarnple.co.jp",
                                        "To like:client.ne.jp new c@client.co.jp",
                                        "To like:partner-trading.com new e@partner-tradimg.com",
                                        "To out b@partner-trading.com", "To in d@example.co.jp"}),
              Describe(model));
    SConfirmTicks ticks = model.NewTicks();
    model.TickAllInside(&ticks, true);
    EXPECT_EQ((std::vector<bool>{false, false, false, false, true}), ticks.rows);
    // What the history learns next counts at the next send.
    known.Learn({"newpartner.com"}, kToday);
    EXPECT_EQ("To like:newpartner.com new x@newpartmer.com",
              Describe(Build("x@newpartmer.com").rows[0]));
    // No history at all: the inner domains still count.
    history = nullptr;
    Build("a@exarnple.co.jp, b@partner-tradimg.com");
    EXPECT_EQ("like:example.co.jp a@exarnple.co.jp", Describe(model.rows[0]).substr(3));
    EXPECT_EQ(ERowKind::Recipient, model.rows[1].kind);
}

// 社外秘 and 親展 in the list; the subject is only read when a recipient is outside.
TEST_F(ConfirmRowsTest, OutsideKeywordsOfTheSubjectAddARowToTick) {
    options.outsideKeywords = " \x8E\xD0\x8A\x4F\x94\xE9 ,\x90\x65\x93\x57,, CONFIDENTIAL";
    SConfirmInput input;
    input.innerDomains = &domains;
    input.today = kToday;
    // 【社外秘】 ｃｏｎｆｉｄｅｎｔｉａｌ (full width, lower case)
    input.subject = "\x81\x79\x8E\xD0\x8A\x4F\x94\xE9\x81\x7A \x82\x83\x82\x8F\x82\x8E"
                    "\x82\x86\x82\x89\x82\x84\x82\x85\x82\x8E\x82\x94\x82\x89\x82\x81\x82\x8C";
    input.recipients = Classified("a@example.co.jp, b@other.test");
    model.Build(input, options);
    EXPECT_EQ((std::vector<std::string>{"Subject keyword \x8E\xD0\x8A\x4F\x94\xE9",
                                        "Subject keyword CONFIDENTIAL", "To out b@other.test",
                                        "To in a@example.co.jp"}),
              Describe(model));
    EXPECT_EQ(1, model.outsideCount);
    input.recipients = Classified("a@example.co.jp");
    model.Build(input, options);
    EXPECT_EQ((std::vector<std::string>{"To in a@example.co.jp"}), Describe(model));
}

// Confirm=3 asks only when something needs the user.
TEST_F(ConfirmRowsTest, AttentionModeAsksOnlyWhenSomethingLooksWrong) {
    SDomainHistory known;
    for (int i = 0; i < SDomainHistory::kLearningMessages; ++i)
        known.Learn({"partner.test"}, {2026, 11, 0, 1, 9, 0, 0, 0});
    history = &known;
    options.confirmMode = kConfirmAttention;
    options.newDomainWarn = false;
    options.bccWarnCount = 3;
    struct {
        const char* to;
        bool needed;
    } cases[] = {
        {"a@example.co.jp, b@partner.test", false},
        {"a@partner.test", false},
        {"a@parlner.test", true},         // look-alike
        {"a@example.co.jp.x.test", true}, // inside by the substring rule only
        {"<broken", true},                // malformed
        {"a@partner.test, b@partner.test, c@partner.test", true}, // mass mail
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.needed, Build(c.to).needed) << c.to;
    options.newDomainWarn = true;
    EXPECT_TRUE(Build("a@brand-new.test").needed);
}

TEST_F(ConfirmRowsTest, EntriesAreShownEscapedAndBounded) {
    struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"Ta\tro\x7f <t@a.test>", "Ta\\x09ro\\x7F <t@a.test>"},
        {"\x93\xfa\x96\x7b <t@a.test>", "\x93\xfa\x96\x7b <t@a.test>"}, // 日本, whole
        {"\x93\x0a <t@a.test>", "\\x93\\x0A <t@a.test>"},               // a lead byte cut off
        {"end \x93", "end \\x93"},
        {"\x80\xa0\xfd", "\\x80\\xA0\\xFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, DisplayText(c.text.c_str(), kRowEntryBytes));

    EXPECT_EQ("abc...", DisplayText("abcdef", 3));
    EXPECT_EQ("a...", DisplayText("a\x93\xfa", 2)); // never half a double-byte character
}

TEST_F(ConfirmRowsTest, SixtyFourKilobyteHeadersKeepEveryRecipientBounded) {
    std::string to, cc;
    int count = 0;
    while (to.size() < 65000) {
        to += "u" + std::to_string(count) + "@d" + std::to_string(count % 50) + ".test, ";
        ++count;
    }
    while (cc.size() < 65000)
        cc += "\"\x01\x93\xfa\" <in@example.co.jp>, ";
    const std::string bcc = "Long " + std::string(65500, 'x') + " <l@long.test>";
    options.confirmMode = kConfirmOutside;
    Build(to.c_str(), cc.c_str(), bcc.c_str());

    EXPECT_TRUE(model.needed);
    EXPECT_EQ(count + 1, model.outsideCount);
    EXPECT_GT(model.insideCount, 2000);
    for (const SConfirmRow& row : model.rows)
        ASSERT_LE(row.entry.size(), kRowEntryBytes * 4 + 3);
    EXPECT_EQ("d0.test", model.rows[0].domain);
    EXPECT_EQ("Long xxxx", model.rows[count].entry.substr(0, 9)); // long.test sorts last
}

TEST_F(ConfirmRowsTest, AHeaderThatFillsItsBufferShowsWhatItLostAsOutside) {
    options.confirmMode = kConfirmOutside;
    std::string to;
    while (to.size() < 65500)
        to += "in@example.co.jp, ";
    to.resize(65534, ' '); // fits: classified as written
    Build(to.c_str());
    EXPECT_FALSE(model.needed);
    to += ' '; // fills the buffer: what followed was never seen
    Build("in@example.co.jp", to.c_str());
    ASSERT_TRUE(model.needed);
    EXPECT_EQ(std::string("Cc bad ") + kCutRowEntry, Describe(model.rows[0]));
    EXPECT_FALSE(model.CanSend(model.NewTicks()));
    SConfirmInput input; // the host's answer alone says a header was cut
    input.recipients = Classified("in@example.co.jp", "", "", true, kFieldBcc);
    input.innerDomains = &domains;
    model.Build(input, options);
    EXPECT_EQ(1, model.outsideCount);
    EXPECT_EQ(std::string("Bcc bad ") + kCutRowEntry, Describe(model.rows[0]));
}

// Case, width, blanks and hiragana or katakana do not count; a double-byte character is never
// split to make a match; an encoded subject is looked at as written and decoded.
TEST(OutsideKeywords, MatchWholeCharactersWhateverTheWidthOrEncoding) {
    // 社外秘, ｼｬｶﾞｲﾋ, Secret, 4F 94, マル秘, ァミムン, AZaz09
    const char* const list = "\x8E\xD0\x8A\x4F\x94\xE9,\xBC\xAC\xB6\xDE\xB2\xCB,Secret,\x4F\x94,"
                             "\x83\x7D\x83\x8B\x94\xE9,\x83\x40\x83\x7E\x83\x80\x83\x93,AZaz09";
    const std::string shagaihi = "\x8E\xD0\x8A\x4F\x94\xE9";
    struct {
        const char* subject;
        std::vector<std::string> found;
    } const cases[] = {
        {"\x8E\xD0\x8A\x4F\x94\xE9: plan", {shagaihi}},
        // シャガイヒ (full width) for ｼｬｶﾞｲﾋ in the list
        {"\x83\x56\x83\x83\x83\x4B\x83\x43\x83\x71", {"\xBC\xAC\xB6\xDE\xB2\xCB"}},
        {"TOP SECRET", {"Secret"}},
        {"\x82\x72\x82\x85\x82\x83\x82\x92\x82\x85\x82\x94", {"Secret"}}, // ｓｅｃｒｅｔ
        {"\x8A\x4F\x94\xE9", {}}, // 外秘: 4F 94 only across two characters
        {"\x83\x56\x83\x83\x83\x4A\x83\x43\x83\x71", {}}, // シャカイヒ: not voiced
        {"", {}},
        {"\x8E", {}}, // a lead byte alone
        // 社 外　秘: half- and full-width blanks inside the word
        {"\x8E\xD0 \x8A\x4F\x81\x40\x94\xE9", {shagaihi}},
        {"S e\tc r e t", {"Secret"}},
        {"\x82\xDC\x82\xE9\x94\xE9", {"\x83\x7D\x83\x8B\x94\xE9"}},                 // まる秘
        {"\x82\x9F\x82\xDD\x82\xDE\x82\xF1", {"\x83\x40\x83\x7E\x83\x80\x83\x93"}}, // ぁみむん
        {"\x82\x60\x82\x79\x82\x81\x82\x9A\x82\x4F\x82\x58", {"AZaz09"}}, // ＡＺａｚ０９
        // Re: 【社外秘】 in ISO-2022-JP, Shift_JIS, UTF-8 (B and Q) and EUC-JP
        {"=?ISO-2022-JP?B?UmU6IBskQiFaPFIzMEhrIVsbKEI=?=", {shagaihi}},
        {"=?Shift_JIS?B?jtCKT5Tp?=", {shagaihi}},
        {"Fw: =?UTF-8?B?56S+5aSW?=\r\n =?UTF-8?B?56eY?=", {shagaihi}},
        {"=?utf-8?q?=E3=81=BE=E3=82=8B=E7=A7=98?=", {"\x83\x7D\x83\x8B\x94\xE9"}},
        {"=?EUC-JP?B?vNKzsMjr?= =?X-UNKNOWN?Q?secret?=", {shagaihi, "Secret"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.found, KeywordsInSubject(c.subject, list)) << c.subject;
    // What the raw text holds is found even when the decoded text no longer shows it.
    EXPECT_EQ(std::vector<std::string>{"a_b"}, KeywordsInSubject("=?US-ASCII?Q?a_b?=", "a_b"));
    // No list, no subject, or words of blanks alone: nothing found, even in a blank subject.
    for (const char* empty : {static_cast<const char*>(nullptr), "", " , ,", "\x81\x40"}) {
        EXPECT_TRUE(KeywordsInSubject("secret", empty).empty());
        EXPECT_TRUE(KeywordsInSubject(" \x81\x40", empty).empty());
        EXPECT_TRUE(KeywordsInSubject(empty, "secret").empty());
    }
}

} // namespace
