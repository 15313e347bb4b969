// expect steps: each checks one observable fact and counts as PASS or FAIL.
#include <cstring>
#include <fstream>
#include <string>

#include "tools/standin/dialog_driver.h"
#include "tools/standin/mail_client.h"
#include "tools/standin/scenario.h"
#include "tools/standin/timeline.h"

namespace {

ComposeWindow* Compose(ScenarioContext& context, size_t index) {
    ComposeWindow* compose = context.client->FindCompose(context.Word(index));
    if (!compose)
        context.Fail("no compose window named \"%s\"", context.Word(index).c_str());
    return compose;
}

bool YesNo(ScenarioContext& context, size_t index, bool* value) {
    *value = context.Word(index) == "yes";
    if (*value || context.Word(index) == "no")
        return true;
    context.Fail("expected yes or no, got \"%s\"", context.Word(index).c_str());
    return false;
}

int Number(ScenarioContext& context, size_t index, bool* ok) {
    int value = 0;
    *ok = ParseInt(context.Word(index), &value);
    if (!*ok)
        context.Fail("expected a number, got \"%s\"", context.Word(index).c_str());
    return value;
}

// The outbox files whose Subject is the given text.
std::vector<HeaderStore> SentWithSubject(ScenarioContext& context, const std::string& subject) {
    Outbox& outbox = context.client->SentMail();
    std::vector<HeaderStore> found;
    for (const std::string& file : outbox.FileNames()) {
        HeaderStore headers = outbox.ReadHeaders(file);
        if (headers.Value("Subject") == subject)
            found.push_back(headers);
    }
    return found;
}

StepResult OutboxCount(ScenarioContext& context) {
    bool ok = false;
    int expected = Number(context, 2, &ok);
    if (!ok)
        return kStepFailed;
    int actual = static_cast<int>(context.client->SentMail().FileNames().size());
    return context.Check(actual == expected, "outbox holds %d message(s), expected %d", actual,
                         expected);
}

StepResult Sent(ScenarioContext& context) {
    bool ok = false;
    int expected = Number(context, 3, &ok);
    if (!ok)
        return kStepFailed;
    int actual = static_cast<int>(SentWithSubject(context, context.Word(2)).size());
    return context.Check(actual == expected, "\"%s\" sent %d time(s), expected %d",
                         context.Word(2).c_str(), actual, expected);
}

// expect sent-header <subject> <header> <value>: every copy sent carries that value.
StepResult SentHeader(ScenarioContext& context) {
    std::vector<HeaderStore> sent = SentWithSubject(context, context.Word(2));
    if (sent.empty())
        return context.Fail("\"%s\" was never sent", context.Word(2).c_str());
    for (const HeaderStore& headers : sent) {
        std::string value = headers.Value(context.Word(3));
        if (value != context.Word(4))
            return context.Fail("\"%s\" was sent with %s \"%s\", expected \"%s\"",
                                context.Word(2).c_str(), context.Word(3).c_str(),
                                Abbreviate(value).c_str(), context.Word(4).c_str());
    }
    return context.Pass("\"%s\" sent with %s \"%s\"", context.Word(2).c_str(),
                        context.Word(3).c_str(), context.Word(4).c_str());
}

StepResult Visible(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context, 2);
    bool expected = false;
    if (!compose || !YesNo(context, 3, &expected))
        return kStepFailed;
    bool actual = compose->IsAlive() && IsWindowVisible(compose->Handle());
    return context.Check(actual == expected, "%s is %s", compose->Name().c_str(),
                         actual ? "visible" : "not visible");
}

// The user can type into it: a window a dialog keeps disabled cannot be edited or sent.
StepResult Enabled(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context, 2);
    bool expected = false;
    if (!compose || !YesNo(context, 3, &expected))
        return kStepFailed;
    bool actual = compose->IsAlive() && IsWindowEnabled(compose->Handle());
    return context.Check(actual == expected, "%s is %s", compose->Name().c_str(),
                         actual ? "enabled" : "disabled");
}

