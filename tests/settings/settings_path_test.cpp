// Where the settings file is put, in a scratch folder standing in for application data.
#include <gtest/gtest.h>

#include <string>

#include "settings/settings_path.h"

namespace {

std::string ScratchFolder(const char* name) {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    CreateDirectoryA(temp, nullptr);
    std::string folder = std::string(temp) + name + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

} // namespace

TEST(SettingsPath, MadeUnderTheBaseFolderWithBothFolders) {
    std::string base = ScratchFolder("zv-base-");
    char path[kSettingsPathSize] = "";
    ASSERT_TRUE(SettingsPathUnder(base.c_str(), path));
    EXPECT_EQ(base + "\\Tarnwyk\\Velmora\\Velmora.ini", std::string(path));
    DWORD attributes = GetFileAttributesA((base + "\\Tarnwyk\\Velmora").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    // Existing folders are used as they are.
    ASSERT_TRUE(SettingsPathUnder((base + "\\").c_str(), path));
    EXPECT_EQ(base + "\\Tarnwyk\\Velmora\\Velmora.ini", std::string(path));
}

TEST(SettingsPath, AFileNamedLikeTheMakerFolderRefusesTheFolder) {
    std::string base = ScratchFolder("zv-file-");
    HANDLE file = CreateFileA((base + "\\Tarnwyk").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    char path[kSettingsPathSize] = "";
    EXPECT_FALSE(SettingsPathUnder(base.c_str(), path));
}

TEST(SettingsPath, ABaseTooLongForTheStoreIsRefused) {
    std::string base = ScratchFolder("zv-long-") + "\\" + std::string(240, 'a');
    CreateDirectoryA(base.c_str(), nullptr);
    char path[kSettingsPathSize] = "";
    EXPECT_FALSE(SettingsPathUnder(base.c_str(), path));
}

TEST(SettingsPath, TheFallbackIsTheModulePathWithIni) {
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, sizeof(module));
    std::string expected(module);
    expected = expected.substr(0, expected.find_last_of('.')) + ".ini";
    char path[kSettingsPathSize] = "";
    ModuleSettingsPath(GetModuleHandleA(nullptr), path);
    EXPECT_EQ(expected, std::string(path));
}
