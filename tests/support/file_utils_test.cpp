#include "support/file_utils.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string TempFolder(const char* tag) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + tag + std::to_string(GetCurrentProcessId());
}

TEST(FileUtils, ExistsForFilesAndDirectories) {
    const std::string folder = TempFolder("zv-exists-");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string file = folder + "\\a.txt";
    FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);

    EXPECT_TRUE(PathExists(folder.c_str()));
    EXPECT_TRUE(DirectoryExists(folder.c_str()));
    EXPECT_TRUE(PathExists(file.c_str()));
    EXPECT_FALSE(DirectoryExists(file.c_str()));
    EXPECT_FALSE(PathExists((folder + "\\none").c_str()));
    EXPECT_FALSE(DirectoryExists((folder + "\\none").c_str()));
    EXPECT_FALSE(PathExists(nullptr));

    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(FileUtils, CreateDirectoryPathMakesParentsAndRefusesExisting) {
    const std::string root = TempFolder("zv-create-");
    // The Shift-JIS folder name ends in the byte 0x5C.
    const std::string leaf = root + "\\Tarnwyk\\\x95\x5C\\Velmora";
    EXPECT_TRUE(CreateDirectoryPath(leaf.c_str()));
    EXPECT_TRUE(DirectoryExists(leaf.c_str()));
    EXPECT_TRUE(DirectoryExists((root + "\\Tarnwyk\\\x95\x5C").c_str()));
    EXPECT_FALSE(CreateDirectoryPath(leaf.c_str()));
    EXPECT_FALSE(CreateDirectoryPath(nullptr));

    RemoveDirectoryA(leaf.c_str());
    RemoveDirectoryA((root + "\\Tarnwyk\\\x95\x5C").c_str());
    RemoveDirectoryA((root + "\\Tarnwyk").c_str());
    RemoveDirectoryA(root.c_str());
}

} // namespace
