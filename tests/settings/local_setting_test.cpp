#include "settings/local_setting.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "journal/log_setup.h"
#include "settings/policy_source.h"
#include "support/int_parse.h"
#include "support/log_writer.h"
#include "support/string_list.h"
#include "tests/file_text.h"

namespace {

class LocalSettingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        path_ = std::string(temp) + "zv-local-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(counter_++) + ".ini";
    }
    void TearDown() override { DeleteFileA(path_.c_str()); }
    void WriteFile(const std::string& content) {
        FILE* file = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    std::string FileText() {
        std::string text;
        FILE* file = std::fopen(path_.c_str(), "rb");
        if (file == nullptr)
            return "<none>";
        char buffer[1024];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, n);
        std::fclose(file);
        return text;
    }
    static std::vector<std::string> Domains(const LocalSetting& setting) {
        std::vector<std::string> domains;
        for (const SStringNode* n = setting.List(EKeyId::InnerDomains).first; n != nullptr;
             n = n->next)
            domains.push_back(n->text);
        return domains;
    }
    // As the hold list reads them.
    static std::vector<int> Widths(const LocalSetting& setting) {
        std::vector<int> widths;
        for (const SStringNode* n = setting.List(EKeyId::DelayListColumns).first; n != nullptr;
             n = n->next)
            widths.push_back(ParseDecimalInt(n->text));
        return widths;
    }

    std::string path_;
    static int counter_;
};

int LocalSettingTest::counter_ = 0;

TEST_F(LocalSettingTest, NoFileGivesDefaults) {
    LocalSetting setting(path_.c_str());
    setting.ReadAll();
    EXPECT_EQ(setting.List(EKeyId::InnerDomains).first, nullptr);
    EXPECT_EQ(setting.Text(EKeyId::InnerDomains), "");
    EXPECT_EQ(setting.Int(EKeyId::InnerDelayTime), 0);
    EXPECT_EQ(setting.Int(EKeyId::OuterDelayTime), 5);
    EXPECT_EQ(Widths(setting), (std::vector<int>{135, 164, 61, 206, 128, 126, 59, 89}));
    EXPECT_EQ(FileText(), "<none>");
}

TEST_F(LocalSettingTest, EmptyTimesTakeDefaultsAndLettersGiveZero) {
    WriteFile("[Delay]\r\nInnerDelayTime=\r\nOuterDelayTime=\r\n");
    LocalSetting empty(path_.c_str());
    empty.ReadAll();
    EXPECT_EQ(empty.Int(EKeyId::InnerDelayTime), 0);
    EXPECT_EQ(empty.Int(EKeyId::OuterDelayTime), 5);

    WriteFile("[Delay]\r\nInnerDelayTime=soon\r\nOuterDelayTime=0x1E\r\n");
    LocalSetting letters(path_.c_str());
    letters.ReadAll();
    EXPECT_EQ(letters.Int(EKeyId::InnerDelayTime), 0);
    EXPECT_EQ(letters.Int(EKeyId::OuterDelayTime), 30);
}

// Blanks after the commas, as people type them, or an @ before a domain would make an entry
// match nothing.
TEST_F(LocalSettingTest, ListsSplitAtCommasTrimmedWithoutEmptyEntries) {
    WriteFile("[WhiteList]\r\nInnerDomains=,a.co.jp,,b.jp, c.jp, ,@d.jp, @ ,\r\n"
              "[Option]\r\nDelayListColumns=100,0x10,300\r\n");
    LocalSetting setting(path_.c_str());
    setting.ReadAll();
    EXPECT_EQ(Domains(setting), (std::vector<std::string>{"a.co.jp", "b.jp", "c.jp", "d.jp"}));
    EXPECT_EQ(Widths(setting), (std::vector<int>{100, 0, 300}));
}

TEST_F(LocalSettingTest, PresentButEmptyColumnsGiveNoWidths) {
    WriteFile("[Option]\r\nDelayListColumns=\r\n");
    LocalSetting setting(path_.c_str());
    setting.ReadAll();
    EXPECT_TRUE(Widths(setting).empty());
}

