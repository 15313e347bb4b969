#include "tools/standin/mail_client.h"

#include <cstdio>

#include "tools/standin/timeline.h"
#include "tools/standin/virtual_clock.h"

namespace {

const char kStatusHeader[] = "X-VelmoraStatus";

// <temp>\zvhost-<pid>\<leaf>\ , created with its parent.
std::string DefaultFolder(const char* leaf) {
    char temp[MAX_PATH] = "";
    DWORD length = GetTempPathA(sizeof(temp), temp);
    if (length == 0 || length >= sizeof(temp))
        lstrcpynA(temp, ".\\", sizeof(temp));
    // Process ids come round again in a long-lived Wine prefix: the tick count keeps runs apart.
    static char run[MAX_PATH + 48] = "";
    if (!run[0]) {
        snprintf(run, sizeof(run), "%szvhost-%lu-%lu", temp, GetCurrentProcessId(), GetTickCount());
        CreateDirectoryA(run, nullptr);
    }
    return std::string(run) + "\\" + leaf + "\\";
}

ClientOptions WithDefaults(ClientOptions options) {
    if (options.dataFolder.empty())
        options.dataFolder = DefaultFolder("data");
    if (options.outboxFolder.empty())
        options.outboxFolder = DefaultFolder("outbox");
    return options;
}

std::string StatusOf(const ComposeWindow* compose) {
    std::string status = compose->Headers().Value(kStatusHeader);
    return status.empty() ? "-" : status;
}

} // namespace

MailClient::MailClient(const ClientOptions& clientOptions)
    : lastSetupResult(0), lastQueryEndResult(0), options(WithDefaults(clientOptions)),
      instance(GetModuleHandleA(nullptr)), mailboxes(options.dataFolder),
      outbox(options.outboxFolder), mainWindow(this), started(false), exited(false),
      keepRunning(false) {
    g_backend = this;
}

MailClient::~MailClient() {
    Shutdown();
    for (ComposeWindow* compose : composeWindows)
        delete compose;
    g_backend = nullptr;
}

bool MailClient::Open() {
    if (!mailboxes.CreateDataFolder() || !outbox.Create()) {
        Log("ERROR cannot create the data folder %s or the outbox %s", mailboxes.DataFolder(),
            outbox.Folder().c_str());
        return false;
    }
    mailboxes.Add("box1\\", "営業部 山田太郎");
    mailboxes.Add("box2\\", "サポート窓口");
    mailboxes.SetCurrent("box1\\");
    Log("client: data folder %s, outbox %s", mailboxes.DataFolder(), outbox.Folder().c_str());
    if (!plugin.Load(options.pluginPath.c_str())) {
        Log("ERROR LoadLibrary(%s) failed, error %lu", options.pluginPath.c_str(), GetLastError());
        return false;
    }
    Log("client: LoadLibrary(%s): %d of %d callbacks found", options.pluginPath.c_str(),
        plugin.FoundExports(), PluginModule::ExportCount());
    if (!MainWindow::RegisterWindowClass(instance) ||
        !ComposeWindow::RegisterWindowClass(instance) ||
        !mainWindow.Create(instance, menu.BuildBar())) {
        Log("ERROR cannot create the main window");
        return false;
    }
    return true;
}

void MailClient::StartPlugin() {
    if (started)
        return;
    started = true;
    int result = plugin.OnStart ? plugin.OnStart() : 0;
    Log("client: BKC_OnStart -> %d", result);
    if (plugin.OnMenuInit) {
        int before = GetMenuItemCount(menu.Tools());
        result = plugin.OnMenuInit(mainWindow.Handle(), menu.Bar(), 0);
        Log("client: BKC_OnMenuInit(main menu, 0) -> %d; tools menu %d -> %d items", result, before,
            GetMenuItemCount(menu.Tools()));
        before = GetMenuItemCount(menu.Context());
        result = plugin.OnMenuInit(mainWindow.Handle(), menu.Context(), 1);
        Log("client: BKC_OnMenuInit(context menu, 1) -> %d; context menu %d -> %d items", result,
            before, GetMenuItemCount(menu.Context()));
        DrawMenuBar(mainWindow.Handle());
    }
    mainWindow.StartTimer(options.tickMs);
    if (options.tickMs > 0)
        Log("client: minute timer every %u ms", options.tickMs);
}

void MailClient::RestartTimer() {
    mainWindow.StartTimer(options.tickMs);
    Log("client: minute timer (re)started, every %u ms", options.tickMs);
}

