#include "journal/event_log.h"

#include <windows.h>

#include "support/code_page.h"
#include "support/line_text.h"
#include "support/log_writer.h"

namespace {

HANDLE g_source = nullptr;
int g_level = kEventLogNone;

// The Event Log takes some 31,000 characters a string; the whole text stays well inside.
const size_t kEventTextLimit = 16384;

WORD EventType(EEventLevel level) {
    switch (level) {
    case EEventLevel::Error:
        return EVENTLOG_ERROR_TYPE;
    case EEventLevel::Warning:
        return EVENTLOG_WARNING_TYPE;
    case EEventLevel::Information:
        return EVENTLOG_INFORMATION_TYPE;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

bool ToEventLog(EEventLevel level) {
    return g_source != nullptr && EventLevelWanted(level, g_level);
}

bool ToOperationLog(EEventLevel level) {
    return NTessik::GetSink() != nullptr && LogLevelOf(level) <= NTessik::MaxLevel();
}

} // namespace

void StartEventLog(int level) {
    StopEventLog();
    g_level = level;
    if (level > kEventLogNone)
        g_source = RegisterEventSourceW(nullptr, L"Velmora");
}

void StopEventLog() {
    if (g_source)
        DeregisterEventSource(g_source);
    g_source = nullptr;
    g_level = kEventLogNone;
}

bool EventWanted(EEventId id) {
    const EEventLevel level = EventRow(id).level;
    return ToEventLog(level) || ToOperationLog(level);
}

void LogEvent(EEventId id, const std::vector<std::string>& lines) {
    const SEventRow& row = EventRow(id);
    if (ToOperationLog(row.level)) {
        for (const std::string& line : lines) {
            NTessik::SLogWriter writer(NTessik::GetSink(), "Velmora event", 0, 0, 0,
                                       LogLevelOf(row.level));
            writer.Write("%s", line.c_str());
        }
    }
    if (!ToEventLog(row.level))
        return;
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\r\n") + line;
    const std::wstring wide = AnsiToWide(CutText(text, kEventTextLimit, "..."));
    LPCWSTR strings[1] = {wide.c_str()};
    ReportEventW(g_source, EventType(row.level), 0, static_cast<DWORD>(id), nullptr, 1, 0, strings,
                 nullptr);
}

void LogEvent(EEventId id, const std::string& text) {
    LogEvent(id, std::vector<std::string>{text});
}
