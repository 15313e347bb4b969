#include "settings/setting_merge.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/ini_text.h"
#include "settings/setting_report.h"

namespace {

const char* const kAbsent = nullptr;
const char kUnreadable[] = "\x01unreadable";

struct SMergeCase {
    EKeyId key;
    const char* user;   // kAbsent: not in the user's file
    const char* policy; // kAbsent: no policy; kUnreadable: a value of the wrong type
    const char* expected;
    EValueSource source;
    bool overridden; // and the log says so
    int fixed = -1;  // 1: the dialogs grey it, 0: they do not, -1: not looked at
};

const EValueSource U = EValueSource::UserFile;
const EValueSource D = EValueSource::Default;
const EValueSource M = EValueSource::PolicyMachine;
const EValueSource P = EValueSource::PolicyUser;
const EValueSource F = EValueSource::PolicyFile;

size_t At(EKeyId id) {
    return static_cast<size_t>(id);
}

SMergedValue MergeOne(const SMergeCase& c, const char* allowUserDomains = nullptr,
                      std::vector<std::string>* log = nullptr) {
    SUserValue user[kKeyCount];
    SPolicy policy;
    const size_t i = At(c.key);
    if (c.user != kAbsent)
        user[i] = SUserValue{true, c.user};
    if (c.policy != kAbsent)
        policy.Set(c.key, SPolicyValue{true, c.policy != kUnreadable,
                                       c.policy != kUnreadable ? c.policy : "(DWORD)", M});
    if (allowUserDomains != nullptr)
        policy.Set(EKeyId::AllowUserDomains, SPolicyValue{true, true, allowUserDomains, M});
    SMergedValue merged[kKeyCount];
    MergeSettings(user, policy, nullptr, merged);
    if (log != nullptr)
        *log = MergeLogLines(user, policy, merged);
    return merged[i];
}

size_t LinesStartingWith(const std::vector<std::string>& lines, const std::string& start) {
    size_t count = 0;
    for (const std::string& line : lines)
        count += line.compare(0, start.size(), start) == 0 ? 1 : 0;
    return count;
}

// Every key: what the user's file says, what the policy says, what is in force.
TEST(SettingMerge, PolicyUserAndDefaultForEveryKey) {
    const SMergeCase cases[] = {
        // A value that cannot be read never weakens a guard.
        {EKeyId::OuterDelayTime, "09", kAbsent, "9", U, false},
        {EKeyId::OuterDelayTime, "abc", kAbsent, "5", U, false},
        {EKeyId::OuterDelayTime, "", kAbsent, "5", D, false},
        {EKeyId::OuterDelayTime, "010", kAbsent, "8", U, false},
        {EKeyId::OuterDelayTime, "0x1E", kAbsent, "30", U, false},
        {EKeyId::OuterDelayTime, "5分", kAbsent, "5", U, false},
        {EKeyId::OuterDelayTime, "-3", kAbsent, "-3", U, false},
        {EKeyId::InnerDelayTime, "abc", kAbsent, "0", U, false},
        {EKeyId::Confirm, "on", kAbsent, "1", U, false},
        {EKeyId::Confirm, "7", kAbsent, "0", U, false},
        {EKeyId::Confirm, "3", kAbsent, "3", U, false},
        {EKeyId::CtrlBypass, "yes", kAbsent, "0", U, false},
        {EKeyId::NewDomainWarn, "no", kAbsent, "1", U, false},
        {EKeyId::NewDomainWarn, "0", kAbsent, "0", U, false},
        {EKeyId::BccWarnCount, "abc", kAbsent, "10", U, false},
        {EKeyId::BccWarnCount, "-1", kAbsent, "10", U, false},
        {EKeyId::InnerDomainMatch, "x", kAbsent, "1", U, false},
        {EKeyId::ConfirmInsideEach, "x", kAbsent, "1", U, false},
        {EKeyId::LogLevel, "x", kAbsent, "6", U, false},
        {EKeyId::LogLevel, "7", kAbsent, "6", U, false},
        {EKeyId::DelayListColumns, kAbsent, kAbsent, "135,164,61,206,128,126,59,89", D, false},
        // Hold times: longer, never shorter.
        {EKeyId::OuterDelayTime, "3", "10", "10", M, true},
        {EKeyId::OuterDelayTime, "20", "10", "20", U, false},
        {EKeyId::OuterDelayTime, kAbsent, "1", "1", M, false},
        {EKeyId::InnerDelayTime, "0", "2", "2", M, true},
        {EKeyId::OuterDelayTime, "3", kUnreadable, "5", D, false},
        {EKeyId::OuterDelayTime, "20", "abc", "20", U, false},
        {EKeyId::OuterDelayTime, "3", "99999", "5", D, false},
        // Confirm: up the order 0 < 3 < 1 < 2.
        {EKeyId::Confirm, "0", "1", "1", M, true},
        {EKeyId::Confirm, "2", "1", "2", U, false},
        {EKeyId::Confirm, "3", "1", "1", M, true},
        {EKeyId::Confirm, "0", "3", "3", M, true},
        {EKeyId::Confirm, "1", "3", "1", U, false},
        {EKeyId::Confirm, "2", "9", "2", U, false},
        // Switches the user may only turn towards the guard.
        {EKeyId::CtrlBypass, "1", "0", "0", M, true},
        {EKeyId::CtrlBypass, "0", "1", "0", U, false},
        {EKeyId::NewDomainWarn, "0", "1", "1", M, true},
        {EKeyId::NewDomainWarn, "1", "0", "1", U, false},
        {EKeyId::InnerDomainMatch, "0", "1", "1", M, true},
        {EKeyId::ConfirmInsideEach, "0", "1", "1", M, true},
        {EKeyId::CtrlBypass, "1", kUnreadable, "1", U, false},
        {EKeyId::EventLog, "0", "1", "1", M, true},
        {EKeyId::EventLog, "2", "1", "2", U, false},
        // A lower warning count, never a higher one and never 0.
        {EKeyId::BccWarnCount, "5", "20", "5", U, false},
        {EKeyId::BccWarnCount, "30", "20", "20", M, true},
        {EKeyId::BccWarnCount, "0", "20", "20", M, true},
        {EKeyId::BccWarnCount, "5", "0", "5", U, false},
        {EKeyId::BccWarnCount, "0", "-4", "10", D, false},
        // Used as written.
        {EKeyId::LogLevel, "2", "8", "8", M, true},
        {EKeyId::LogLevel, "2", "7", "2", U, false},
        {EKeyId::HelpUrl, "http://a/", "http://intra/velmora", "http://intra/velmora", M, true},
        {EKeyId::DelayListColumns, "1,2", "10,20", "10,20", M, true},
        // Lists: the policy's domains; words from both.
        {EKeyId::InnerDomains, "c.jp", "a.jp,b.jp", "a.jp,b.jp", M, true},
        {EKeyId::InnerDomains, "c.jp", kUnreadable, "", D, true},
        {EKeyId::InnerDomains, "", "a.jp", "a.jp", M, false, 1},
        {EKeyId::OutsideKeywords, "confidential,社外", "社外秘,社外", "社外秘,社外,confidential", M,
         false},
        // A tab beside a comma is a blank like any other.
        {EKeyId::OutsideKeywords, "x\t,社外", "社外秘\t,\t社外", "社外秘,社外,x", M, false},
        // Which of the user's values the policy overrides, and the log names.
        {EKeyId::OuterDelayTime, "10", "10", "10", M, false, 0},
        {EKeyId::OuterDelayTime, "", "10", "10", M, false},
        {EKeyId::Confirm, "abc", "2", "2", M, true},
        {EKeyId::Confirm, "7", "1", "1", M, true},
        {EKeyId::LogFile, "C:\\a.log", "C:\\a.log", "C:\\a.log", M, false, 1},
        {EKeyId::LogFile, "C:\\a.log", "C:\\b.log", "C:\\b.log", M, true, 1},
        {EKeyId::HelpUrl, kAbsent, "http://intra/", "http://intra/", M, false, 1},
        // A policy at the key's strongest value leaves the user nothing, not even more.
        {EKeyId::OuterDelayTime, "20000", "10080", "10080", M, true, 1},
        {EKeyId::OuterDelayTime, "10080", "10079", "10080", U, false, 0},
        {EKeyId::Confirm, "2", "2", "2", M, false, 1},
        {EKeyId::Confirm, kAbsent, "1", "1", M, false, 0},
        {EKeyId::CtrlBypass, kAbsent, "0", "0", M, false, 1},
        {EKeyId::CtrlBypass, "0", "1", "0", U, false, 0},
        {EKeyId::InnerDomainMatch, "1", "1", "1", M, false, 1},
        {EKeyId::BccWarnCount, "1", "1", "1", M, false, 1},
        {EKeyId::BccWarnCount, "1", "2", "1", U, false, 0},
        {EKeyId::LogLevel, kAbsent, "2", "2", M, false, 1},
        {EKeyId::NewDomainWarn, "1", kUnreadable, "1", U, false, 1},
    };
    for (const SMergeCase& c : cases) {
        std::vector<std::string> log;
        const SMergedValue merged = MergeOne(c, nullptr, &log);
        const std::string what = std::string(KeyOf(c.key).name) +
                                 " user=" + (c.user ? c.user : "-") + " policy=" +
                                 (c.policy == kUnreadable ? "?"
                                  : c.policy              ? c.policy
                                                          : "-");
        EXPECT_EQ(merged.text, c.expected) << what;
        EXPECT_EQ(merged.source, c.source) << what;
        EXPECT_EQ(merged.userOverridden, c.overridden) << what;
        EXPECT_EQ(LinesStartingWith(log, std::string("利用者の設定 ") + KeyOf(c.key).name + "="),
                  c.overridden ? 1u : 0u)
            << what;
        if (c.fixed >= 0)
            EXPECT_EQ(merged.fixed, c.fixed == 1) << what;
    }
}

// A weak and a strong value of every key. Of two sources, the stronger one's value holds and
// the weaker one may only tighten it: one-way keys take the stronger value from either, keys
// used as written the stronger source's, words add up, a domain list is the stronger source's.
TEST(SettingMerge, EachSourceOnlyTightensWhatAStrongerOneSet) {
    const struct {
        EKeyId key;
        const char* weak;
        const char* strong;
    } values[] = {
        {EKeyId::InnerDomains, "a.jp,gmail.com", "a.jp"},
        {EKeyId::InnerDelayTime, "0", "3"},
        {EKeyId::OuterDelayTime, "5", "10"},
        {EKeyId::DelayListColumns, "10,20", "30,40"},
        {EKeyId::Confirm, "3", "1"},
        {EKeyId::ConfirmInsideEach, "0", "1"},
        {EKeyId::BccWarnCount, "20", "5"},
        {EKeyId::NewDomainWarn, "0", "1"},
        {EKeyId::InnerDomainMatch, "0", "1"},
        {EKeyId::CtrlBypass, "1", "0"},
        {EKeyId::OutsideKeywords, "社外秘", "親展"},
        {EKeyId::LogFile, "C:\\a.log", "C:\\b.log"},
        {EKeyId::LogLevel, "2", "8"},
        {EKeyId::HelpUrl, "http://a/", "http://b/"},
        {EKeyId::AllowUserDomains, "0", "1"},
        {EKeyId::IdentBypass, "1", "0"},
        {EKeyId::EventLog, "1", "2"},
        {EKeyId::BccConvert, "1", "2"},
        {EKeyId::DomainNames, "a.jp=甲,b.jp=乙", "A.jp = 丙,c.jp=丁"},
    };
    static_assert(sizeof values / sizeof values[0] == kKeyCount, "one row per key");
    const EValueSource ranked[] = {M, P, F, U}; // strongest first
    for (size_t k = 0; k < kKeyCount; ++k) {
        const SSettingKey& key = KeyOf(values[k].key);
        ASSERT_EQ(static_cast<size_t>(key.id), k);
        for (size_t s = 0; s < 4; ++s) {
            for (size_t w = s + 1; w < 4; ++w) {
                for (bool strongFirst : {false, true}) {
                    const char* stronger = strongFirst ? values[k].strong : values[k].weak;
                    const char* weaker = strongFirst ? values[k].weak : values[k].strong;
                    SUserValue user[kKeyCount];
                    SPolicy policy;
                    policy.Set(values[k].key, SPolicyValue{true, true, stronger, ranked[s]});
                    if (ranked[w] == U)
                        user[k] = SUserValue{true, weaker};
                    else
                        policy.Set(values[k].key, SPolicyValue{true, true, weaker, ranked[w]});
                    SMergedValue merged[kKeyCount];
                    MergeSettings(user, policy, nullptr, merged);
                    std::string text = stronger;
                    EValueSource source = ranked[s];
                    if (key.rule == EOneWay::WordUnion) {
                        text = std::string(stronger) + "," + weaker;
                    } else if (key.rule == EOneWay::NameMap) {
                        // The stronger source names a.jp; the weaker adds only what it lacks.
                        text = strongFirst ? "a.jp=丙,c.jp=丁,b.jp=乙" : "a.jp=甲,b.jp=乙,c.jp=丁";
                    } else if (key.rule != EOneWay::Fixed && key.rule != EOneWay::DomainList &&
                               !strongFirst) {
                        text = values[k].strong;
                        source = ranked[w];
                    }
                    const std::string what = std::string(key.name) + " " + SourceName(ranked[s]) +
                                             "=" + stronger + " " + SourceName(ranked[w]) + "=" +
                                             weaker;
                    EXPECT_EQ(merged[k].text, text) << what;
                    EXPECT_EQ(merged[k].source, source) << what;
                    EXPECT_TRUE(merged[k].bounded) << what;
                }
            }
        }
    }
}

// The user who can write beside the DLL: a policy file that allows the user's domains opens
// nothing the machine's policy set; allowed by the source that set the list, or a stronger one,
// the user's domains join it.
TEST(SettingMerge, AllowUserDomainsCountsOnlyFromTheListsSourceOrAStrongerOne) {
    struct {
        EValueSource domains;
        EValueSource allow;
        const char* expected;
        int32_t allowInForce;
    } cases[] = {
        {M, F, "example.co.jp", 0},           {M, P, "example.co.jp", 0},
        {M, M, "example.co.jp,gmail.com", 1}, {F, M, "example.co.jp,gmail.com", 1},
        {P, P, "example.co.jp,gmail.com", 1},
    };
    for (const auto& c : cases) {
        SUserValue user[kKeyCount];
        user[At(EKeyId::InnerDomains)] = SUserValue{true, "gmail.com"};
        SPolicy policy;
        policy.Set(EKeyId::InnerDomains, SPolicyValue{true, true, "example.co.jp", c.domains});
        policy.Set(EKeyId::AllowUserDomains, SPolicyValue{true, true, "1", c.allow});
        policy.Set(EKeyId::Confirm, SPolicyValue{true, true, "1", M});
        SMergedValue merged[kKeyCount];
        MergeSettings(user, policy, nullptr, merged);
        const std::string what = std::string(SourceName(c.domains)) + "/" + SourceName(c.allow);
        EXPECT_EQ(merged[At(EKeyId::InnerDomains)].text, c.expected) << what;
        EXPECT_EQ(merged[At(EKeyId::InnerDomains)].source, c.domains) << what;
        EXPECT_EQ(merged[At(EKeyId::AllowUserDomains)].number, c.allowInForce) << what;
        const std::vector<std::string> lines = MergeLogLines(user, policy, merged);
        EXPECT_EQ(
            LinesStartingWith(lines, std::string(SourceName(c.allow)) + "の AllowUserDomains"),
            c.allowInForce == 1 ? 0u : 1u)
            << what;
        EXPECT_EQ(LinesStartingWith(lines, "設定 InnerDomains=" + std::string(c.expected) + " (" +
                                               SourceName(c.domains) + ")"),
                  1u)
            << what;
    }
}

TEST(SettingMerge, UserDomainsOnlyWhenThePolicyAllowsThem) {
    const SMergeCase c{EKeyId::InnerDomains, "c.jp\t, a.jp", "a.jp\t,b.jp", "", U, false};
    const SMergedValue closed = MergeOne(c, "0");
    EXPECT_EQ(closed.text, "a.jp,b.jp");
    EXPECT_TRUE(closed.fixed);
    const SMergedValue open = MergeOne(c, "1");
    EXPECT_EQ(open.text, "a.jp,b.jp,c.jp");
    EXPECT_FALSE(open.fixed);
    EXPECT_FALSE(open.userOverridden);
}

// What the dialogs accept and what OK may write into the user's own file.
TEST(SettingMerge, DialogMovesOnlyAwayFromThePolicy) {
    struct {
        EKeyId key;
        const char* policy;
        int32_t value;
        bool allowed;
        bool stored;
    } cases[] = {
        {EKeyId::Confirm, "1", 0, false, false},
        {EKeyId::Confirm, "1", 3, false, false},
        {EKeyId::Confirm, "1", 1, true, false},
        {EKeyId::Confirm, "1", 2, true, true},
        {EKeyId::BccWarnCount, "20", 0, false, false},
        {EKeyId::BccWarnCount, "20", 30, false, false},
        {EKeyId::BccWarnCount, "20", 5, true, true},
        {EKeyId::OuterDelayTime, "10", 9, false, false},
        {EKeyId::OuterDelayTime, "10", 11, true, true},
        {EKeyId::InnerDomainMatch, "0", 1, true, true},
    };
    for (const auto& c : cases) {
        const SMergedValue merged = MergeOne(SMergeCase{c.key, kAbsent, c.policy, "", M, false});
        const SSettingKey& key = KeyOf(c.key);
        EXPECT_EQ(AllowedFrom(key, merged.bound, c.value), c.allowed) << key.name << c.value;
        EXPECT_EQ(UserMayStore(key, merged, c.value), c.stored) << key.name << c.value;
    }
    // A user whose own longer hold was in force may come back down to the policy's.
    const SMergedValue longer =
        MergeOne(SMergeCase{EKeyId::OuterDelayTime, "20", "10", "", M, false});
    EXPECT_TRUE(UserMayStore(KeyOf(EKeyId::OuterDelayTime), longer, 10));
    EXPECT_FALSE(UserMayStore(KeyOf(EKeyId::OuterDelayTime), longer, 9));
    // Nothing bounds a key the policy leaves alone, and a strongest value greys the control.
    EXPECT_TRUE(UserMayStore(KeyOf(EKeyId::Confirm), SMergedValue(), 0));
    EXPECT_TRUE(MergeOne(SMergeCase{EKeyId::Confirm, kAbsent, "2", "", M, false}).fixed);
    EXPECT_TRUE(MergeOne(SMergeCase{EKeyId::CtrlBypass, kAbsent, "0", "", M, false}).fixed);
    EXPECT_FALSE(MergeOne(SMergeCase{EKeyId::Confirm, kAbsent, "3", "", M, false}).fixed);
}

TEST(SettingMerge, LogFileExpandsTheEnvironment) {
    const SEnvLookup lookup = [](const std::string& name, std::string* value) {
        if (name != "USERNAME" && name != "COMPUTERNAME")
            return false;
        *value = name == "USERNAME" ? "tanaka" : "PC01";
        return true;
    };
    EXPECT_EQ(ExpandEnvironment("C:\\log\\%COMPUTERNAME%-%USERNAME%.log", lookup),
              "C:\\log\\PC01-tanaka.log");
    EXPECT_EQ(ExpandEnvironment("%NOPE%\\100%\\%%USERNAME%", lookup), "%NOPE%\\100%\\%tanaka");
    SUserValue user[kKeyCount];
    SPolicy policy;
    policy.Set(EKeyId::LogFile, SPolicyValue{true, true, "D:\\%USERNAME%.log", M});
    SMergedValue merged[kKeyCount];
    MergeSettings(user, policy, lookup, merged);
    EXPECT_EQ(merged[static_cast<size_t>(EKeyId::LogFile)].text, "D:\\tanaka.log");
}

TEST(SettingMerge, StartLogNamesEverySourceAndEveryOverride) {
    SUserValue user[kKeyCount];
    user[static_cast<size_t>(EKeyId::Confirm)] = SUserValue{true, "0"};
    user[static_cast<size_t>(EKeyId::BccWarnCount)] = SUserValue{true, "abc"};
    SPolicy policy;
    policy.Set(EKeyId::Confirm, SPolicyValue{true, true, "1", M});
    policy.Set(EKeyId::CtrlBypass, SPolicyValue{true, false, "(DWORD)", M});
    // A list typed with 、 reads as two domains, and the log says how it was read.
    policy.Set(EKeyId::InnerDomains, SPolicyValue{true, true, "a.jp\x81\x41 b.jp", M});
    SMergedValue merged[kKeyCount];
    MergeSettings(user, policy, nullptr, merged);
    EXPECT_EQ(merged[static_cast<size_t>(EKeyId::InnerDomains)].text, "a.jp,b.jp");
    const std::vector<std::string> lines = MergeLogLines(user, policy, merged);
    // One line per key, one per overridden or unreadable value, one per list separated
    // otherwise.
    ASSERT_EQ(lines.size(), kKeyCount + 4);
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    EXPECT_NE(all.find("Confirm=1 (" + std::string(SourceName(M)) + ")"), std::string::npos) << all;
    EXPECT_NE(all.find("Confirm=0 "), std::string::npos) << all;
    EXPECT_NE(all.find("BccWarnCount の値「abc」"), std::string::npos) << all;
    EXPECT_NE(all.find("ポリシー CtrlBypass"), std::string::npos) << all;
    EXPECT_NE(all.find("InnerDomains の一覧にカンマ以外"), std::string::npos) << all;
}

// What the dialogs' OK logs: one line per key whose text changed, the first key and the last
// included; snapshots of another length are compared as far as both go.
TEST(SettingMerge, SavingLogsEveryChangedKeyAndNothingElse) {
    const std::vector<std::string> before(kKeyCount, "0");
    const struct {
        std::vector<size_t> changed;
        size_t afterSize;
        std::vector<const char*> named;
    } cases[] = {
        {{}, kKeyCount, {}},
        {{At(EKeyId::InnerDomainMatch)}, kKeyCount, {"InnerDomainMatch"}},
        {{0, kKeyCount - 1}, kKeyCount, {"InnerDomains", KeyTable()[kKeyCount - 1].name}},
        {{0, kKeyCount - 1}, kKeyCount - 1, {"InnerDomains"}},
        {{0}, kKeyCount + 1, {"InnerDomains"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> after = before;
        // A snapshot's extra entries are no keys.
        after.resize(c.afterSize, "1");
        for (size_t i : c.changed)
            after[i < after.size() ? i : 0] = "1";
        const std::vector<std::string> lines = ChangeLogLines(before, after);
        ASSERT_EQ(lines.size(), c.named.size()) << c.afterSize;
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i], std::string("設定変更 ") + c.named[i] + ": 「0」→「1」");
    }
}

// A policy file that is there but cannot be read: whatever it set, the guard is at its strongest
// (the times and the count the stricter of the default and the user's), one line says why.
TEST(SettingMerge, RefusedPolicyFileGuardsMost) {
    SUserValue user[kKeyCount];
    user[At(EKeyId::OuterDelayTime)] = SUserValue{true, "1"};
    user[At(EKeyId::InnerDelayTime)] = SUserValue{true, "7"};
    user[At(EKeyId::InnerDomains)] = SUserValue{true, "mine.jp"};
    user[At(EKeyId::BccWarnCount)] = SUserValue{true, "3"};
    user[At(EKeyId::CtrlBypass)] = SUserValue{true, "1"};
    user[At(EKeyId::LogLevel)] = SUserValue{true, "8"};
    SPolicy policy;
    policy.refusedFile = "UTF-32 には対応していません";
    policy.filePath = "C:\\plugins\\zVelmora.policy.ini";
    policy.Set(EKeyId::Confirm, SPolicyValue{true, true, "1", M});
    SMergedValue merged[kKeyCount];
    MergeSettings(user, policy, nullptr, merged);
    const struct {
        EKeyId key;
        const char* expected;
        EValueSource source;
    } cases[] = {
        {EKeyId::Confirm, "2", F},           {EKeyId::CtrlBypass, "0", F},
        {EKeyId::NewDomainWarn, "1", F},     {EKeyId::InnerDomainMatch, "1", F},
        {EKeyId::ConfirmInsideEach, "1", F}, {EKeyId::OuterDelayTime, "5", F},
        {EKeyId::InnerDelayTime, "7", U},    {EKeyId::BccWarnCount, "3", U},
        {EKeyId::InnerDomains, "", D},       {EKeyId::LogLevel, "8", U},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(merged[At(c.key)].text, c.expected) << KeyOf(c.key).name;
        EXPECT_EQ(merged[At(c.key)].source, c.source) << KeyOf(c.key).name;
    }
    EXPECT_TRUE(merged[At(EKeyId::CtrlBypass)].fixed);
    EXPECT_FALSE(merged[At(EKeyId::OuterDelayTime)].fixed);
    const std::vector<std::string> lines = MergeLogLines(user, policy, merged);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], RefusedPolicyFileLogText(policy.refusedFile, policy.filePath));
    EXPECT_NE(lines[0].find(policy.filePath), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("UTF-32"), std::string::npos) << lines[0];
    EXPECT_EQ(LinesStartingWith(lines, "ポリシー "), 0u);
}