void MailClient::ExitPlugin() {
    if (exited)
        return;
    exited = true;
    int result = plugin.OnExit ? plugin.OnExit() : 0;
    Log("client: BKC_OnExit -> %d", result);
}

void MailClient::RestartPlugin() {
    started = false;
    exited = false;
    StartPlugin();
}

int MailClient::RunLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

void MailClient::QuitWhenMainGone() {
    keepRunning = false;
    if (mainWindow.IsAlive())
        DestroyWindow(mainWindow.Handle());
    else
        PostQuitMessage(0);
}

// The plug-in has detached its hooks in BKC_OnExit; compose windows still open go before the
// DLL does, so no window procedure can point into an unloaded module.
void MailClient::Shutdown() {
    if (mainWindow.IsAlive())
        DestroyWindow(mainWindow.Handle());
    ExitPlugin();
    for (ComposeWindow* compose : composeWindows)
        if (compose->IsAlive())
            DestroyWindow(compose->Handle());
    if (plugin.IsLoaded()) {
        FreeLibrary(plugin.module);
        plugin.module = nullptr;
        Log("client: FreeLibrary done");
    }
}

ComposeWindow* MailClient::OpenCompose(const std::string& name, int mode,
                                       const HeaderStore& headers, const std::string& body,
                                       bool announce) {
    ComposeWindow* compose = new ComposeWindow(this, name);
    composeWindows.push_back(compose);
    compose->Headers() = headers;
    compose->body = body;
    if (!compose->Create(instance, static_cast<int>(composeWindows.size()))) {
        Log("ERROR cannot create compose window %s", name.c_str());
        return nullptr;
    }
    openWindows[compose->Handle()] = compose;
    if (!announce) {
        Log("%s: opened, the plug-in not told", name.c_str());
        return compose;
    }
    int result = plugin.OnOpenCompose ? plugin.OnOpenCompose(compose->Handle(), mode) : 0;
    Log("%s: opened (mode %d), BKC_OnOpenCompose -> %d", name.c_str(), mode, result);
    return compose;
}

ComposeWindow* MailClient::FindCompose(const std::string& name) const {
    // The latest window of that name: a scenario may reuse a name after the first was sent.
    for (size_t i = composeWindows.size(); i-- > 0;)
        if (composeWindows[i]->Name() == name)
            return composeWindows[i];
    return nullptr;
}

ComposeWindow* MailClient::FindCompose(HWND window) const {
    std::map<HWND, ComposeWindow*>::const_iterator found = openWindows.find(window);
    return found == openWindows.end() ? nullptr : found->second;
}

int MailClient::GetWindowHandles(HWND* mainHandle, HWND* treeView, HWND* listView, HWND* mailView) {
    if (mainHandle)
        *mainHandle = options.nullMainHandle ? nullptr : mainWindow.Handle();
    HWND* others[] = {treeView, listView, mailView};
    for (HWND* handle : others)
        if (handle)
            *handle = nullptr;
    return 1;
}

UINT MailClient::RegisterCommand(LPCSTR caption, int target, HostCommandProc proc) {
    UINT id = menu.Register(caption, target, proc);
    Log("host: BKA_RegisterCommand(\"%s\", %d) -> %u", caption ? caption : "(null)", target, id);
    return id;
}

int MailClient::RegisterUICallback(UINT commandId, HostCommandStateProc proc) {
    bool ok = proc && menu.SetStateCallback(commandId, proc);
    Log("host: BKA_RegisterUICallback(%u) -> %d", commandId, ok ? 1 : 0);
    return ok ? 1 : 0;
}

LPCSTR MailClient::GetDataFolder() {
    return mailboxes.DataFolder();
}

LPCSTR MailClient::GetCurrentMailBox() {
    return mailboxes.Current();
}

int MailClient::CompGetSpecifiedHeader(HWND window, LPCSTR name, LPSTR buffer, int size) {
    ComposeWindow* compose = FindCompose(window);
    if (!compose) {
        if (buffer && size > 0)
            buffer[0] = '\0';
        return 0;
    }
    return compose->Headers().Get(name, buffer, size);
}

int MailClient::CompSetSpecifiedHeader(HWND window, LPCSTR name, LPCSTR value) {
    ComposeWindow* compose = FindCompose(window);
    if (!compose || !name)
        return 0;
    compose->Headers().Set(name, value);
    return 1;
}

