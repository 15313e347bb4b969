// The stand-in client's main window: menu bar, minute timer, close and log-off queries.
#pragma once
#include <windows.h>

const UINT kQueryEndRequest = WM_APP + 1;
const UINT kTickRequest = WM_APP + 2;
const UINT_PTR kMinuteTimer = 1;

// What the client does for the main window's commands and its end.
class MainWindowEvents {
  public:
    virtual ~MainWindowEvents() {}
    virtual void OnMenuCommand(UINT id) = 0;
    virtual void OnInitMenuPopup(HMENU popup) = 0;
    virtual void OnMinuteTimer(bool fromTimer) = 0;
    virtual void OnQueryEndRequest() = 0;
    virtual void OnMainClosing() = 0;
    virtual void OnMainDestroyed() = 0;
};

class MainWindow {
  public:
    static bool RegisterWindowClass(HINSTANCE instance);

    explicit MainWindow(MainWindowEvents* events);
    bool Create(HINSTANCE instance, HMENU menu);
    HWND Handle() const { return window; }
    bool IsAlive() const { return window != nullptr; }
    void StartTimer(UINT intervalMs);

  private:
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    MainWindowEvents* events;
    HWND window;
};
