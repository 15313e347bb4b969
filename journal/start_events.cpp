#include "journal/start_events.h"

#include <windows.h>

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

void LogStartEvents(const LocalSetting& settings, const SPolicy& policy,
                    const std::string& policyPath, bool logInstalled, const char* version) {
    if (!settings.unreadableWhy.empty())
        LogEvent(EEventId::SettingsUnreadable,
                 UnreadableFileLogText(settings.unreadableWhy, settings.Path()));
    if (!policy.refusedFile.empty())
        LogEvent(EEventId::PolicyUnreadable,
                 PolicyUnreadableEventText(policy.refusedFile, policyPath));
    unsigned long error = 0;
    // A path the sink refused is never opened here: a relative one would land anywhere.
    if (!settings.logFile.empty() &&
        (!logInstalled || !OpensForAppending(settings.logFile, &error)))
        LogEvent(EEventId::LogNotOpened, LogNotOpenedEventText(settings.logFile, error));
    std::vector<std::string> lines = {StartLogText(version, settings.Path())};
    lines.insert(lines.end(), settings.startLog.begin(), settings.startLog.end());
    LogEvent(EEventId::Started, lines);
}
