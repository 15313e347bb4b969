#include "tools/standin/scenario.h"

#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tools/standin/console.h"
#include "tools/standin/mail_client.h"
#include "tools/standin/text_codec.h"
#include "tools/standin/timeline.h"

namespace {

ScenarioRunner* g_runner = nullptr;
const UINT kStepIntervalMs = 10;

// Words split at blanks; a double quote starts or ends a quoted span, "" inside one is a quote.
std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                word += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
            inWord = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\r')) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

std::string VsFormat(const char* format, va_list args) {
    char text[2048];
    vsnprintf(text, sizeof(text), format, args);
    return text;
}

} // namespace

std::string SettingsFilePath() {
    char appData[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, TRUE))
        return std::string();
    std::string folder = std::string(appData) + "\\Tarnwyk";
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += "\\Velmora";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\Velmora.ini";
}

std::string SettingsFolderFile(const std::string& name) {
    const std::string ini = SettingsFilePath();
    return ini.substr(0, ini.find_last_of('\\') + 1) + name;
}

namespace {

const StepCommand* FindCommand(const std::string& name) {
    typedef const StepCommand* (*Table)(int*);
    const Table tables[] = {ClientSteps, ExpectSteps, DialogSteps, BenchSteps, WindowsSteps};
    for (Table table : tables) {
        int count = 0;
        const StepCommand* commands = table(&count);
        for (int i = 0; i < count; ++i)
            if (name == commands[i].name)
                return &commands[i];
    }
    return nullptr;
}

} // namespace

ScenarioContext::ScenarioContext(MailClient* mailClient)
    : client(mailClient), line(nullptr), stepStarted(0), firstCall(true), dialog(nullptr),
      messageBox(nullptr), passed(0), failed(0) {}

const std::string& ScenarioContext::Word(size_t index) const {
    static const std::string empty;
    return index < line->words.size() ? line->words[index] : empty;
}

StepResult ScenarioContext::Pass(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VsFormat(format, args);
    va_end(args);
    ++passed;
    LogAlways("PASS line %d: %s", line->number, text.c_str());
    return kStepDone;
}

StepResult ScenarioContext::Fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VsFormat(format, args);
    va_end(args);
    ++failed;
    LogAlways("FAIL line %d: %s", line->number, text.c_str());
    return kStepFailed;
}

StepResult ScenarioContext::Check(bool ok, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VsFormat(format, args);
    va_end(args);
    return ok ? Pass("%s", text.c_str()) : Fail("%s", text.c_str());
}

bool ParseInt(const std::string& text, int* value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    long parsed = strtol(text.c_str(), &end, 10);
    if (*end != '\0')
        return false;
    *value = static_cast<int>(parsed);
    return true;
}

bool ParseDuration(const std::string& text, DWORD* milliseconds) {
    char* end = nullptr;
    double amount = strtod(text.c_str(), &end);
    if (end == text.c_str() || amount < 0)
        return false;
    std::string unit(end);
    double scale = unit == "ms"                  ? 1
                   : unit == "s" || unit.empty() ? 1000
                   : unit == "m"                 ? 60000
                   : unit == "h"                 ? 3600000
                                                 : -1;
    if (scale < 0)
        return false;
    *milliseconds = static_cast<DWORD>(amount * scale);
    return true;
}

ScenarioRunner::ScenarioRunner()
    : next(0), context(nullptr), timer(0), busy(false), ended(false), started(0), timeoutMs(0),
      holder(nullptr) {}

bool ScenarioRunner::Load(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    LoadText(text);
    return true;
}

