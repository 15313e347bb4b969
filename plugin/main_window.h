// The hook on the host's main window: the exit check before it closes, and the posted flush of
// the journal and the domain history.
#pragma once
#include <windows.h>

#include "host/host_window.h"

class VelmoraLogic;

const UINT_PTR kMainWindowSubclassId = 40622441;

class SMainWindow : public SHostWindow {
  public:
    SMainWindow(VelmoraLogic* logic, HWND window);
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    VelmoraLogic* owner;
};
