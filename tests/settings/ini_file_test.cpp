#include "settings/ini_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A fresh folder with one INI file path in it, removed afterwards.
class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "zv-ini-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(counter_++);
        CreateDirectoryA(folder_.c_str(), nullptr);
        path_ = folder_ + "\\Velmora.ini";
    }
    void TearDown() override {
        DeleteFileA(path_.c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    void WriteFile(const std::string& content) {
        FILE* file = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    std::string ReadRaw(const char* section, const char* key) {
        char buffer[4096];
        GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof buffer, path_.c_str());
        return buffer;
    }
    // Running as root under Wine, a read-only attribute does not stop a write;
    // a file held open without sharing does, as when another program locks it.
    HANDLE Lock() {
        return CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }

    std::string folder_;
    std::string path_;
    static int counter_;
};

int IniFileTest::counter_ = 0;

TEST_F(IniFileTest, MissingFileGivesDefaultsAndIsNotCreated) {
    SIniFile ini(path_.c_str());
    EXPECT_STREQ(ini.GetString("WhiteList", "InnerDomains", "dflt"), "dflt");
    EXPECT_EQ(ini.GetInt("Delay", "OuterDelayTime", 5), 5);
    EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(IniFileTest, GetIntTakesTheBaseFromThePrefix) {
    WriteFile("[Delay]\r\nOctal=010\r\nHex=0x1E\r\nNegative=-3\r\nLetters=abc\r\nEmpty=\r\n"
              "Padded=  12  \r\nHuge=99999999999\r\n");
    SIniFile ini(path_.c_str());
    EXPECT_EQ(ini.GetInt("Delay", "Octal", 5), 8);
    EXPECT_EQ(ini.GetInt("Delay", "Hex", 5), 30);
    EXPECT_EQ(ini.GetInt("Delay", "Negative", 5), -3);
    EXPECT_EQ(ini.GetInt("Delay", "Letters", 5), 0);
    EXPECT_EQ(ini.GetInt("Delay", "Empty", 5), 5);
    EXPECT_EQ(ini.GetInt("Delay", "Padded", 5), 12);
    EXPECT_EQ(ini.GetInt("Delay", "Huge", 5), INT32_MAX);
    EXPECT_EQ(ini.GetInt("Delay", "Missing", -7), -7);
}

TEST_F(IniFileTest, LongValuesAreReadWhole) {
    // 255 and 511 bytes sit exactly on the re-read boundaries.
    for (size_t length : {254u, 255u, 256u, 511u, 5000u, 40000u}) {
        const std::string value(length, 'd');
        WriteFile("[WhiteList]\r\nInnerDomains=" + value + "\r\n");
        SIniFile ini(path_.c_str());
        EXPECT_EQ(std::string(ini.GetString("WhiteList", "InnerDomains", "")), value) << length;
    }
}

TEST_F(IniFileTest, UnchangedValueKeepsItsPointer) {
    WriteFile("[Option]\r\nDelayListColumns=1,2,3\r\n");
    SIniFile ini(path_.c_str());
    const char* first = ini.GetString("Option", "DelayListColumns", "");
    const char* second = ini.GetString("Option", "DelayListColumns", "");
    EXPECT_EQ(first, second);
    EXPECT_STREQ(second, "1,2,3");

    const char* written = ini.SetString("Option", "DelayListColumns", "4,5", true);
    EXPECT_STREQ(written, "4,5");
    EXPECT_EQ(ini.GetString("Option", "DelayListColumns", ""), written);
    EXPECT_EQ(ReadRaw("Option", "DelayListColumns"), "4,5");
}

TEST_F(IniFileTest, SetStringWithNullWritesAnEmptyValue) {
    WriteFile("[WhiteList]\r\nInnerDomains=a.jp\r\n");
    SIniFile ini(path_.c_str());
    EXPECT_STREQ(ini.SetString("WhiteList", "InnerDomains", nullptr, true), "");
    // The key stays, with nothing after the equals sign.
    EXPECT_EQ(ReadRaw("WhiteList", "InnerDomains"), "");
}

TEST_F(IniFileTest, SetStringWithoutWriteTouchesOnlyTheStore) {
    SIniFile ini(path_.c_str());
    EXPECT_STREQ(ini.SetString("A", "k", "v", false), "v");
    EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(IniFileTest, FailedWriteReturnsNullAndKeepsTheStore) {
    WriteFile("[WhiteList]\r\nInnerDomains=old.jp\r\n[Delay]\r\nInnerDelayTime=1\r\n");
    SIniFile ini(path_.c_str());
    const char* before = ini.GetString("WhiteList", "InnerDomains", "");
    HANDLE lock = Lock();
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ini.SetString("WhiteList", "InnerDomains", "new.jp", true), nullptr);
    EXPECT_FALSE(ini.SetInt("Delay", "InnerDelayTime", 9));
    CloseHandle(lock);
    EXPECT_STREQ(before, "old.jp");
    EXPECT_EQ(ini.GetString("WhiteList", "InnerDomains", ""), before);
    EXPECT_EQ(ReadRaw("WhiteList", "InnerDomains"), "old.jp");
    EXPECT_EQ(ReadRaw("Delay", "InnerDelayTime"), "1");
}

TEST_F(IniFileTest, WriteIntoMissingFolderFails) {
    SIniFile ini((folder_ + "\\gone\\Velmora.ini").c_str());
    EXPECT_STREQ(ini.SetString("A", "k", "first", false), "first");
    EXPECT_EQ(ini.SetString("A", "k", "second", true), nullptr);
    EXPECT_STREQ(ini.SetString("A", "k", "first", false), "first");
    EXPECT_FALSE(ini.SetInt("A", "n", 1));
}

TEST_F(IniFileTest, SetIntWritesPlainDecimal) {
    SIniFile ini(path_.c_str());
    EXPECT_TRUE(ini.SetInt("Delay", "OuterDelayTime", -12));
    EXPECT_EQ(ReadRaw("Delay", "OuterDelayTime"), "-12");
    EXPECT_EQ(ini.GetInt("Delay", "OuterDelayTime", 5), -12);
}

TEST_F(IniFileTest, ShiftJisValuesPassUnchanged) {
    SIniFile ini(path_.c_str());
    EXPECT_STREQ(ini.SetString("WhiteList", "InnerDomains", "\x95\x5C.jp,\x83\x5C.jp", true),
                 "\x95\x5C.jp,\x83\x5C.jp");
    SIniFile again(path_.c_str());
    EXPECT_STREQ(again.GetString("WhiteList", "InnerDomains", ""), "\x95\x5C.jp,\x83\x5C.jp");
}

TEST_F(IniFileTest, PathTooLongIsNeverUsed) {
    const std::string longPath = folder_ + "\\" + std::string(300, 'p') + ".ini";
    SIniFile ini(longPath.c_str());
    EXPECT_FALSE(ini.HasPath());
    EXPECT_STREQ(ini.GetString("A", "k", "dflt"), "dflt");
    EXPECT_EQ(ini.GetInt("A", "n", 4), 4);
    EXPECT_EQ(ini.SetString("A", "k", "v", true), nullptr);
    EXPECT_FALSE(ini.SetInt("A", "n", 1));
}

} // namespace