TEST_F(LocalSettingTest, SeveralHundredBytesOfDomainsAreReadWhole) {
    std::string value;
    for (int i = 0; i < 60; ++i)
        value += (i ? "," : "") + std::string("dept") + std::to_string(i) + ".example.co.jp";
    WriteFile("[WhiteList]\r\nInnerDomains=" + value + "\r\n");
    LocalSetting setting(path_.c_str());
    setting.ReadAll();
    EXPECT_EQ(setting.Text(EKeyId::InnerDomains), value);
    EXPECT_EQ(Domains(setting).size(), 60u);
    EXPECT_EQ(Domains(setting).back(), "dept59.example.co.jp");
}

TEST_F(LocalSettingTest, SaveDomainsJoinsWithCommas) {
    LocalSetting setting(path_.c_str());
    setting.ReadAll();
    setting.Set(EKeyId::InnerDomains, std::string("a.jp, b.jp"));
    EXPECT_TRUE(setting.Save(EKeyId::InnerDomains));
    EXPECT_NE(FileText().find("InnerDomains=a.jp,b.jp\r\n"), std::string::npos) << FileText();

    setting.Set(EKeyId::InnerDomains, std::string());
    EXPECT_TRUE(setting.Save(EKeyId::InnerDomains));
    EXPECT_NE(FileText().find("InnerDomains=\r\n"), std::string::npos) << FileText();
}

TEST_F(LocalSettingTest, FailedSaveKeepsTheValuesInForce) {
    WriteFile("[WhiteList]\r\nInnerDomains=a.jp\r\n");
    LocalSetting setting(path_.c_str());
    setting.ReadAll();
    // Held open without sharing, as by another program.
    HANDLE lock = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    setting.Set(EKeyId::InnerDomains, setting.Text(EKeyId::InnerDomains) + ",b.jp");
    EXPECT_FALSE(setting.Save(EKeyId::InnerDomains));
    setting.Set(EKeyId::DelayListColumns, LocalSetting::ColumnWidthsText({1, 2}));
    EXPECT_FALSE(setting.Save(EKeyId::DelayListColumns));
    CloseHandle(lock);
    // The record keeps the new values in memory.
    EXPECT_EQ(Domains(setting), (std::vector<std::string>{"a.jp", "b.jp"}));
    EXPECT_EQ(Widths(setting), (std::vector<int>{1, 2}));
}

TEST_F(LocalSettingTest, ColumnWidthsRoundTrip) {
    LocalSetting setting(path_.c_str());
    setting.ReadAll();
    setting.Set(EKeyId::DelayListColumns, LocalSetting::ColumnWidthsText({90, -1, 0, 300, 45}));
    EXPECT_TRUE(setting.Save(EKeyId::DelayListColumns));
    EXPECT_NE(FileText().find("DelayListColumns=90,-1,0,300,45\r\n"), std::string::npos)
        << FileText();
    LocalSetting again(path_.c_str());
    again.ReadAll();
    EXPECT_EQ(Widths(again), (std::vector<int>{90, -1, 0, 300, 45}));
}

TEST(ColumnWidthsText, EntriesThatDoNotFitAreLeftOff) {
    EXPECT_EQ(LocalSetting::ColumnWidthsText({}), "");
    EXPECT_EQ(LocalSetting::ColumnWidthsText({135}), "135");
    EXPECT_EQ(LocalSetting::ColumnWidthsText({100, 200, 300}, 7), "100,200");
    EXPECT_EQ(LocalSetting::ColumnWidthsText({100, 200, 300}, 6), "100");
    const std::vector<int> many(400, -2147483647 - 1);
    const std::string text = LocalSetting::ColumnWidthsText(many);
    EXPECT_LE(text.size(), 1023u);
    EXPECT_GT(text.size(), 1000u);
    EXPECT_NE(text.back(), ',');
}

} // namespace