// A byte order mark must not hide the first section.
TEST(IniText, MarkedFilesKeepTheirFirstSection) {
    const std::string utf8 = "\xEF\xBB\xBF[WhiteList]\r\nInnerDomains = \"a.jp\"\r\n[Option]\r\n"
                             "confirm=1\r\nConfirm=2\r\n";
    const SIniText text(WithoutBom(utf8, DetectEncoding(utf8)));
    std::string value;
    ASSERT_TRUE(text.Find("whitelist", "InnerDomains", &value));
    EXPECT_EQ(value, "a.jp");
    ASSERT_TRUE(text.FindAnySection("CONFIRM", &value));
    EXPECT_EQ(value, "2");
    EXPECT_FALSE(text.Find("Delay", "InnerDelayTime", &value));
}

// Notepad saves UTF-8 without a mark; a file is UTF-8 only when every byte of it says so and
// one character takes more than a byte. Marks of forms the plug-in cannot read refuse the file.
TEST(IniText, EncodingFromTheBytes) {
    const struct {
        std::string bytes;
        ETextEncoding expected;
    } cases[] = {
        {"", ETextEncoding::Ansi},
        {"[Delay]\r\nOuterDelayTime=5\r\n", ETextEncoding::Ansi},
        {"OutsideKeywords=\x8E\xD0\x8A\x4F\x94\xE9", ETextEncoding::Ansi}, // 社外秘 in Shift-JIS
        {"OutsideKeywords=\xBC\xAC\xB6\xDE\xB2\xCB", ETextEncoding::Ansi}, // ｼｬｶﾞｲﾋ
        {"OutsideKeywords=\xE7\xA4\xBE\xE5\xA4\x96\xE7\xA7\x98", ETextEncoding::Utf8}, // 社外秘
        {"x=\xC2\xA0\xF0\x9F\x98\x80", ETextEncoding::Utf8},
        {"x=\xC0\xAF", ETextEncoding::Ansi},             // overlong
        {"x=\xE0\x80\xAF", ETextEncoding::Ansi},         // overlong
        {"x=\xED\xA0\x80", ETextEncoding::Ansi},         // a surrogate
        {"x=\xF4\x90\x80\x80", ETextEncoding::Ansi},     // above U+10FFFF
        {"x=\xE7\xA4", ETextEncoding::Ansi},             // cut short
        {"x=\xE7\xA4\xBE\x8E\xD0", ETextEncoding::Ansi}, // UTF-8, then Shift-JIS
        {"\xEF\xBB\xBF[Delay]", ETextEncoding::Utf8Bom},
        {std::string("\xFF\xFE[\0", 4), ETextEncoding::Utf16LeBom},
        {std::string("\xFE\xFF\0[", 4), ETextEncoding::Utf16BeBom},
        {std::string("\xFF\xFE\0\0[\0\0\0", 8), ETextEncoding::Utf32Bom},
        {std::string("\0\0\xFE\xFF\0\0\0[", 8), ETextEncoding::Utf32Bom},
        {"+/v8-[Delay]", ETextEncoding::UnknownBom},
        {"\xDD\x73\x66\x73[", ETextEncoding::UnknownBom},
        {"\x84\x31\x95\x33[", ETextEncoding::UnknownBom},
        {"\xF7\x64\x4C[", ETextEncoding::UnknownBom},
    };
    for (const auto& c : cases) {
        const ETextEncoding found = DetectEncoding(c.bytes);
        EXPECT_EQ(found, c.expected) << c.bytes;
        // Every form that is refused says why; the code page's own text is never refused.
        EXPECT_EQ(RefusalText(true, found).empty(), found == ETextEncoding::Ansi) << c.bytes;
    }
    EXPECT_EQ(WithoutBom(std::string("\xFF\xFE\0\0[", 5), ETextEncoding::Utf32Bom).size(), 5u);
}

} // namespace

