#include "journal/log_setup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "journal/held_journal.h"
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
        journal + "\\" + kJournalHistoryName,
        folder + "\\JOURNAL\\ops.log",
        folder + "\\domainhistory.TXT",
    };
    for (const std::string& log : refused) {
        settings.Set(EKeyId::LogFile, log);
        EXPECT_FALSE(InstallLogSink(settings)) << log;
    }

    for (const char* name : {"\\ops.log", "\\Journal.log", "\\Velmora.ini.log"}) {
        settings.Set(EKeyId::LogFile, folder + name);
        EXPECT_TRUE(InstallLogSink(settings)) << name;
        RemoveLogSink();
    }
    RemoveDirectoryA(journal.c_str());
    DeleteFileA(ini.c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace
