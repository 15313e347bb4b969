// Steps that act as the user of the mail client would, or as the client itself.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/standin/console.h"
#include "tools/standin/mail_client.h"
#include "tools/standin/scenario.h"
#include "tools/standin/shell_seam.h"
#include "tools/standin/timeline.h"
#include "tools/standin/virtual_clock.h"
#include "velmora_source.h"

namespace {

ComposeWindow* Compose(ScenarioContext& context, size_t index = 1) {
    ComposeWindow* compose = context.client->FindCompose(context.Word(index));
    if (!compose)
        context.Fail("no compose window named \"%s\"", context.Word(index).c_str());
    return compose;
}

// The window must still exist for steps that send it messages.
ComposeWindow* LiveCompose(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context);
    if (compose && !compose->IsAlive()) {
        context.Fail("compose window \"%s\" is already closed", compose->Name().c_str());
        return nullptr;
    }
    return compose;
}

StepResult Say(ScenarioContext& context) {
    std::string text;
    for (size_t i = 1; i < context.WordCount(); ++i)
        text += (i > 1 ? " " : "") + context.Word(i);
    Log("== %s", text.c_str());
    return kStepDone;
}

StepResult Mailbox(ScenarioContext& context) {
    const std::string& text = context.Word(1);
    std::string account = context.Word(2) == "account" ? context.Word(3) : std::string();
    if (text.empty())
        return context.Fail("mailbox needs a name");
    if (!context.client->MailboxList().Add(text, account))
        return context.Fail("cannot create mailbox \"%s\"", text.c_str());
    context.client->MailboxList().SetCurrent(text);
    Log("client: current mailbox is now \"%s\"", text.c_str());
    return kStepDone;
}

StepResult Open(ScenarioContext& context) {
    HeaderStore headers;
    int mode = 0;
    for (size_t i = 2; i < context.WordCount(); ++i) {
        const std::string& word = context.Word(i);
        size_t equals = word.find('=');
        if (equals == std::string::npos || equals == 0)
            return context.Fail("expected Name=Value, got \"%s\"", word.c_str());
        std::string name = word.substr(0, equals), value = word.substr(equals + 1);
        if (name == "mode")
            mode = atoi(value.c_str());
        else
            headers.Set(name.c_str(), value.c_str());
    }
    ComposeWindow* compose = context.client->OpenCompose(context.Word(1), mode, headers,
                                                         "本文です。よろしくお願いします。");
    if (!compose)
        return context.Fail("cannot open compose window \"%s\"", context.Word(1).c_str());
    Log("%s: To: %s | Cc: %s | Bcc: %s | Subject: %s", compose->Name().c_str(),
        Abbreviate(headers.Value("To")).c_str(), Abbreviate(headers.Value("Cc")).c_str(),
        Abbreviate(headers.Value("Bcc")).c_str(), Abbreviate(headers.Value("Subject")).c_str());
    return kStepDone;
}

StepResult Header(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context);
    if (!compose)
        return kStepFailed;
    compose->Headers().Set(context.Word(2).c_str(), context.Word(3).c_str());
    Log("%s: header %s set to \"%s\"", compose->Name().c_str(), context.Word(2).c_str(),
        Abbreviate(context.Word(3)).c_str());
    return kStepDone;
}

// raw <window> <header> <text>: "\xNN" in the text is that byte, so that a scenario
// can give control characters and broken double-byte text.
StepResult Raw(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context);
    if (!compose)
        return kStepFailed;
    const std::string& text = context.Word(3);
    std::string value;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 3 < text.size()) {
            value += static_cast<char>(strtol(text.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            value += text[i];
        }
    }
    compose->Headers().Set(context.Word(2).c_str(), value.c_str());
    Log("%s: header %s set to %u bytes", compose->Name().c_str(), context.Word(2).c_str(),
        static_cast<unsigned>(value.size()));
    return kStepDone;
}