StepResult Alive(ScenarioContext& context) {
    bool expected = false;
    if (!YesNo(context, 3, &expected))
        return kStepFailed;
    bool actual = false;
    if (context.Word(2) == "main") {
        actual = context.client->Main().IsAlive();
    } else {
        ComposeWindow* compose = Compose(context, 2);
        if (!compose)
            return kStepFailed;
        actual = compose->IsAlive();
    }
    return context.Check(actual == expected, "window %s is %s", context.Word(2).c_str(),
                         actual ? "open" : "gone");
}

StepResult Header(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context, 2);
    if (!compose)
        return kStepFailed;
    std::string actual = compose->Headers().Value(context.Word(3));
    return context.Check(actual == context.Word(4), "%s header %s is \"%s\" (expected \"%s\")",
                         compose->Name().c_str(), context.Word(3).c_str(),
                         Abbreviate(actual).c_str(), Abbreviate(context.Word(4)).c_str());
}

StepResult HeaderLength(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context, 2);
    bool ok = false;
    int expected = compose ? Number(context, 4, &ok) : 0;
    if (!ok)
        return kStepFailed;
    int actual = static_cast<int>(compose->Headers().Value(context.Word(3)).size());
    return context.Check(actual == expected, "%s header %s has %d bytes, expected %d",
                         compose->Name().c_str(), context.Word(3).c_str(), actual, expected);
}

StepResult Outgoing(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context, 2);
    bool ok = false;
    int expected = compose ? Number(context, 3, &ok) : 0;
    if (!ok)
        return kStepFailed;
    return context.Check(compose->lastOutgoing == expected,
                         "%s: last BKC_OnOutgoing answered %d, expected %d",
                         compose->Name().c_str(), compose->lastOutgoing, expected);
}

StepResult SentCount(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context, 2);
    bool ok = false;
    int expected = compose ? Number(context, 3, &ok) : 0;
    if (!ok)
        return kStepFailed;
    return context.Check(compose->sentCount == expected, "%s was sent %d time(s), expected %d",
                         compose->Name().c_str(), compose->sentCount, expected);
}

StepResult Focus(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context, 2);
    if (!compose)
        return kStepFailed;
    return context.Check(compose->HasFocus(), "%s has the focus", compose->Name().c_str());
}

// As when the user opens the tools menu: the state callback is asked, then the item is read.
StepResult MenuState(ScenarioContext& context) {
    const PluginCommand* command = context.client->Menu().Last();
    if (!command)
        return context.Fail("no plug-in command is registered");
    bool expectEnabled = context.Word(2) == "enabled";
    if (!expectEnabled && context.Word(2) != "disabled")
        return context.Fail("expect menu-state enabled|disabled");
    if (context.client->Main().IsAlive())
        SendMessageA(context.client->Main().Handle(), WM_INITMENUPOPUP,
                     reinterpret_cast<WPARAM>(context.client->Menu().Tools()), kToolsMenuPosition);
    bool enabled = !context.client->Menu().IsGrayed(command->id);
    return context.Check(enabled == expectEnabled, "menu command %u is %s", command->id,
                         enabled ? "enabled" : "disabled");
}

StepResult MenuItem(ScenarioContext& context) {
    bool ok = false;
    int position = Number(context, 2, &ok);
    if (!ok)
        return kStepFailed;
    HMENU tools = context.client->Menu().Tools();
    char text[256] = "";
    GetMenuStringA(tools, position, text, sizeof(text), MF_BYPOSITION);
    UINT id = GetMenuItemID(tools, position);
    const PluginCommand* command = context.client->Menu().Find(id);
    return context.Check(command && context.Word(3) == text,
                         "tools menu item %d is \"%s\" (command %u%s)", position, text, id,
                         command ? ", the plug-in's" : ", not a plug-in command");
}

StepResult MenuSeparator(ScenarioContext& context) {
    bool ok = false;
    int position = Number(context, 2, &ok);
    if (!ok)
        return kStepFailed;
    UINT state = GetMenuState(context.client->Menu().Tools(), position, MF_BYPOSITION);
    return context.Check(state != 0xFFFFFFFF && (state & MF_SEPARATOR),
                         "tools menu item %d is a separator", position);
}