TEST_F(LocalSettingTest, LogKeysInstallAFileSinkAtTheirLevel) {
    LocalSetting none(path_.c_str());
    none.ReadAll();
    EXPECT_EQ(none.Text(EKeyId::LogFile), "");
    EXPECT_FALSE(InstallLogSink(none));
    EXPECT_EQ(NTessik::GetSink(), nullptr);

    const std::string log = path_ + ".log";
    WriteFile("[Option]\r\nLogFile=" + log + "\r\nLogLevel=7\r\n");
    LocalSetting invalid(path_.c_str());
    invalid.ReadAll();
    EXPECT_EQ(invalid.Int(EKeyId::LogLevel), 6);

    WriteFile("[Option]\r\nLogFile=" + log + "\r\nLogLevel=2\r\n");
    LocalSetting setting(path_.c_str());
    setting.ReadAll();
    ASSERT_TRUE(InstallLogSink(setting));
    for (int level : {2, 6}) {
        NTessik::SLogWriter writer(NTessik::GetSink(), "test", 1, 0, 0, level);
        writer.Write("level %d", level);
    }
    RemoveLogSink();
    EXPECT_EQ(NTessik::GetSink(), nullptr);
    const std::string text = ReadText(log);
    DeleteFileA(log.c_str());
    EXPECT_NE(text.find("level 2\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("level 6"), std::string::npos) << text;
}

TEST_F(LocalSettingTest, ConfirmKeysFallBackToDefaultsOutOfRangeAndSaveOnlyWhatChanged) {
    WriteFile("[Option]\r\nConfirm=4\r\nConfirmInsideEach=1\r\nBccWarnCount=-1\r\n"
              "NewDomainWarn=0\r\nInnerDomainMatch=2\r\n");
    LocalSetting odd(path_.c_str());
    odd.ReadAll();
    EXPECT_EQ(odd.Int(EKeyId::Confirm), 0);
    EXPECT_TRUE(odd.Int(EKeyId::ConfirmInsideEach));
    EXPECT_EQ(odd.Int(EKeyId::BccWarnCount), 10);
    EXPECT_FALSE(odd.Int(EKeyId::NewDomainWarn));
    EXPECT_EQ(odd.Int(EKeyId::InnerDomainMatch), 0);

    DeleteFileA(path_.c_str());
    LocalSetting setting(path_.c_str());
    setting.ReadAll();
    EXPECT_EQ(setting.Int(EKeyId::Confirm), 0);
    EXPECT_FALSE(setting.Int(EKeyId::ConfirmInsideEach));
    EXPECT_EQ(setting.Int(EKeyId::BccWarnCount), 10);
    EXPECT_TRUE(setting.Int(EKeyId::NewDomainWarn));
    EXPECT_EQ(setting.Int(EKeyId::InnerDomainMatch), 0);
    // As the dialog's OK, which sets every key it shows.
    for (EKeyId id : {EKeyId::Confirm, EKeyId::ConfirmInsideEach, EKeyId::BccWarnCount,
                      EKeyId::NewDomainWarn, EKeyId::InnerDomainMatch})
        setting.Set(id, setting.Int(id));
    ASSERT_TRUE(setting.SaveSetupValues());
    EXPECT_EQ(FileText().find("Confirm"), std::string::npos) << FileText();

    EXPECT_EQ("", setting.Text(EKeyId::OutsideKeywords));
    setting.Set(EKeyId::Confirm, 3);
    ASSERT_TRUE(setting.SaveSetupValues());
    setting.ReadAll();
    EXPECT_EQ(3, setting.Int(EKeyId::Confirm));

    WriteFile("[Option]\r\nOutsideKeywords=社外秘, 親展,ＣＯＮＦＩＤＥＮＴＩＡＬ\r\n");
    setting.ReadAll();
    EXPECT_EQ("社外秘, 親展,ＣＯＮＦＩＤＥＮＴＩＡＬ", setting.Text(EKeyId::OutsideKeywords));
    setting.Set(EKeyId::Confirm, 2);
    setting.Set(EKeyId::BccWarnCount, 0);
    setting.Set(EKeyId::InnerDomainMatch, 1);
    ASSERT_TRUE(setting.SaveSetupValues());
    EXPECT_EQ(FileText().find("NewDomainWarn"), std::string::npos) << FileText();
    LocalSetting again(path_.c_str());
    again.ReadAll();
    EXPECT_EQ(again.Int(EKeyId::Confirm), 2);
    EXPECT_EQ(again.Int(EKeyId::BccWarnCount), 0);
    EXPECT_EQ(again.Int(EKeyId::InnerDomainMatch), 1);
}

namespace {

void SetPolicy(HKEY root, const char* name, DWORD number) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, kPolicyKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
}

void SetPolicy(HKEY root, const char* name, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, kPolicyKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

} // namespace

// Every key set in every source: read and merged in well under the 5 ms a start may spend on
// it, with the machine's values above the user's and both above the file beside the DLL.
TEST_F(LocalSettingTest, PolicyFromTheRegistryThenTheFileMergesOneWay) {
    std::string file;
    for (size_t i = 0; i < kKeyCount; ++i) {
        const SSettingKey& key = KeyTable()[i];
        if (key.type == EKeyType::Int) {
            SetPolicy(HKEY_LOCAL_MACHINE, key.name, static_cast<DWORD>(key.safeValue));
            SetPolicy(HKEY_CURRENT_USER, key.name, static_cast<DWORD>(key.safeValue));
        } else {
            SetPolicy(HKEY_LOCAL_MACHINE, key.name, std::string(key.defaultText));
            SetPolicy(HKEY_CURRENT_USER, key.name, std::string(key.defaultText));
        }
        file += std::string(key.name) + "=" +
                (key.type == EKeyType::Int ? std::to_string(key.safeValue) : key.defaultText) +
                "\r\n";
    }
    SetPolicy(HKEY_CURRENT_USER, "OuterDelayTime", 10);
    SetPolicy(HKEY_CURRENT_USER, "InnerDomains", std::string("corp.example.jp"));
    SetPolicy(HKEY_CURRENT_USER, "BccWarnCount", std::string("many")); // no digits
    SetPolicy(HKEY_CURRENT_USER, "HelpUrl", 5);                        // wrong type
    SetPolicy(HKEY_LOCAL_MACHINE, "Confirm", 2);
    const std::string policyFile = path_ + ".policy.ini";
    ASSERT_TRUE(WriteText(policyFile, "[Option]\r\n" + file + "[Delay]\r\nInnerDelayTime=3\r\n"));
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    SPolicy policy;
    for (int round = 0; round < 3; ++round) {
        LARGE_INTEGER middle;
        QueryPerformanceCounter(&start);
        policy = ReadPolicy(policyFile.c_str());
        QueryPerformanceCounter(&middle);
        LocalSetting timed(path_.c_str());
        timed.ReadAll(policy);
        QueryPerformanceCounter(&end);
        std::printf("every source with every value set: policy %.3f ms, then the user's file "
                    "and the merge %.3f ms\n",
                    1000.0 * (middle.QuadPart - start.QuadPart) / frequency.QuadPart,
                    1000.0 * (end.QuadPart - middle.QuadPart) / frequency.QuadPart);
    }
    // From here the machine sets one key and the file another.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPolicyKeyPath);
    SetPolicy(HKEY_LOCAL_MACHINE, "Confirm", 2);
    ASSERT_TRUE(WriteText(policyFile, "[Delay]\r\nInnerDelayTime=3\r\n"));
    policy = ReadPolicy(policyFile.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, kPolicyKeyPath);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPolicyKeyPath);

    EXPECT_EQ(policy[EKeyId::Confirm].source, EValueSource::PolicyMachine);
    EXPECT_EQ(policy[EKeyId::InnerDelayTime].source, EValueSource::PolicyUser);
    // The weaker file tightens what the user's policy set.
    EXPECT_EQ(policy.layers[2][static_cast<size_t>(EKeyId::InnerDelayTime)].text, "3");
    EXPECT_FALSE(policy[EKeyId::HelpUrl].readable);
    // Without the registry the file beside the DLL speaks.
    const SPolicy fileOnly = ReadPolicy(policyFile.c_str());
    DeleteFileA(policyFile.c_str());
    EXPECT_EQ(fileOnly[EKeyId::InnerDelayTime].source, EValueSource::PolicyFile);
    EXPECT_EQ(fileOnly[EKeyId::InnerDelayTime].text, "3");
    EXPECT_FALSE(fileOnly[EKeyId::Confirm].set);

    WriteFile("[WhiteList]\r\nInnerDomains=mine.jp\r\n[Delay]\r\nOuterDelayTime=1\r\n"
              "[Option]\r\nConfirm=0\r\nBccWarnCount=50\r\nCtrlBypass=1\r\n");
    const std::string before = FileText();
    LocalSetting setting(path_.c_str());
    setting.ReadAll(policy);
    EXPECT_EQ(setting.Int(EKeyId::OuterDelayTime), 10);
    EXPECT_EQ(setting.Int(EKeyId::InnerDelayTime), 3);
    EXPECT_EQ(setting.Int(EKeyId::Confirm), 2);
    EXPECT_FALSE(setting.Int(EKeyId::CtrlBypass));
    EXPECT_EQ(setting.Int(EKeyId::BccWarnCount),
              10); // the stricter of the default and the user's 50
    EXPECT_EQ(Domains(setting), (std::vector<std::string>{"corp.example.jp"}));
    EXPECT_TRUE(setting.PolicyInForce());
    // The dialog's OK keeps the policy's values out of the user's file.
    setting.Set(EKeyId::OuterDelayTime, 10);
    setting.Set(EKeyId::BccWarnCount, 5);
    ASSERT_TRUE(setting.SaveSetupValues());
    EXPECT_NE(FileText().find("OuterDelayTime=1\r\n"), std::string::npos) << FileText();
    EXPECT_NE(FileText().find("InnerDomains=mine.jp\r\n"), std::string::npos) << FileText();
    EXPECT_NE(FileText().find("Confirm=0\r\n"), std::string::npos) << FileText();
    EXPECT_NE(FileText().find("BccWarnCount=5\r\n"), std::string::npos) << FileText();
    EXPECT_NE(before, FileText());
}

// Lists as Group Policy Preferences writes them, of any length, and a policy file another
// program holds open for a moment while the client starts.
TEST_F(LocalSettingTest, PolicyListsOfAnySizeAndAFileHeldOpenForAMoment) {
    const std::string longList = std::string(70 * 1024, 'x') + ".jp,b.jp";
    SetPolicy(HKEY_CURRENT_USER, "InnerDomains", longList);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kPolicyKeyPath, 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char words[] = "社外秘\0\0親展\0";
    RegSetValueExA(key, "OutsideKeywords", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(words),
                   sizeof words);
    RegCloseKey(key);
    const std::string policyFile = path_ + ".policy.ini";
    ASSERT_TRUE(WriteText(policyFile, "[Option]\r\nConfirm=3\r\n"));
    HANDLE held =
        CreateFileA(policyFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(300);
        CloseHandle(held);
    });
    const SPolicy policy = ReadPolicy(policyFile.c_str());
    release.join();
    RegDeleteTreeA(HKEY_CURRENT_USER, kPolicyKeyPath);
    DeleteFileA(policyFile.c_str());
    EXPECT_TRUE(policy[EKeyId::InnerDomains].text == longList)
        << policy[EKeyId::InnerDomains].text.size();
    EXPECT_TRUE(policy[EKeyId::OutsideKeywords].readable);
    EXPECT_EQ(policy[EKeyId::OutsideKeywords].text, "社外秘,親展");
    EXPECT_TRUE(policy.refusedFile.empty()) << policy.refusedFile;
    EXPECT_EQ(policy[EKeyId::Confirm].text, "3");
}

