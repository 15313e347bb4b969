#include "support/path_utils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct SParts {
    std::string drive, directory, name, extension;
};

SParts Split(const char* path) {
    char drive[3], directory[256], name[256], extension[256];
    SplitPath(path, drive, sizeof drive, directory, sizeof directory, name, sizeof name, extension,
              sizeof extension);
    return {drive, directory, name, extension};
}

void ExpectParts(const char* path, const char* drive, const char* directory, const char* name,
                 const char* extension) {
    const SParts parts = Split(path);
    EXPECT_EQ(parts.drive, drive) << path;
    EXPECT_EQ(parts.directory, directory) << path;
    EXPECT_EQ(parts.name, name) << path;
    EXPECT_EQ(parts.extension, extension) << path;
}

TEST(SplitPath, UsualPaths) {
    ExpectParts("C:\\Users\\me\\plugin.dll", "C:", "\\Users\\me\\", "plugin", ".dll");
    ExpectParts("C:/a/b.tar.gz", "C:", "/a/", "b.tar", ".gz");
    ExpectParts("plugin", "", "", "plugin", "");
    ExpectParts("dir\\", "", "dir\\", "", "");
    ExpectParts(".profile", "", "", ".profile", "");
    ExpectParts("dir\\.profile", "", "dir\\", "", ".profile");
    ExpectParts("C:name.ext", "C:", "", "name", ".ext");
    ExpectParts("\\", "", "\\", "", "");
    ExpectParts("", "", "", "", "");
}

TEST(SplitPath, TrailByteBackslashIsNoSeparator) {
    // 0x95 0x5C and 0x83 0x5C are double-byte characters ending in 0x5C.
    ExpectParts("C:\\\x95\x5C\\data.ini", "C:", "\\\x95\x5C\\", "data", ".ini");
    ExpectParts("C:\\dir\\\x83\x5C", "C:", "\\dir\\", "\x83\x5C", "");
    ExpectParts("\x95\x5C.txt", "", "", "\x95\x5C", ".txt");
    // A real backslash after a character whose trail byte could pass for a lead byte (0x91 of 書).
    ExpectParts("m\\\x95\xB6\x8F\x91\\a.txt", "", "m\\\x95\xB6\x8F\x91\\", "a", ".txt");
    ExpectParts("\x8F\x91\\.\x8F\x91", "", "\x8F\x91\\", "", ".\x8F\x91");
    // A lead byte before a byte that cannot be a trail byte takes nothing with it.
    ExpectParts("C:\\d\x82/n\x82.txt", "C:", "\\d\x82/", "n\x82", ".txt");
}

TEST(SplitPath, OutputsAreOptionalAndBounded) {
    char name[4];
    SplitPath("C:\\dir\\longname.txt", nullptr, 0, nullptr, 0, name, sizeof name, nullptr, 0);
    EXPECT_STREQ(name, "lon");
    // A double-byte character that does not fit whole is left out.
    char extension[3];
    SplitPath("a.\x95\x5C", nullptr, 0, nullptr, 0, nullptr, 0, extension, sizeof extension);
    EXPECT_STREQ(extension, ".");
    SplitPath(nullptr, nullptr, 0, nullptr, 0, name, sizeof name, nullptr, 0);
    EXPECT_STREQ(name, "");
}

TEST(ChangeExtension, ReplacesTheExtension) {
    char out[388];
    EXPECT_EQ(ChangeExtension(out, sizeof out, "C:\\Program Files\\x\\zVelmora.dll", ".ini"), 0u);
    EXPECT_STREQ(out, "C:\\Program Files\\x\\zVelmora.ini");
    EXPECT_EQ(ChangeExtension(out, sizeof out, "C:\\\x95\x5C\\a", "ini"), 0u);
    EXPECT_STREQ(out, "C:\\\x95\x5C\\a.ini");
    EXPECT_EQ(ChangeExtension(out, sizeof out, "plugin.dll", ".ini"), 0u);
    EXPECT_STREQ(out, "plugin.ini");
    EXPECT_EQ(ChangeExtension(out, sizeof out, "C:\\a.b\\c.dll", ""), 0u);
    EXPECT_STREQ(out, "C:\\a.b\\c");
}

TEST(ChangeExtension, WorksInPlaceAndKeepsLongFolders) {
    std::string path = "C:\\" + std::string(240, 'd') + "\\zVelmora.dll";
    char buffer[388];
    std::strcpy(buffer, path.c_str());
    EXPECT_EQ(ChangeExtension(buffer, sizeof buffer, buffer, ".ini"), 0u);
    EXPECT_EQ(std::string(buffer), path.substr(0, path.size() - 4) + ".ini");
}

TEST(ChangeExtension, TooSmallOutputGetsTheNeededSize) {
    const char* path = "C:\\x\\a.dll";
    // drive 2 + directory 3 + name 1 + ".ini" 4 + 4.
    const size_t needed = 14;
    EXPECT_EQ(ChangeExtension(nullptr, 0, path, ".ini"), needed);
    char out[13];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(ChangeExtension(out, sizeof out, path, ".ini"), needed);
    EXPECT_EQ(out[0], '#');
    char exact[14];
    EXPECT_EQ(ChangeExtension(exact, sizeof exact, path, ".ini"), 0u);
    EXPECT_STREQ(exact, "C:\\x\\a.ini");
}

TEST(TrimSuffix, RemovesOneTrailingBackslash) {
    char folder[] = "C:\\Mail\\box\\\\";
    EXPECT_EQ(TrimSuffix(folder, "\\"), 12u);
    EXPECT_STREQ(folder, "C:\\Mail\\box\\");
    char plain[] = "C:\\Mail";
    EXPECT_EQ(TrimSuffix(plain, "\\"), 7u);
    EXPECT_STREQ(plain, "C:\\Mail");
    // The suffix must be shorter than the text.
    char alone[] = "\\";
    EXPECT_EQ(TrimSuffix(alone, "\\"), 1u);
    EXPECT_STREQ(alone, "\\");
}

TEST(TrimSuffix, KeepsTrailByteOfFinalDoubleByteCharacter) {
    char text[] = "C:\\\x95\x5C";
    EXPECT_EQ(TrimSuffix(text, "\\"), 5u);
    EXPECT_STREQ(text, "C:\\\x95\x5C");
    char folder[] = "C:\\\x95\x5C\\";
    EXPECT_EQ(TrimSuffix(folder, "\\"), 5u);
    EXPECT_STREQ(folder, "C:\\\x95\x5C");
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlap) {
    EXPECT_EQ(ReplaceAll("a b c", " ", "%20"), "a%20b%20c");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("a", "a", "aa"), "aa");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("abc", "abc", ""), "");
}

} // namespace

TEST(JoinPath, OneBackslashBetweenAndATrailByteIsNoSeparator) {
    EXPECT_EQ("C:\\data\\box1", JoinPath("C:\\data", "box1"));
    EXPECT_EQ("C:\\data\\box1", JoinPath("C:\\data\\", "box1"));
    EXPECT_EQ("\\x", JoinPath("", "x"));
    // 表 is 0x95 0x5C: its second byte must not pass for the separator.
    EXPECT_EQ("C:\\\x95\x5C\\x", JoinPath("C:\\\x95\x5C", "x"));
}