StepResult MenuCount(ScenarioContext& context, HMENU menu, const char* what) {
    bool ok = false;
    int expected = Number(context, 2, &ok);
    if (!ok)
        return kStepFailed;
    int actual = GetMenuItemCount(menu);
    return context.Check(actual == expected, "%s has %d items, expected %d", what, actual,
                         expected);
}

StepResult ToolsCount(ScenarioContext& context) {
    return MenuCount(context, context.client->Menu().Tools(), "tools menu");
}

StepResult ContextCount(ScenarioContext& context) {
    return MenuCount(context, context.client->Menu().Context(), "context menu");
}

StepResult Registered(ScenarioContext& context) {
    const PluginCommand* last = context.client->Menu().Last();
    bool ok = false;
    int expected = Number(context, 2, &ok);
    if (!ok)
        return kStepFailed;
    int actual = last ? static_cast<int>(last->id - kFirstPluginCommand + 1) : 0;
    return context.Check(actual == expected, "%d command(s) registered, expected %d", actual,
                         expected);
}

StepResult SetupResult(ScenarioContext& context) {
    bool ok = false;
    int expected = Number(context, 2, &ok);
    if (!ok)
        return kStepFailed;
    return context.Check(context.client->lastSetupResult == expected,
                         "BKC_OnPlugInSetup answered %d, expected %d",
                         context.client->lastSetupResult, expected);
}

StepResult QueryEndResult(ScenarioContext& context) {
    bool ok = false;
    int expected = Number(context, 2, &ok);
    if (!ok)
        return kStepFailed;
    int actual = static_cast<int>(context.client->lastQueryEndResult);
    return context.Check(actual == expected, "WM_QUERYENDSESSION answered %d, expected %d", actual,
                         expected);
}

const char* const kCanary = "\x7F\x7F\x7F\x7F";

// Calls the exported host function as the plug-in does, with guard bytes around the buffer.
StepResult HostGet(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context, 2);
    bool ok = false;
    int size = compose ? Number(context, 4, &ok) : 0;
    if (!ok)
        return kStepFailed;
    typedef int(WINAPI * GetHeader)(HWND, LPCSTR, LPSTR, int);
    // Through void(*)(): FARPROC has no parameters, the host function has four.
    GetHeader get = reinterpret_cast<GetHeader>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA(nullptr), "BKA_CompGetSpecifiedHeader")));
    if (!get)
        return context.Fail("BKA_CompGetSpecifiedHeader is not exported");
    int room = size > 0 ? size : 0;
    std::string area(4 + room + 4, '\x7F');
    get(compose->Handle(), context.Word(3).c_str(), &area[4], size);
    bool guarded = area.compare(0, 4, kCanary) == 0 && area.compare(4 + room, 4, kCanary) == 0;
    if (size <= 0)
        return context.Check(guarded && area == std::string(8, '\x7F'), "size %d: nothing written",
                             size);
    bool terminated = memchr(&area[4], '\0', room) != nullptr;
    std::string read(&area[4]);
    return context.Check(guarded && terminated && read == context.Word(5),
                         "BKA_CompGetSpecifiedHeader(%s, %d) gave \"%s\"%s%s",
                         context.Word(3).c_str(), size, Abbreviate(read).c_str(),
                         guarded ? "" : ", wrote past the buffer",
                         terminated ? "" : ", not NUL-terminated");
}

// Null buffer, null name, unknown window and null value: no crash, nothing changed.
StepResult HostHostile(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context, 2);
    if (!compose)
        return kStepFailed;
    HWND window = compose->Handle();
    char buffer[8] = "keep";
    context.client->CompGetSpecifiedHeader(window, "Subject", nullptr, 100);
    context.client->CompGetSpecifiedHeader(window, nullptr, buffer, sizeof(buffer));
    bool nullName = buffer[0] == '\0';
    strcpy(buffer, "keep");
    context.client->CompGetSpecifiedHeader(reinterpret_cast<HWND>(0x1234), "Subject", buffer,
                                           sizeof(buffer));
    bool unknown = buffer[0] == '\0';
    size_t fields = compose->Headers().Fields().size();
    context.client->CompSetSpecifiedHeader(window, nullptr, "x");
    context.client->CompSetSpecifiedHeader(window, "X-Null-Value", nullptr);
    bool unchanged = compose->Headers().Fields().size() == fields;
    return context.Check(nullName && unknown && unchanged,
                         "hostile header calls: null name reads empty %d, unknown window reads "
                         "empty %d, null name/value set nothing %d",
                         nullName, unknown, unchanged);
}

