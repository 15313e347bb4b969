#include "settings/log_setup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/held_journal.h"
#include "settings/local_setting.h"
#include "tests/file_text.h"

namespace {

// The log may never write into, or rotate away, the settings file or the journal, however
// the path is spelled; a log beside them is fine.
TEST(LogSetup, ThePluginsOwnFilesAreRefusedHoweverTheyAreNamed) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string folder =
        std::string(temp) + "zv-log-setup-folder-" + std::to_string(GetCurrentProcessId());
    const std::string journal = folder + "\\" + kJournalFolderName;
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA(journal.c_str(), nullptr);
    const std::string ini = folder + "\\Velmora.ini";
    WriteText(ini, "[Option]\r\n");
    WriteText(journal + "\\" + kJournalHistoryName, "");
    char shortName[MAX_PATH] = "";
    GetShortPathNameA(folder.c_str(), shortName, sizeof shortName);

    LocalSetting settings(ini.c_str());
    const std::string refused[] = {
        ini,
        folder + "\\velmora.INI",
        folder + "/Journal/../Velmora.ini",
        folder + "\\.\\Velmora.ini. ",
        std::string(shortName) + "\\Velmora.ini",
        ini + ":log",
        "\\\\?\\" + ini,
        journal,
        journal + "\\",
        journal + "\\history.txt",
        folder + "\\JOURNAL\\ops.log",
        journal + "\\new\\ops.log",
    };
    for (const std::string& log : refused) {
        settings.logFile = log;
        EXPECT_FALSE(InstallLogSink(settings)) << log;
    }
    EXPECT_EQ(ReadText(ini), "[Option]\r\n");
    EXPECT_EQ(ReadText(journal + "\\history.txt"), "");

    for (const char* name : {"\\ops.log", "\\Journal.log", "\\Velmora.ini.log"}) {
        settings.logFile = folder + name;
        EXPECT_TRUE(InstallLogSink(settings)) << name;
        RemoveLogSink();
    }
    DeleteFileA((journal + "\\history.txt").c_str());
    RemoveDirectoryA(journal.c_str());
    DeleteFileA(ini.c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace
