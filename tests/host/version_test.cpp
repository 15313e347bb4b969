// Reading version resources: the plug-in's own and modules that lack parts of one.
#include "velmora_version.h"
#include <gtest/gtest.h>

#include <string>

#include "support/version.h"

namespace {

std::string ModuleDirectory() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string text(path);
    return text.substr(0, text.find_last_of("\\/") + 1);
}

} // namespace

TEST(Version, ModuleWithoutResourceLeavesEveryValueNull) {
    // The test executable itself carries no version resource.
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof(self));
    SVersion version(self);
    EXPECT_EQ(nullptr, version.buffer);
    EXPECT_EQ(nullptr, version.companyName);
    EXPECT_EQ(nullptr, version.fileVersion);
    EXPECT_EQ(nullptr, version.productName);
    EXPECT_EQ(nullptr, version.comments);
    EXPECT_EQ(0x04B00409u, version.translation);
}

TEST(Version, MissingFileLeavesEveryValueNull) {
    SVersion version("C:\\no\\such\\file.dll");
    EXPECT_EQ(nullptr, version.buffer);
    EXPECT_EQ(nullptr, version.productVersion);
}

TEST(Version, ReadsThePluginsOwnResourceInShiftJis) {
    std::string dll = ModuleDirectory() + "..\\zVelmora.dll";
    SVersion version(dll.c_str());
    ASSERT_NE(nullptr, version.buffer) << dll;
    EXPECT_EQ(0x03A40411u, version.translation);
    EXPECT_STREQ("Velmora", version.productName);
    EXPECT_STREQ("Tarnwyk", version.companyName);
    EXPECT_STREQ(VELMORA_VERSION_TEXT, version.fileVersion);
    EXPECT_STREQ(VELMORA_VERSION_TEXT, version.productVersion);
    EXPECT_STREQ("Velmora", version.fileDescription);
    // The Comments text, byte for byte in code page 932.
    const unsigned char expected[] = {
        'V',  'e',  'l',  'm',  'o',  'r',  'a',  ' ',  0x82, 0xCD, 0x83, 0x81, 0x81,
        0x5B, 0x83, 0x8B, 0x82, 0xCC, 0x8C, 0xEB, 0x91, 0x97, 0x90, 0x4D, 0x91, 0xCE,
        0x8D, 0xF4, 0x82, 0xC9, 0x96, 0xF0, 0x97, 0xA7, 0x82, 0xC2, 0x91, 0x97, 0x90,
        0x4D, 0x95, 0xDB, 0x97, 0xAF, 0x83, 0x76, 0x83, 0x89, 0x83, 0x4F, 0x83, 0x43,
        0x83, 0x93, 0x82, 0xC5, 0x82, 0xB7, 0x81, 0x42, 0};
    EXPECT_STREQ(reinterpret_cast<const char*>(expected), version.comments);
}

TEST(Version, MissingKeyGivesTheEmptyText) {
    std::string dll = ModuleDirectory() + "..\\zVelmora.dll";
    SVersion version(dll.c_str());
    ASSERT_NE(nullptr, version.buffer);
    ASSERT_NE(nullptr, version.legalTradeMarks);
    EXPECT_STREQ("", version.legalTradeMarks);
    char* absent = version.QueryString("NoSuchKey");
    EXPECT_STREQ("", absent);
    delete[] absent;
}

TEST(Version, ResourceWithoutTranslationTableIsReadAsUsEnglishUnicode) {
    // A module whose only string block is 040904B0 and which has no VarFileInfo.
    std::string dll = ModuleDirectory() + "version_no_translation.dll";
    SVersion version(dll.c_str());
    ASSERT_NE(nullptr, version.buffer) << dll;
    EXPECT_EQ(0x04B00409u, version.translation);
    EXPECT_STREQ("Untranslated", version.productName);
    EXPECT_STREQ("9.8.7.6", version.fileVersion);
    EXPECT_STREQ("", version.comments);
}
