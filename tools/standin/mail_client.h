// The stand-in mail client: loads the plug-in, owns the main and compose windows, and answers
// the host functions the plug-in calls.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tools/standin/client_menu.h"
#include "tools/standin/compose_window.h"
#include "tools/standin/host_backend.h"
#include "tools/standin/mailboxes.h"
#include "tools/standin/main_window.h"
#include "tools/standin/outbox.h"
#include "tools/standin/plugin_module.h"

struct ClientOptions {
    std::string pluginPath = "zVelmora.dll";
    std::string dataFolder;      // default: <temp>\zvhost-<pid>\data\ .
    std::string outboxFolder;    // default: <temp>\zvhost-<pid>\outbox\ .
    UINT tickMs = 60000;         // 0: no minute timer
    bool nullMainHandle = false; // BKA_GetWindowHandles reports no main window
};

class MailClient : public IHostBackend, public MainWindowEvents, public ComposeEvents {
  public:
    explicit MailClient(const ClientOptions& options);
    ~MailClient();

    // Folders, default mailboxes, LoadLibrary and the main window; false when any fails.
    bool Open();
    // BKC_OnStart, then the menu offered to the plug-in (main menu type 0, context menu type 1).
    void StartPlugin();
    // (Re)starts the minute timer now; its first tick comes one interval later.
    void RestartTimer();
    // BKC_OnExit once; later calls do nothing.
    void ExitPlugin();
    // A restarted client: BKC_OnStart and the menu again after BKC_OnExit, the DLL still loaded.
    void RestartPlugin();
    // Runs the message loop until the main window is gone and nothing keeps the client open.
    int RunLoop();
    // After the loop: remaining compose windows closed, then the DLL unloaded.
    void Shutdown();
    // While set, the loop goes on after the main window is destroyed (a scenario still runs).
    void SetKeepRunning(bool keep) { keepRunning = keep; }
    void QuitWhenMainGone();

    // announce false: the plug-in is not told (BKC_OnOpenCompose is not called).
    ComposeWindow* OpenCompose(const std::string& name, int mode, const HeaderStore& headers,
                               const std::string& body, bool announce = true);
    ComposeWindow* FindCompose(const std::string& name) const;
    ComposeWindow* FindCompose(HWND window) const;

    PluginModule& Plugin() { return plugin; }
    const ClientOptions& Options() const { return options; }
    Mailboxes& MailboxList() { return mailboxes; }
    Outbox& SentMail() { return outbox; }
    ClientMenu& Menu() { return menu; }
    MainWindow& Main() { return mainWindow; }
    bool Started() const { return started; }
    bool Exited() const { return exited; }
    int lastSetupResult;
    LRESULT lastQueryEndResult;

    // IHostBackend
    int GetWindowHandles(HWND* mainWindow, HWND* treeView, HWND* listView, HWND* mailView) override;
    UINT RegisterCommand(LPCSTR caption, int target, HostCommandProc proc) override;
    int RegisterUICallback(UINT commandId, HostCommandStateProc proc) override;
    LPCSTR GetDataFolder() override;
    LPCSTR GetCurrentMailBox() override;
    int CompGetSpecifiedHeader(HWND compose, LPCSTR name, LPSTR buffer, int size) override;
    int CompSetSpecifiedHeader(HWND compose, LPCSTR name, LPCSTR value) override;

    // MainWindowEvents
    void OnMenuCommand(UINT id) override;
    void OnInitMenuPopup(HMENU popup) override;
    void OnMinuteTimer(bool fromTimer) override;
    void OnQueryEndRequest() override;
    void OnMainClosing() override;
    void OnMainDestroyed() override;

    // ComposeEvents
    void OnSendCommand(ComposeWindow* compose) override;
    void OnSaveDraftCommand(ComposeWindow* compose) override;
    void OnBackToEditing(ComposeWindow* compose) override;
    void OnComposeGone(ComposeWindow* compose) override;

  private:
    MailClient(const MailClient&) = delete;
    MailClient& operator=(const MailClient&) = delete;

    int Outgoing(ComposeWindow* compose, int mode);

    ClientOptions options;
    HINSTANCE instance;
    PluginModule plugin;
    Mailboxes mailboxes;
    Outbox outbox;
    ClientMenu menu;
    MainWindow mainWindow;
    std::vector<ComposeWindow*> composeWindows;
    // Open windows by handle: the plug-in's header calls must not slow down with history.
    std::map<HWND, ComposeWindow*> openWindows;
    bool started;
    bool exited;
    bool keepRunning;
};
