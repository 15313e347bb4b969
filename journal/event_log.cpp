#include "journal/event_log.h"

#include <windows.h>

#include "support/code_page.h"
#include "support/line_text.h"
#include "support/log_writer.h"

namespace {

HANDLE g_source = nullptr;
int g_level = kEventLogNone;
// The user's SID: the console counts each user's events by it.
std::vector<BYTE> g_user;

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

void ReadUser() {
    g_user.clear();
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
        if (IsValidSid(sid)) {
            const BYTE* bytes = static_cast<const BYTE*>(sid);
            g_user.assign(bytes, bytes + GetLengthSid(sid));
        }
    }
    CloseHandle(token);
}

} // namespace

void StartEventLog(int level) {
    StopEventLog();
    g_level = level;
    if (level <= kEventLogNone)
        return;
    g_source = RegisterEventSourceW(nullptr, L"Velmora");
    ReadUser();
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
    ReportEventW(g_source, EventType(row.level), 0, static_cast<DWORD>(id),
                 g_user.empty() ? nullptr : g_user.data(), 1, 0, strings, nullptr);
}

void LogEvent(EEventId id, const std::string& text) {
    LogEvent(id, std::vector<std::string>{text});
}