void MailClient::OnMenuCommand(UINT id) {
    if (id == kExitCommand) {
        PostMessageA(mainWindow.Handle(), WM_CLOSE, 0, 0);
        return;
    }
    if (id == kSetupCommand) {
        Log("menu: プラグインの設定... -> BKC_OnPlugInSetup");
        lastSetupResult = plugin.OnPlugInSetup ? plugin.OnPlugInSetup(mainWindow.Handle()) : 0;
        Log("menu: BKC_OnPlugInSetup -> %d", lastSetupResult);
        return;
    }
    const PluginCommand* command = menu.Find(id);
    if (!command)
        return;
    Log("menu: \"%s\" (command %u) -> plug-in handler", command->caption.c_str(), id);
    command->handler(mainWindow.Handle(), 0);
    Log("menu: handler of command %u returned", id);
}

void MailClient::OnInitMenuPopup(HMENU popup) {
    menu.RefreshStates(popup);
}

void MailClient::OnMinuteTimer(bool fromTimer) {
    // A fast timer on a virtual clock would fill the timeline: one line per minute shown.
    static SYSTEMTIME lastLogged;
    SYSTEMTIME now;
    VirtualClock::Now(&now);
    bool sameMinute = now.wHour == lastLogged.wHour && now.wMinute == lastLogged.wMinute &&
                      now.wDay == lastLogged.wDay;
    if (!fromTimer || !sameMinute)
        Log("%s: BKC_OnEveryMinute", fromTimer ? "timer" : "tick");
    lastLogged = now;
    int result = plugin.OnEveryMinute ? plugin.OnEveryMinute() : 0;
    if (result != 0)
        Log("tick: BKC_OnEveryMinute -> %d", result);
}

void MailClient::OnQueryEndRequest() {
    lastQueryEndResult =
        SendMessageA(mainWindow.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    Log("client: WM_QUERYENDSESSION answered %ld (%s)", static_cast<long>(lastQueryEndResult),
        lastQueryEndResult ? "log-off allowed" : "log-off refused");
}

void MailClient::OnMainClosing() {
    Log("client: WM_CLOSE reached the main window: closing");
}

void MailClient::OnMainDestroyed() {
    Log("client: main window destroyed");
    ExitPlugin();
    if (!keepRunning)
        PostQuitMessage(0);
}

int MailClient::Outgoing(ComposeWindow* compose, int mode) {
    int result = plugin.OnOutgoing ? plugin.OnOutgoing(compose->Handle(), mode) : 0;
    compose->lastOutgoing = result;
    return result;
}

void MailClient::OnSendCommand(ComposeWindow* compose) {
    const char* name = compose->Name().c_str();
    int result = Outgoing(compose, 0);
    if (result != 0) {
        Log("%s: send -> BKC_OnOutgoing(0) = %d: not sent; window %s, X-VelmoraStatus: %s", name,
            result, IsWindowVisible(compose->Handle()) ? "visible" : "hidden",
            StatusOf(compose).c_str());
        return;
    }
    if (compose->refuseNextSend) {
        compose->refuseNextSend = false;
        Log("%s: send -> BKC_OnOutgoing(0) = 0, but the client fails to send; window kept open "
            "(X-VelmoraStatus: %s)",
            name, StatusOf(compose).c_str());
        return;
    }
    std::string file = outbox.Write(compose->Headers(), compose->body);
    if (file.empty()) {
        Log("ERROR %s: the message could not be written to the outbox; window kept open", name);
        return;
    }
    ++compose->sentCount;
    Log("%s: send -> BKC_OnOutgoing(0) = 0: SENT as %s (X-VelmoraStatus: %s, Subject: %s)", name,
        file.c_str(), StatusOf(compose).c_str(),
        Abbreviate(compose->Headers().Value("Subject")).c_str());
    PostMessageA(compose->Handle(), WM_CLOSE, 0, 0);
}

void MailClient::OnSaveDraftCommand(ComposeWindow* compose) {
    int result = Outgoing(compose, 1);
    Log("%s: save draft -> BKC_OnOutgoing(1) = %d; not sent (X-VelmoraStatus: %s)",
        compose->Name().c_str(), result, StatusOf(compose).c_str());
}

// The client's meaning of 10520: back to editing, so the user sees the message again.
void MailClient::OnBackToEditing(ComposeWindow* compose) {
    ShowWindow(compose->Handle(), SW_SHOW);
    SetFocus(compose->Handle());
    Log("%s: command 10520: back to editing (window shown, X-VelmoraStatus: %s)",
        compose->Name().c_str(), StatusOf(compose).c_str());
}

void MailClient::OnComposeGone(ComposeWindow* compose) {
    for (std::map<HWND, ComposeWindow*>::iterator it = openWindows.begin(); it != openWindows.end();
         ++it)
        if (it->second == compose) {
            openWindows.erase(it);
            break;
        }
    Log("%s: window closed", compose->Name().c_str());
}