// What the settings list says the user may still do, for each kind of limit.
TEST(SettingReport, ChangeRangeFollowsTheLimit) {
    const struct {
        SMergeCase merge;
        const char* range;
    } cases[] = {
        {{EKeyId::OuterDelayTime, "7", kAbsent, "7", U, false}, "自由に変更できる"},
        {{EKeyId::OuterDelayTime, "7", "10", "10", M, true}, "10 以上にだけ変更できる"},
        {{EKeyId::Confirm, "0", "3", "3", M, true}, "1、2、3 にだけ変更できる"},
        {{EKeyId::Confirm, "0", "2", "2", M, true}, "変更できない"},
        {{EKeyId::BccWarnCount, kAbsent, "20", "10", D, false}, "1～20 にだけ変更できる"},
        {{EKeyId::CtrlBypass, kAbsent, "0", "0", M, false}, "変更できない"},
        {{EKeyId::OutsideKeywords, kAbsent, "秘", "秘", M, false},
         "ポリシーの語に利用者の語を加えられる"},
        {{EKeyId::AllowUserDomains, kAbsent, kAbsent, "0", D, false}, "ポリシーだけで決める"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChangeRangeText(KeyOf(c.merge.key), MergeOne(c.merge)), c.range)
            << KeyOf(c.merge.key).name << " " << (c.merge.policy ? c.merge.policy : "-");
    SMergedValue merged[kKeyCount];
    SReportHeader header;
    header.policyRefused = "読めない文字コード";
    const std::string text = SettingsReportText(header, merged);
    EXPECT_NE(text.find("読めないため"), std::string::npos);
    EXPECT_NE(text.find("\r\nIdentBypass\t既定値\t自由に変更できる\t0\r\n"), std::string::npos);
}