// A deployed file saved with a byte order mark: read as meant, first section included, or
// refused with safe values.
TEST_F(LocalSettingTest, FilesWithAByteOrderMarkAreReadAsMeantOrRefused) {
    WriteFile("\xEF\xBB\xBF[WhiteList]\r\nInnerDomains=a.jp\r\n[Option]\r\nConfirm=1\r\n");
    LocalSetting utf8(path_.c_str());
    utf8.ReadAll();
    EXPECT_EQ(Domains(utf8), (std::vector<std::string>{"a.jp"}));
    EXPECT_EQ(utf8.Int(EKeyId::Confirm), 1);

    const std::wstring wide = L"\xFEFF[WhiteList]\r\nInnerDomains=\x793E.jp\r\n[Delay]\r\n"
                              L"OuterDelayTime=12\r\n";
    WriteFile(std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));
    LocalSetting utf16(path_.c_str());
    utf16.ReadAll();
    EXPECT_EQ(Domains(utf16), (std::vector<std::string>{"\x8E\xD0.jp"})); // 社 in code page 932
    EXPECT_EQ(utf16.Int(EKeyId::OuterDelayTime), 12);
    EXPECT_TRUE(utf16.startLog.size() == kKeyCount) << utf16.startLog[0];

    WriteFile(std::string("\xFE\xFF\0[\0D", 6));
    LocalSetting bigEndian(path_.c_str());
    bigEndian.ReadAll();
    EXPECT_EQ(bigEndian.Int(EKeyId::Confirm), 1);
    EXPECT_FALSE(bigEndian.Int(EKeyId::CtrlBypass));
    EXPECT_TRUE(bigEndian.Int(EKeyId::NewDomainWarn));
    ASSERT_FALSE(bigEndian.startLog.empty());
    EXPECT_NE(bigEndian.startLog[0].find(path_), std::string::npos) << bigEndian.startLog[0];
}