StepResult Fill(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context);
    int bytes = 0;
    if (!compose || !ParseInt(context.Word(3), &bytes) || bytes < 0)
        return compose ? context.Fail("fill <window> <header> <bytes> [char]") : kStepFailed;
    char fill = context.Word(4).empty() ? 'x' : context.Word(4)[0];
    compose->Headers().Set(context.Word(2).c_str(), std::string(bytes, fill).c_str());
    Log("%s: header %s filled with %d bytes", compose->Name().c_str(), context.Word(2).c_str(),
        bytes);
    return kStepDone;
}

// Appends count generated addresses at the domain to the header, joined with ", ".
StepResult Recipients(ScenarioContext& context) {
    ComposeWindow* compose = Compose(context);
    int count = 0;
    if (!compose || !ParseInt(context.Word(3), &count) || count < 0 || context.Word(4).empty())
        return compose ? context.Fail("recipients <window> <header> <count> <domain>")
                       : kStepFailed;
    std::string value = compose->Headers().Value(context.Word(2));
    for (int i = 1; i <= count; ++i) {
        char address[300];
        snprintf(address, sizeof(address), "user%04d@%s", i, context.Word(4).c_str());
        value += (value.empty() ? "" : ", ") + std::string(address);
    }
    compose->Headers().Set(context.Word(2).c_str(), value.c_str());
    Log("%s: %d recipients at %s added to %s (%u bytes)", compose->Name().c_str(), count,
        context.Word(4).c_str(), context.Word(2).c_str(), static_cast<unsigned>(value.size()));
    return kStepDone;
}

StepResult Ctrl(ScenarioContext& context) {
    bool down = context.Word(1) == "down";
    if (!down && context.Word(1) != "up")
        return context.Fail("ctrl down|up");
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
    Log("client: Ctrl key %s", down ? "held down" : "released");
    return kStepDone;
}

StepResult PostToCompose(ScenarioContext& context, UINT message, WPARAM wParam, const char* what) {
    ComposeWindow* compose = LiveCompose(context);
    if (!compose)
        return kStepFailed;
    Log("%s: user %s", compose->Name().c_str(), what);
    PostMessageA(compose->Handle(), message, wParam, 0);
    return kStepDone;
}

StepResult Send(ScenarioContext& context) {
    return PostToCompose(context, WM_COMMAND, kSendCommand, "presses send");
}
StepResult Save(ScenarioContext& context) {
    return PostToCompose(context, WM_COMMAND, kSaveDraftCommand, "saves a draft");
}
StepResult Edit(ScenarioContext& context) {
    return PostToCompose(context, WM_COMMAND, kBackToEditingCommand, "sends command 10520");
}
StepResult Close(ScenarioContext& context) {
    return PostToCompose(context, WM_CLOSE, 0, "closes the window");
}

StepResult Destroy(ScenarioContext& context) {
    ComposeWindow* compose = LiveCompose(context);
    if (!compose)
        return kStepFailed;
    Log("%s: window destroyed without WM_CLOSE", compose->Name().c_str());
    DestroyWindow(compose->Handle());
    return kStepDone;
}

StepResult Refuse(ScenarioContext& context) {
    ComposeWindow* compose = LiveCompose(context);
    if (!compose)
        return kStepFailed;
    compose->refuseNextSend = true;
    Log("%s: the client will fail its next send", compose->Name().c_str());
    return kStepDone;
}

StepResult Timer(ScenarioContext& context) {
    if (context.Word(1) != "restart")
        return context.Fail("timer restart");
    context.client->RestartTimer();
    return kStepDone;
}

StepResult Tick(ScenarioContext& context) {
    if (context.client->Main().IsAlive())
        PostMessageA(context.client->Main().Handle(), kTickRequest, 0, 0);
    else
        context.client->OnMinuteTimer(false);
    return kStepDone;
}

StepResult Wait(ScenarioContext& context) {
    DWORD duration = 0;
    if (!ParseDuration(context.Word(1), &duration))
        return context.Fail("wait <duration>");
    if (context.firstCall)
        Log("client: waiting %s with the message loop running", context.Word(1).c_str());
    return context.Elapsed() >= duration ? kStepDone : kStepPending;
}

bool ParseDateTime(const std::string& date, const std::string& time, SYSTEMTIME* result) {
    SYSTEMTIME parsed = {};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millis = 0;
    if (sscanf(date.c_str(), "%d-%d-%d", &year, &month, &day) != 3 ||
        sscanf(time.c_str(), "%d:%d:%d.%d", &hour, &minute, &second, &millis) < 3)
        return false;
    parsed.wYear = static_cast<WORD>(year);
    parsed.wMonth = static_cast<WORD>(month);
    parsed.wDay = static_cast<WORD>(day);
    parsed.wHour = static_cast<WORD>(hour);
    parsed.wMinute = static_cast<WORD>(minute);
    parsed.wSecond = static_cast<WORD>(second);
    parsed.wMilliseconds = static_cast<WORD>(millis);
    FILETIME check;
    if (!SystemTimeToFileTime(&parsed, &check))
        return false;
    *result = parsed;
    return true;
}

StepResult Clock(ScenarioContext& context) {
    static bool patched = false;
    const std::string& verb = context.Word(1);
    if (verb == "virtual") {
        SYSTEMTIME time;
        if (!ParseDateTime(context.Word(2), context.Word(3), &time))
            return context.Fail("clock virtual YYYY-MM-DD HH:MM:SS[.mmm]");
        if (!patched && !VirtualClock::PatchModule(context.client->Plugin().module))
            return context.Fail("GetLocalTime not found among the plug-in's imports");
        patched = true;
        VirtualClock::Set(time);
        Log("clock: virtual time set (the plug-in's GetLocalTime now reads it)");
        return kStepDone;
    }
    DWORD amount = 0;
    if (verb == "advance" && VirtualClock::IsActive() && ParseDuration(context.Word(2), &amount)) {
        VirtualClock::AdvanceMilliseconds(amount);
        Log("clock: advanced by %s", context.Word(2).c_str());
        return kStepDone;
    }
    return context.Fail("clock virtual <date> <time> | clock advance <duration> (after virtual)");
}

StepResult PostToMain(ScenarioContext& context, UINT message, WPARAM wParam) {
    if (!context.client->Main().IsAlive())
        return context.Fail("the main window is gone");
    PostMessageA(context.client->Main().Handle(), message, wParam, 0);
    return kStepDone;
}

StepResult Menu(ScenarioContext& context) {
    const std::string& which = context.Word(1);
    if (which == "setup")
        return PostToMain(context, WM_COMMAND, kSetupCommand);
    if (which == "holdlist") {
        const PluginCommand* command = context.client->Menu().Last();
        if (!command)
            return context.Fail("no plug-in command is registered");
        return PostToMain(context, WM_COMMAND, command->id);
    }
    return context.Fail("menu setup|holdlist");
}

StepResult Quit(ScenarioContext& context) {
    Log("client: user closes the main window (WM_CLOSE posted)");
    return PostToMain(context, WM_CLOSE, 0);
}

StepResult QueryEnd(ScenarioContext& context) {
    Log("client: Windows asks whether it may log off (WM_QUERYENDSESSION)");
    return PostToMain(context, kQueryEndRequest, 0);
}

// The client dies as if ended from outside: no BKC_OnExit, no DLL detach, nothing flushed.
StepResult Terminate(ScenarioContext& context) {
    int code = 3;
    if (!context.Word(1).empty() && !ParseInt(context.Word(1), &code))
        return context.Fail("terminate [exit code]");
    PrintLine("client: terminated hard (exit code %d)", code);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
    return kStepDone;
}

// Direct calls in an order the real client would not use: before start, after exit, null.
StepResult Plugin(ScenarioContext& context) {
    MailClient* client = context.client;
    PluginModule& plugin = client->Plugin();
    const std::string& verb = context.Word(1);
    if (verb == "start") {
        client->StartPlugin();
    } else if (verb == "exit") {
        client->ExitPlugin();
    } else if (verb == "unload") {
        // Unloaded without BKC_OnExit, while the client goes on.
        plugin.Unload();
        Log("client: FreeLibrary without BKC_OnExit");
    } else if (verb == "null-calls") {
        int open = plugin.OnOpenCompose ? plugin.OnOpenCompose(nullptr, 0) : 0;
        int out = plugin.OnOutgoing ? plugin.OnOutgoing(nullptr, 0) : 0;
        int menu = plugin.OnMenuInit ? plugin.OnMenuInit(nullptr, nullptr, 0) : 0;
        Log("plugin: with null handles: BKC_OnOpenCompose -> %d, BKC_OnOutgoing -> %d, "
            "BKC_OnMenuInit -> %d",
            open, out, menu);
    } else {
        return context.Fail("plugin start|exit|unload|null-calls");
    }
    return kStepDone;
}