void ScenarioRunner::LoadText(const std::string& utf8) {
    std::istringstream stream(utf8);
    std::string text;
    for (int number = 1; std::getline(stream, text); ++number) {
        if (number == 1 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            text.erase(0, 3);
        ScenarioLine line = {number, SplitWords(Utf8ToAnsi(text))};
        if (!line.words.empty() && line.words[0][0] != '#')
            lines.push_back(line);
    }
}

void ScenarioRunner::ApplyOptions(ClientOptions* options) const {
    for (const ScenarioLine& line : lines) {
        if (line.words.size() < 3 || line.words[0] != "option")
            continue;
        int value = 0;
        if (line.words[1] == "tick-ms" && ParseInt(line.words[2], &value) && value >= 0)
            options->tickMs = static_cast<UINT>(value);
        else if (line.words[1] == "plugin")
            options->pluginPath = line.words[2];
    }
    for (const ScenarioLine& line : lines) {
        if (line.words.size() == 2 && line.words[0] == "option" &&
            line.words[1] == "null-main-handle")
            options->nullMainHandle = true;
    }
}

bool ScenarioRunner::PrepareStart() {
    bool startNow = true;
    std::string ini;
    for (const ScenarioLine& line : lines) {
        if (line.words[0] == "option" && line.words.size() >= 2 && line.words[1] == "defer-start")
            startNow = false;
        if (line.words[0] != "setting" || line.words.size() < 3)
            continue;
        if (ini.empty()) {
            // A scenario with settings starts from exactly those settings, and from no domain
            // history an earlier scenario left.
            ini = SettingsFilePath();
            DeleteFileA(ini.c_str());
            DeleteFileA(SettingsFolderFile("DomainHistory.txt").c_str());
            Log("client: settings file %s written by the scenario", ini.c_str());
        }
        const char* value = line.words.size() > 3 ? line.words[3].c_str() : "";
        WritePrivateProfileStringA(line.words[1].c_str(), line.words[2].c_str(), value,
                                   ini.c_str());
    }
    // settings-file <name> <text>: a file of the settings folder (or of a folder in it) as the
    // plug-in would find it at its start; "\n", "\r", "\0" and "\xNN" in the text are those
    // bytes.
    for (const ScenarioLine& line : lines) {
        if (line.words[0] != "settings-file" || line.words.size() < 3)
            continue;
        const std::string path = SettingsFolderFile(line.words[1]);
        CreateDirectoryA(path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
        std::string text = line.words[2];
        for (size_t at = 0; (at = text.find('\\', at)) != std::string::npos; ++at) {
            const char next = at + 1 < text.size() ? text[at + 1] : ' ';
            const char byte = next == 'n' ? '\n' : next == 'r' ? '\r' : next == '0' ? '\0' : next;
            if (byte != next)
                text.replace(at, 2, 1, byte);
            else if (next == 'x' && at + 3 < text.size() && isxdigit(text[at + 2] & 0xFF) &&
                     isxdigit(text[at + 3] & 0xFF))
                text.replace(
                    at, 4, 1,
                    static_cast<char>(strtol(text.substr(at + 2, 2).c_str(), nullptr, 16)));
        }
        FILE* file = fopen(path.c_str(), "wb");
        if (file) {
            fwrite(text.data(), 1, text.size(), file);
            fclose(file);
        }
        Log("client: %s written by the scenario (%u bytes)", path.c_str(),
            static_cast<unsigned>(file ? text.size() : 0));
    }
    PreparePolicy();
    return startNow;
}

namespace {

const char kPolicyKey[] = "Software\\Policies\\Tarnwyk\\Velmora";

// "\n" is a line end and "\xNN" that byte: a file no editor would write.
std::string Unescaped(std::string text) {
    for (size_t at = 0; (at = text.find("\\n", at)) != std::string::npos;)
        text.replace(at, 2, "\n");
    for (size_t at = 0; (at = text.find("\\x", at)) != std::string::npos && at + 4 <= text.size();)
        text.replace(at, 4, 1,
                     static_cast<char>(strtol(text.substr(at + 2, 2).c_str(), nullptr, 16)));
    return text;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    if (file) {
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }
    Log("client: %s written by the scenario (%u bytes)", path.c_str(),
        static_cast<unsigned>(file ? bytes.size() : 0));
}

std::wstring AnsiToWide(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return wide;
}

// Under 64-bit Windows Group Policy writes the machine's policy from a 64-bit process: here
// the 64-bit reg.exe, which a 32-bit process reaches through sysnative.
bool UnderWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

bool RunReg64(const std::string& arguments) {
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string command = std::string("\"") + windows + "\\sysnative\\reg.exe\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0;
}

// The value as a REG_MULTI_SZ: "\0" in the scenario's text parts the strings.
std::string MultiString(const std::string& text) {
    std::string strings;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find("\\0", start);
        strings += text.substr(start, end == std::string::npos ? end : end - start);
        strings += '\0';
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    return strings + '\0';
}

void WritePolicyValue(const std::vector<std::string>& w) {
    const bool machine = w[1] == "HKLM";
    const std::string& name = w[2];
    const std::string& type = w[3];
    const std::string& text = w[4];
    if (machine && UnderWow64()) {
        const char* regType = type == "dword"   ? "REG_DWORD"
                              : type == "multi" ? "REG_MULTI_SZ"
                                                : "REG_SZ";
        const bool written = RunReg64(std::string("add \"HKLM\\") + kPolicyKey + "\" /v " + name +
                                      " /t " + regType + " /d \"" + text + "\" /f");
        Log("client: policy HKLM %s = %s written by the 64-bit reg.exe%s", name.c_str(),
            text.c_str(), written ? "" : " (FAILED)");
        return;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExA(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kPolicyKey, 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (type == "dword") {
        const DWORD number = static_cast<DWORD>(strtoul(text.c_str(), nullptr, 0));
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                       sizeof number);
    } else {
        const std::string data = type == "multi" ? MultiString(text) : text + '\0';
        RegSetValueExA(key, name.c_str(), 0, type == "multi" ? REG_MULTI_SZ : REG_SZ,
                       reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    }
    RegCloseKey(key);
    Log("client: policy %s %s = %s written by the scenario", w[1].c_str(), name.c_str(),
        text.c_str());
}

// Another program keeps the file open without sharing: the helper beside the client, until the
// scenario ends.
HANDLE HoldFileOpen(const std::string& path) {
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string command = module;
    command =
        command.substr(0, command.find_last_of('\\') + 1) + "zv_file_holder.exe \"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
        Log("client: FAILED to start %s", command.c_str());
        return nullptr;
    }
    CloseHandle(process.hThread);
    for (DWORD waited = 0; waited < 10000; waited += 20) {
        HANDLE probe = CreateFileA(path.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        if (probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) {
            Log("client: %s held open without sharing by another process", path.c_str());
            return process.hProcess;
        }
        if (probe != INVALID_HANDLE_VALUE)
            CloseHandle(probe);
        Sleep(20);
    }
    Log("client: FAILED the helper did not hold %s", path.c_str());
    return process.hProcess;
}

} // namespace

// The policy file lies beside the DLL the client loads.
std::string ScenarioRunner::PolicyFilePath() const {
    std::string plugin = "zVelmora.dll";
    for (const ScenarioLine& line : lines) {
        if (line.words.size() >= 3 && line.words[0] == "option" && line.words[1] == "plugin")
            plugin = line.words[2];
    }
    char full[MAX_PATH] = "";
    char* name = nullptr;
    if (!GetFullPathNameA(plugin.c_str(), sizeof full, full, &name) || name == nullptr)
        return std::string();
    *name = '\0';
    return std::string(full) + "zVelmora.policy.ini";
}

// policy HKLM|HKCU <name> dword <n> | sz <text> | multi <a\0b>: a Group Policy value, as an
// administrator's tool writes it; policy-file <text>: the file beside the DLL;
// policy-file-utf32 <text>: the same saved as UTF-32 with its byte order mark;
// policy-file-held: the file then kept open without sharing by another process;
// settings-file-utf16 <name> <text>: a settings-folder file saved as UTF-16 with its byte
// order mark; settings-file-utf8 <name> <text>: one saved as UTF-8 without it. Whatever an
// earlier scenario left is removed first: every scenario starts without a policy.
void ScenarioRunner::PreparePolicy() {
    RemovePolicy();
    for (const ScenarioLine& line : lines) {
        const std::vector<std::string>& w = line.words;
        if (w[0] == "policy-file" && w.size() >= 2) {
            WriteBytes(PolicyFilePath(), Unescaped(w[1]));
        } else if (w[0] == "policy-file-utf32" && w.size() >= 2) {
            std::string bytes("\xFF\xFE\0\0", 4);
            for (wchar_t c : AnsiToWide(Unescaped(w[1])))
                bytes +=
                    std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8), '\0', '\0'};
            WriteBytes(PolicyFilePath(), bytes);
        } else if (w[0] == "settings-file-utf16" && w.size() >= 3) {
            std::wstring wide = AnsiToWide(Unescaped(w[2]));
            wide.insert(wide.begin(), L'\xFEFF');
            WriteBytes(SettingsFolderFile(w[1]),
                       std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));
        } else if (w[0] == "settings-file-utf8" && w.size() >= 3) {
            const std::wstring wide = AnsiToWide(Unescaped(w[2]));
            std::string utf8(wide.size() * 3, '\0');
            const int length =
                WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
            utf8.resize(length > 0 ? static_cast<size_t>(length) : 0);
            WriteBytes(SettingsFolderFile(w[1]), utf8);
        } else if (w[0] == "policy" && w.size() >= 5) {
            WritePolicyValue(w);
        }
    }
    for (const ScenarioLine& line : lines) {
        if (line.words[0] == "policy-file-held")
            holder = HoldFileOpen(PolicyFilePath());
    }
}

void ScenarioRunner::RemovePolicy() {
    if (holder != nullptr) {
        TerminateProcess(holder, 0);
        WaitForSingleObject(holder, 5000);
        CloseHandle(holder);
        holder = nullptr;
    }
    if (UnderWow64())
        RunReg64(std::string("delete \"HKLM\\") + kPolicyKey + "\" /f");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kPolicyKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kPolicyKey);
    const std::string file = PolicyFilePath();
    if (!file.empty())
        DeleteFileA(file.c_str());
}

