// The hook on the host's main window that refuses to close while messages are held, and says
// why on Windows' log-off screen.
#pragma once
#include <windows.h>

#include "host/host_window.h"

class VelmoraLogic;

const UINT_PTR kMainWindowSubclassId = 40622441;

// Posted to the main window to write the held-mail journal once the host's callback is over.
UINT JournalFlushMessage();

class SMainWindow : public SHostWindow {
  public:
    SMainWindow(VelmoraLogic* logic, HWND window);
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual LRESULT OnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnQueryEnd(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // While mail is held, the reason Windows shows when a log-off waits for the host.
    void ShowHeldCount(int held);
    ~SMainWindow() override;

  private:
    void OnSessionEnding();

    VelmoraLogic* owner;
    int shownHeld;
};
