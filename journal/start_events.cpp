#include "journal/start_events.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "journal/event_log.h"
#include "journal/hold_log_text.h"
#include "settings/local_setting.h"

namespace {

// The sink opens the file anew for each line and says nothing when it cannot: try once here.
bool OpensForAppending(const std::string& path, unsigned long* error) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    CloseHandle(file);
    return true;
}

} // namespace

void LogStartEvents(const LocalSetting& settings, bool logInstalled, const char* version) {
    const SPolicy& policy = settings.Policy();
    // Each is an error of its own; the start's lines say it once, at the error's level.
    std::vector<std::string> told;
    if (!settings.unreadableWhy.empty()) {
        told.push_back(UnreadableFileLogText(settings.unreadableWhy, settings.Path()));
        LogEvent(EEventId::SettingsUnreadable, told.back());
    }
    if (!policy.refusedFile.empty()) {
        told.push_back(RefusedPolicyFileLogText(policy.refusedFile, policy.filePath));
        LogEvent(EEventId::PolicyUnreadable, told.back());
    }
    const std::string& logFile = settings.Text(EKeyId::LogFile);
    unsigned long error = 0;
    // A path the sink refused is never opened here: a relative one would land anywhere.
    if (!logFile.empty() && (!logInstalled || !OpensForAppending(logFile, &error)))
        LogEvent(EEventId::LogNotOpened, LogNotOpenedEventText(logFile, error));
    std::vector<std::string> lines = {StartLogText(version, settings.Path())};
    for (const std::string& line : settings.startLog) {
        if (std::find(told.begin(), told.end(), line) == told.end())
            lines.push_back(line);
    }
    LogEvent(EEventId::Started, lines);
}