void ScenarioRunner::Start(MailClient* client, const std::string& shotsFolder, DWORD timeout) {
    context = new ScenarioContext(client);
    context->shotsFolder = shotsFolder;
    g_runner = this;
    started = GetTickCount();
    timeoutMs = timeout;
    client->SetKeepRunning(true);
    context->stepStarted = GetTickCount();
    timer = SetTimer(nullptr, 0, kStepIntervalMs, &ScenarioRunner::OnTimer);
}

void CALLBACK ScenarioRunner::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_runner)
        g_runner->Step();
}

// One step per timer tick: everything a step posted is handled before the next tick comes.
void ScenarioRunner::Step() {
    if (busy || ended)
        return;
    busy = true;
    if (GetTickCount() - started > timeoutMs) {
        LogAlways("FAIL the scenario did not finish within %lu ms (stuck at line %d)", timeoutMs,
                  next < lines.size() ? lines[next].number : 0);
        context->failed++;
        Finish();
        ExitProcess(4);
    }
    if (next < lines.size()) {
        StepResult result = Execute(lines[next]);
        context->firstCall = false;
        if (result != kStepPending) {
            ++next;
            context->stepStarted = GetTickCount();
            context->firstCall = true;
        }
    }
    if (next >= lines.size())
        End();
    busy = false;
}

