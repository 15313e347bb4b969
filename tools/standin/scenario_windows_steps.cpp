// What the plug-in tells Windows, through the real Win32 calls: expect event, expect events and
// expect blockreason check what it reported to the Event Log and set as the main window's
// log-off reason (under Wine read from the debug trace, wine_trace.h; on Windows the reason is
// asked directly); endsession logs off.
#include <windows.h>

#include <string>

#include "tools/standin/compose_window.h"
#include "tools/standin/console.h"
#include "tools/standin/mail_client.h"
#include "tools/standin/timeline.h"
#include "tools/standin/scenario.h"
#include "tools/standin/wine_trace.h"

namespace {

const char* TypeName(int type) {
    return type == EVENTLOG_ERROR_TYPE         ? "error"
           : type == EVENTLOG_WARNING_TYPE     ? "warning"
           : type == EVENTLOG_INFORMATION_TYPE ? "information"
                                               : "other";
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Wine has no ShutdownBlockReasonQuery at all: calling its stub would end the client.
bool AskBlockReason(HWND window, std::string* reason) {
    typedef BOOL(WINAPI * QueryProc)(HWND, LPWSTR, DWORD*);
    QueryProc query = reinterpret_cast<QueryProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "ShutdownBlockReasonQuery")));
    if (!query)
        return false;
    wchar_t text[256] = L"";
    DWORD length = 256;
    reason->clear();
    if (!query(window, text, &length))
        return true;
    char ansi[512] = "";
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
    *reason = ansi;
    return true;
}

// The text is looked for in the string; a leading ^ or a trailing $ holds it to the start or
// the end. Wine prints no more than the first 300 or so bytes of a string.
bool Matches(const std::string& text, std::string pattern) {
    const bool start = !pattern.empty() && pattern.front() == '^';
    if (start)
        pattern.erase(0, 1);
    const bool end = !pattern.empty() && pattern.back() == '$';
    if (end)
        pattern.pop_back();
    if (start && text.compare(0, pattern.size(), pattern) != 0)
        return false;
    if (end && (text.size() < pattern.size() ||
                text.compare(text.size() - pattern.size(), pattern.size(), pattern) != 0))
        return false;
    return text.find(pattern) != std::string::npos;
}

} // namespace

// expect event <id> <error|warning|information> <text>: some event of that ID was reported at
// that level with a string that matches the text.
StepResult ExpectEvent(ScenarioContext& context) {
    int id = 0;
    if (!ParseInt(context.Word(2), &id) || context.Word(3).empty() || context.WordCount() < 5)
        return context.Fail("expect event <id> <error|warning|information> <text>");
    if (!HasTraceFile())
        return context.Fail("no trace: run the client with --trace under WINEDEBUG");
    int seen = 0;
    std::string last;
    for (const TracedEvent& event : TracedEvents()) {
        if (event.id != static_cast<unsigned>(id))
            continue;
        ++seen;
        for (const std::string& text : event.strings) {
            last = text;
            if (context.Word(3) == TypeName(event.type) && Matches(text, context.Word(4)))
                return context.Pass("event %d (%s): \"%s\"", id, TypeName(event.type),
                                    text.c_str());
        }
    }
    return context.Fail("no %s event %d matching \"%s\" among %d of that ID (last: \"%s\")",
                        context.Word(3).c_str(), id, context.Word(4).c_str(), seen, last.c_str());
}

// expect events <id> <count>: how many events of that ID were reported so far.
StepResult ExpectEventCount(ScenarioContext& context) {
    int id = 0, count = 0;
    if (!ParseInt(context.Word(2), &id) || !ParseInt(context.Word(3), &count))
        return context.Fail("expect events <id> <count>");
    if (!HasTraceFile())
        return context.Fail("no trace: run the client with --trace under WINEDEBUG");
    int seen = 0;
    for (const TracedEvent& event : TracedEvents())
        seen += event.id == static_cast<unsigned>(id) ? 1 : 0;
    return context.Check(seen == count, "%d event(s) %d, expected %d", seen, id, count);
}

// expect blockreason <text>|none: the reason on the main window for Windows' log-off screen.
StepResult ExpectBlockReason(ScenarioContext& context) {
    HWND main = context.client->Main().Handle();
    std::string reason;
    if (UnderWine()) {
        if (!HasTraceFile())
            return context.Fail("no trace: run the client with --trace under WINEDEBUG");
        reason = TracedBlockReason(main);
    } else if (!AskBlockReason(main, &reason)) {
        return context.Fail("ShutdownBlockReasonQuery is missing");
    }
    const std::string expected = context.Word(2) == "none" ? "" : context.Word(2);
    return context.Check(reason == expected, "block reason \"%s\", expected \"%s\"", reason.c_str(),
                         expected.c_str());
}

namespace {

// endsession [window]: Windows logs off; the host answers WM_ENDSESSION and is ended at once,
// before anything posted meanwhile runs. With a window, the log-off comes while that window's
// send is being handled: the messages Windows sends go before the ones the send posted.
StepResult EndSession(ScenarioContext& context) {
    if (!context.client->Main().IsAlive())
        return context.Fail("the main window is gone");
    if (!context.Word(1).empty()) {
        ComposeWindow* compose = context.client->FindCompose(context.Word(1));
        if (!compose || !compose->IsAlive())
            return context.Fail("no open compose window named \"%s\"", context.Word(1).c_str());
        Log("%s: presses send as Windows logs off", compose->Name().c_str());
        SendMessageA(compose->Handle(), WM_COMMAND, kSendCommand, 0);
    }
    SendMessageA(context.client->Main().Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    PrintLine("client: WM_ENDSESSION answered; Windows ends the process");
    TerminateProcess(GetCurrentProcess(), 0);
    return kStepDone;
}

const StepCommand kCommands[] = {{"endsession", EndSession}};

} // namespace

const StepCommand* WindowsSteps(int* count) {
    *count = sizeof(kCommands) / sizeof(kCommands[0]);
    return kCommands;
}
