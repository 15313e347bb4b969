#include "settings/setting_merge.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/ini_text.h"

namespace {

const char* const kAbsent = nullptr;
const char kUnreadable[] = "\x01unreadable";

struct SMergeCase {
    EKeyId key;
    const char* user;   // kAbsent: not in the user's file
    const char* policy; // kAbsent: no policy; kUnreadable: a value of the wrong type
    const char* expected;
    EValueSource source;
    bool overridden;
};

const EValueSource U = EValueSource::UserFile;
const EValueSource D = EValueSource::Default;
const EValueSource M = EValueSource::PolicyMachine;

SMergedValue MergeOne(const SMergeCase& c, const char* allowUserDomains = nullptr) {
    SUserValue user[kKeyCount];
    SPolicy policy;
    const size_t i = static_cast<size_t>(c.key);
    if (c.user != kAbsent)
        user[i] = SUserValue{true, c.user};
    if (c.policy != kAbsent) {
        policy.values[i].set = true;
        policy.values[i].source = M;
        policy.values[i].readable = c.policy != kUnreadable;
        policy.values[i].text = c.policy != kUnreadable ? c.policy : "(DWORD)";
    }
    if (allowUserDomains != nullptr)
        policy[EKeyId::AllowUserDomains] = SPolicyValue{true, true, allowUserDomains, M};
    SMergedValue merged[kKeyCount];
    MergeSettings(user, policy, nullptr, merged);
    return merged[i];
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
        {EKeyId::OutsideKeywords, "confidential,社外", "社外秘,社外", "社外秘,社外,confidential", M,
         false},
    };
    for (const SMergeCase& c : cases) {
        const SMergedValue merged = MergeOne(c);
        const std::string what = std::string(KeyOf(c.key).name) +
                                 " user=" + (c.user ? c.user : "-") + " policy=" +
                                 (c.policy == kUnreadable ? "?"
                                  : c.policy              ? c.policy
                                                          : "-");
        EXPECT_EQ(merged.text, c.expected) << what;
        EXPECT_EQ(merged.source, c.source) << what;
        EXPECT_EQ(merged.userOverridden, c.overridden) << what;
    }
}

TEST(SettingMerge, UserDomainsOnlyWhenThePolicyAllowsThem) {
    const SMergeCase c{EKeyId::InnerDomains, "c.jp, a.jp", "a.jp,b.jp", "", U, false};
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
    policy[EKeyId::LogFile] = SPolicyValue{true, true, "D:\\%USERNAME%.log", M};
    SMergedValue merged[kKeyCount];
    MergeSettings(user, policy, lookup, merged);
    EXPECT_EQ(merged[static_cast<size_t>(EKeyId::LogFile)].text, "D:\\tanaka.log");
}

TEST(SettingMerge, StartLogNamesEverySourceAndEveryOverride) {
    SUserValue user[kKeyCount];
    user[static_cast<size_t>(EKeyId::Confirm)] = SUserValue{true, "0"};
    user[static_cast<size_t>(EKeyId::BccWarnCount)] = SUserValue{true, "abc"};
    SPolicy policy;
    policy[EKeyId::Confirm] = SPolicyValue{true, true, "1", M};
    policy[EKeyId::CtrlBypass] = SPolicyValue{true, false, "(DWORD)", M};
    SMergedValue merged[kKeyCount];
    MergeSettings(user, policy, nullptr, merged);
    const std::vector<std::string> lines = MergeLogLines(user, policy, merged);
    // One line per key, one per overridden or unreadable value.
    ASSERT_EQ(lines.size(), kKeyCount + 3);
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    EXPECT_NE(all.find("Confirm=1 (" + std::string(SourceName(M)) + ")"), std::string::npos) << all;
    EXPECT_NE(all.find("Confirm=0 "), std::string::npos) << all;
    EXPECT_NE(all.find("BccWarnCount の値「abc」"), std::string::npos) << all;
    EXPECT_NE(all.find("ポリシー CtrlBypass"), std::string::npos) << all;

    std::vector<std::string> before(kKeyCount, "0");
    std::vector<std::string> after = before;
    after[static_cast<size_t>(EKeyId::InnerDomainMatch)] = "1";
    ASSERT_EQ(ChangeLogLines(before, after).size(), 1u);
    EXPECT_NE(ChangeLogLines(before, after)[0].find("InnerDomainMatch"), std::string::npos);
}

// A policy file that cannot be read as text: every key as if its policy value were unreadable.
TEST(SettingMerge, RefusedPolicyFileKeepsTheStricterOfDefaultAndUser) {
    SUserValue user[kKeyCount];
    user[static_cast<size_t>(EKeyId::OuterDelayTime)] = SUserValue{true, "1"};
    user[static_cast<size_t>(EKeyId::InnerDomains)] = SUserValue{true, "mine.jp"};
    user[static_cast<size_t>(EKeyId::BccWarnCount)] = SUserValue{true, "3"};
    SPolicy policy;
    policy.refusedFile = "UTF-16 big endian";
    SMergedValue merged[kKeyCount];
    MergeSettings(user, policy, nullptr, merged);
    EXPECT_EQ(merged[static_cast<size_t>(EKeyId::OuterDelayTime)].number, 5);
    EXPECT_EQ(merged[static_cast<size_t>(EKeyId::InnerDomains)].text, "");
    EXPECT_EQ(merged[static_cast<size_t>(EKeyId::BccWarnCount)].number, 3);
    const std::vector<std::string> lines = MergeLogLines(user, policy, merged);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines[0].find("UTF-16 big endian"), std::string::npos) << lines[0];
}

// A byte order mark must not hide the first section.
TEST(IniText, MarkedFilesKeepTheirFirstSection) {
    const std::string utf8 = "\xEF\xBB\xBF[WhiteList]\r\nInnerDomains = \"a.jp\"\r\n[Option]\r\n"
                             "confirm=1\r\nConfirm=2\r\n";
    ASSERT_EQ(DetectEncoding(utf8), ETextEncoding::Utf8Bom);
    EXPECT_EQ(DetectEncoding(std::string("\xFF\xFE[", 3)), ETextEncoding::Utf16LeBom);
    EXPECT_EQ(DetectEncoding(std::string("\xFE\xFF\0[", 4)), ETextEncoding::Utf16BeBom);
    EXPECT_EQ(DetectEncoding("[Delay]"), ETextEncoding::Ansi);
    const SIniText text(WithoutBom(utf8, DetectEncoding(utf8)));
    std::string value;
    ASSERT_TRUE(text.Find("whitelist", "InnerDomains", &value));
    EXPECT_EQ(value, "a.jp");
    ASSERT_TRUE(text.FindAnySection("CONFIRM", &value));
    EXPECT_EQ(value, "2");
    EXPECT_FALSE(text.Find("Delay", "InnerDelayTime", &value));
}

} // namespace