StepResult ScenarioRunner::Execute(const ScenarioLine& line) {
    const std::string& name = line.words[0];
    if (name == "option" || name == "setting" || name == "settings-file" || name == "policy" ||
        name == "policy-file" || name == "settings-file-utf16" || name == "settings-file-utf8" ||
        name == "policy-file-utf32" || name == "policy-file-held")
        return kStepDone;
    context->line = &line;
    const StepCommand* command = FindCommand(name);
    if (!command)
        return context->Fail("unknown command \"%s\"", name.c_str());
    return command->handler(*context);
}

void ScenarioRunner::End() {
    ended = true;
    KillTimer(nullptr, timer);
    Log("scenario: all steps done");
    context->client->QuitWhenMainGone();
}

int ScenarioRunner::Finish() {
    RemovePolicy();
    if (!context)
        return 1;
    Outbox& outbox = context->client->SentMail();
    std::vector<std::string> files = outbox.FileNames();
    PrintLine("outbox %s: %u message(s)", outbox.Folder().c_str(),
              static_cast<unsigned>(files.size()));
    for (const std::string& file : files) {
        HeaderStore headers = outbox.ReadHeaders(file);
        std::string status = headers.Value("X-VelmoraStatus");
        PrintLine("  %s  X-VelmoraStatus: %-2s Subject: %s | To: %s", file.c_str(),
                  status.empty() ? "-" : status.c_str(),
                  Abbreviate(headers.Value("Subject"), 50).c_str(),
                  Abbreviate(headers.Value("To"), 60).c_str());
    }
    int total = context->passed + context->failed;
    PrintLine("result: %d of %d expectations met%s", context->passed, total,
              context->failed ? " -- FAILED" : "");
    return context->failed ? 1 : 0;
}