// The loaded plug-in's folder, with its trailing backslash.
std::string PluginFolder(ScenarioContext& context) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(context.client->Plugin().module, path, sizeof(path));
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// rundll32 <entry> <file>: the DLL the client loaded, run by Windows' own rundll32 (the 32-bit
// one on 64-bit Windows) as an administrator would, with the file as its argument.
StepResult Rundll32(ScenarioContext& context) {
    char dll[MAX_PATH] = "";
    GetFullPathNameA(context.client->Options().pluginPath.c_str(), sizeof dll, dll, nullptr);
    std::string command = "rundll32.exe \"" + std::string(dll) + "\"," + context.Word(1) + " " +
                          SettingsFolderFile(context.Word(2));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return context.Fail("cannot start %s", command.c_str());
    const DWORD waited = WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return context.Check(waited == WAIT_OBJECT_0, "%s ended", command.c_str());
}

// shell result N | shell expect-count N | shell expect-last TEXT ({plugin-dir} stands for the
// plug-in's folder, {source-ref} for the tag or commit this build was made from) | shell put FILE
// | shell remove FILE (a file beside the plug-in).
StepResult Shell(ScenarioContext& context) {
    const std::string& verb = context.Word(1);
    const std::vector<std::string>& requests = ShellSeam::Requests();
    int number = 0;
    if (verb == "result" && ParseInt(context.Word(2), &number)) {
        ShellSeam::SetResult(number);
        return kStepDone;
    }
    if (verb == "expect-count" && ParseInt(context.Word(2), &number))
        return context.Check(static_cast<int>(requests.size()) == number,
                             "shell requests: %d, expected %d", static_cast<int>(requests.size()),
                             number);
    const std::string file = PluginFolder(context) + context.Word(2);
    if (verb == "expect-last") {
        std::string expected = context.Word(2);
        const size_t at = expected.find("{plugin-dir}");
        if (at != std::string::npos)
            expected.replace(at, 12, PluginFolder(context));
        const size_t ref = expected.find("{source-ref}");
        if (ref != std::string::npos)
            expected.replace(ref, 12, VELMORA_SOURCE_REF);
        const std::string last = requests.empty() ? "(none)" : requests.back();
        return context.Check(last == expected, "last shell request \"%s\", expected \"%s\"",
                             last.c_str(), expected.c_str());
    }
    if (verb == "put") {
        HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return context.Fail("cannot write %s", file.c_str());
        CloseHandle(handle);
        return kStepDone;
    }
    if (verb == "remove") {
        DeleteFileA(file.c_str());
        return kStepDone;
    }
    return context.Fail("shell result|expect-count|expect-last|put|remove");
}

const StepCommand kCommands[] = {
    {"say", Say},           {"mailbox", Mailbox},
    {"open", Open},         {"header", Header},
    {"fill", Fill},         {"recipients", Recipients},
    {"ctrl", Ctrl},         {"send", Send},
    {"save", Save},         {"edit", Edit},
    {"close", Close},       {"destroy", Destroy},
    {"tick", Tick},         {"wait", Wait},
    {"clock", Clock},       {"menu", Menu},
    {"quit", Quit},         {"queryend", QueryEnd},
    {"plugin", Plugin},     {"refuse", Refuse},
    {"timer", Timer},       {"terminate", Terminate},
    {"shell", Shell},       {"raw", Raw},
    {"rundll32", Rundll32},
};

} // namespace

const StepCommand* ClientSteps(int* count) {
    *count = sizeof(kCommands) / sizeof(kCommands[0]);
    return kCommands;
}
