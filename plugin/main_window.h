// The hook on the host's main window that refuses to close while messages are held.
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

  private:
    VelmoraLogic* owner;
};
