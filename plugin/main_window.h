// The hook on the host's main window: the exit check before it closes, the posted flush of
// the journal and the domain history, and why a log-off waits, on Windows' log-off screen.
#pragma once
#include <windows.h>

#include "host/host_window.h"

class VelmoraLogic;

const UINT_PTR kMainWindowSubclassId = 40622441;

class SMainWindow : public SHostWindow {
  public:
    SMainWindow(VelmoraLogic* logic, HWND window);
    ~SMainWindow() override;
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // While mail is held, the reason Windows shows when a log-off waits for the host.
    void ShowHeldCount(int held);

  private:
    LRESULT OnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnSessionEnding();

    VelmoraLogic* owner;
    int shownHeld;
};
