#include "tests/common/fake_host.h"

#include <cstring>

#include "delay/delay_logic.h"
#include "plugin/velmora_logic.h"
#include "settings/local_setting.h"

FakeHost* FakeHost::current = nullptr;

namespace {

const char kComposeClass[] = "ZvTestCompose";
const char kMainClass[] = "ZvTestMain";

LRESULT CALLBACK ComposeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE && FakeHost::current) {
        auto found = FakeHost::current->compose.find(window);
        if (found != FakeHost::current->compose.end() && found->second.closeCancelled)
            return 0;
    }
    if (message == WM_COMMAND && FakeHost::current) {
        auto found = FakeHost::current->compose.find(window);
        if (found != FakeHost::current->compose.end())
            found->second.commands.push_back(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses() {
    static bool done = false;
    if (done)
        return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ComposeProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kComposeClass;
    RegisterClassA(&windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = kMainClass;
    RegisterClassA(&windowClass);
    done = true;
}

int WINAPI GetWindowHandles(HWND* mainWindow, HWND* a, HWND* b, HWND* c) {
    *mainWindow = FakeHost::current->mainWindow;
    *a = *b = *c = nullptr;
    return 1;
}

LPCSTR WINAPI GetCurrentMailBox() {
    return FakeHost::current->mailbox.c_str();
}
LPCSTR WINAPI GetDataFolder() {
    return FakeHost::current->dataFolder.c_str();
}

// Cuts at the byte, even inside a double-byte character: the plug-in must cope with that.
int WINAPI CompGetSpecifiedHeader(HWND window, LPCSTR name, LPSTR buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    std::string value = FakeHost::current->Header(window, name ? name : "");
    size_t n = value.size() < static_cast<size_t>(size) ? value.size() : size - 1;
    memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

int WINAPI CompSetSpecifiedHeader(HWND window, LPCSTR name, LPCSTR value) {
    FakeHost::current->compose[window].headers.Set(name, value);
    return 1;
}

UINT WINAPI RegisterCommand(LPCSTR caption, int target, HostCommandProc proc) {
    FakeCommandRegistration& registered = FakeHost::current->registered;
    ++registered.calls;
    registered.caption = caption ? caption : "";
    registered.target = target;
    registered.proc = proc;
    return registered.nextId;
}

int WINAPI RegisterUICallback(UINT command, HostCommandStateProc proc) {
    FakeHost::current->registered.stateCommand = command;
    FakeHost::current->registered.stateProc = proc;
    return 1;
}

UINT_PTR g_answerTimer = 0;
MessageBoxAnswer* g_answer = nullptr;

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof(className));
    if (strcmp(className, "#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (!box || !g_answer)
        return;
    char text[1024] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    g_answer->text = text;
    GetWindowTextA(box, text, sizeof(text));
    g_answer->caption = text;
    g_answer->answered = true;
    PostMessageA(box, WM_COMMAND, g_answer->button, 0);
    KillTimer(nullptr, g_answerTimer);
    g_answerTimer = 0;
}

} // namespace

FakeHost::FakeHost() : api(), mainWindow(nullptr), mailbox("box1\\"), dataFolder("C:\\data\\") {
    RegisterClasses();
    current = this;
    api.BKA_GetWindowHandles = GetWindowHandles;
    api.BKA_GetCurrentMailBox = GetCurrentMailBox;
    api.BKA_GetDataFolder = GetDataFolder;
    api.BKA_CompGetSpecifiedHeader = CompGetSpecifiedHeader;
    api.BKA_CompSetSpecifiedHeader = CompSetSpecifiedHeader;
    api.BKA_RegisterCommand = RegisterCommand;
    api.BKA_RegisterUICallback = RegisterUICallback;
    mainWindow = CreateWindowA(kMainClass, "main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
}

FakeHost::~FakeHost() {
    for (auto& entry : compose)
        DestroyWindow(entry.first);
    DestroyWindow(mainWindow);
    current = nullptr;
}

HWND FakeHost::OpenCompose() {
    HWND window = CreateWindowA(kComposeClass, "compose", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    compose[window];
    return window;
}

std::string FakeHost::Header(HWND window, const char* name) {
    auto found = compose.find(window);
    return found == compose.end() ? "" : found->second.headers.Value(name);
}

void FakeHost::SetHeader(HWND window, const char* name, const std::string& value) {
    compose[window].headers.Set(name, value.c_str());
}

void FakeHost::Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::vector<WPARAM> FakeHost::Commands(HWND window) {
    Pump();
    return compose[window].commands;
}

int FakeHost::CountCommand(HWND window, WPARAM command) {
    int count = 0;
    for (WPARAM received : Commands(window))
        count += received == command ? 1 : 0;
    return count;
}

VelmoraLogic* StartLogic(FakeHost* host) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string dll(path);
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "..\\zVelmora.dll";
    VelmoraLogic* logic = new VelmoraLogic(GetModuleHandleA(nullptr), &host->api, dll.c_str());
    logic->OnStart();
    // The settings file is shared with the end-to-end scenarios running beside these tests:
    // their Confirm must not put a dialog in front of every send here.
    if (logic->settings)
        logic->settings->Set(EKeyId::Confirm, 0);
    return logic;
}

void StopLogic(VelmoraLogic* logic) {
    // Mail still held at the exit keeps its records for the next start, which any test process
    // sharing this profile may be: give it back first, so no test meets another's notice.
    if (logic->delayLogic)
        logic->delayLogic->TakeBackAll();
    logic->OnExit();
    delete logic;
}

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second, int ms) {
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    time.wMilliseconds = static_cast<WORD>(ms);
    return time;
}

MessageBoxAnswer::MessageBoxAnswer(int button) : answered(false), button(button) {
    g_answer = this;
    g_answerTimer = SetTimer(nullptr, 0, 50, AnswerTimer);
}

MessageBoxAnswer::~MessageBoxAnswer() {
    if (g_answerTimer)
        KillTimer(nullptr, g_answerTimer);
    g_answerTimer = 0;
    g_answer = nullptr;
}