// expect file-lines <path> <text> <count>: lines of the file that contain the text.
StepResult FileLines(ScenarioContext& context) {
    bool ok = false;
    int expected = Number(context, 4, &ok);
    if (!ok)
        return kStepFailed;
    // A name without a drive is one of the settings folder; %NAME% is the environment's, as the
    // plug-in expands a deployed log path.
    char expanded[MAX_PATH] = "";
    const DWORD length =
        ExpandEnvironmentStringsA(context.Word(2).c_str(), expanded, sizeof expanded);
    const std::string name = length > 0 && length <= sizeof expanded ? expanded : context.Word(2);
    std::ifstream file(name.find(':') != std::string::npos ? name : SettingsFolderFile(name),
                       std::ios::binary);
    const std::string wanted = DialogDriver::Unescape(context.Word(3));
    int count = 0;
    for (std::string line; std::getline(file, line);)
        count += line.find(wanted) != std::string::npos ? 1 : 0;
    return context.Check(count == expected, "%d line(s) of %s contain \"%s\", expected %d", count,
                         context.Word(2).c_str(), context.Word(3).c_str(), expected);
}

StepResult Ini(ScenarioContext& context, bool expectAbsent) {
    std::string path = SettingsFilePath();
    char value[2048] = "";
    GetPrivateProfileStringA(context.Word(2).c_str(), context.Word(3).c_str(), "\x01(absent)",
                             value, sizeof(value), path.c_str());
    bool absent = strcmp(value, "\x01(absent)") == 0;
    if (expectAbsent)
        return context.Check(absent, "settings [%s] %s is absent (read \"%s\")",
                             context.Word(2).c_str(), context.Word(3).c_str(), value);
    return context.Check(!absent && context.Word(4) == value,
                         "settings [%s] %s is \"%s\", expected \"%s\"", context.Word(2).c_str(),
                         context.Word(3).c_str(), absent ? "(absent)" : value,
                         context.Word(4).c_str());
}

StepResult IniValue(ScenarioContext& context) {
    return Ini(context, false);
}
StepResult IniAbsent(ScenarioContext& context) {
    return Ini(context, true);
}

struct ExpectCommand {
    const char* what;
    StepHandler handler;
};

const ExpectCommand kExpectations[] = {
    {"outbox-count", OutboxCount},
    {"sent", Sent},
    {"sent-header", SentHeader},
    {"visible", Visible},
    {"alive", Alive},
    {"enabled", Enabled},
    {"header", Header},
    {"header-length", HeaderLength},
    {"outgoing", Outgoing},
    {"sent-count", SentCount},
    {"focus", Focus},
    {"menu-state", MenuState},
    {"menu-item", MenuItem},
    {"menu-separator", MenuSeparator},
    {"menu-count", ToolsCount},
    {"context-menu-count", ContextCount},
    {"registered", Registered},
    {"setup-result", SetupResult},
    {"queryend-result", QueryEndResult},
    {"host-get", HostGet},
    {"host-hostile", HostHostile},
    {"ini", IniValue},
    {"file-lines", FileLines},
    {"ini-absent", IniAbsent},
    {"event", ExpectEvent},
    {"events", ExpectEventCount},
    {"blockreason", ExpectBlockReason},
};

StepResult Expect(ScenarioContext& context) {
    for (const ExpectCommand& expectation : kExpectations)
        if (context.Word(1) == expectation.what)
            return expectation.handler(context);
    return context.Fail("unknown expectation \"%s\"", context.Word(1).c_str());
}

const StepCommand kCommands[] = {{"expect", Expect}};

} // namespace

const StepCommand* ExpectSteps(int* count) {
    *count = sizeof(kCommands) / sizeof(kCommands[0]);
    return kCommands;
}
