#include "journal/log_setup.h"

#include "journal/held_journal.h"
#include "settings/local_setting.h"
#include "settings/settings_path.h"
#include "support/file_log_sink.h"
#include "support/file_utils.h"
#include "support/path_utils.h"

namespace {
NTessik::SFileLogSink* g_fileSink = nullptr;
// Its level is set before it is installed.
NTessik::SLogConfig g_config = {};

// The log would write into, or rotate away, the settings file or the journal.
bool NamesOwnFile(const LocalSetting& settings) {
    const char* log = settings.Text(EKeyId::LogFile).c_str();
    const std::string journal = FolderOf(settings.Path()) + kJournalFolderName;
    const std::string history = FolderOf(settings.Path()) + kDomainHistoryFileName;
    return PathMayLieIn(log, settings.Path()) || PathMayLieIn(log, journal.c_str()) ||
           PathMayLieIn(log, history.c_str());
}

} // namespace

bool InstallLogSink(const LocalSetting& settings) {
    RemoveLogSink();
    const std::string& file = settings.Text(EKeyId::LogFile);
    if (file.empty() || NamesOwnFile(settings))
        return false;
    // One value deployed to every user names a folder no one made yet.
    std::string folder = FolderOf(file.c_str());
    if (folder.size() > 3 && !DirectoryExists(folder.c_str())) {
        folder.pop_back();
        CreateDirectoryPath(folder.c_str());
    }
    NTessik::SFileLogSink* sink = new NTessik::SFileLogSink(file.c_str());
    if (!sink->Usable()) {
        delete sink;
        return false;
    }
    g_fileSink = sink;
    g_config.maxLevel = settings.Int(EKeyId::LogLevel);
    NTessik::SetConfig(&g_config);
    NTessik::SetSink(g_fileSink);
    return true;
}

void RemoveLogSink() {
    if (g_fileSink == nullptr)
        return;
    NTessik::SetSink(nullptr);
    NTessik::SetConfig(nullptr);
    delete g_fileSink;
    g_fileSink = nullptr;
}
