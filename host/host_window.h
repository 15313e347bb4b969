// A hook on one of the host's windows: one subclass per object, one shared procedure.
#pragma once
#include <windows.h>

class SPluginLogic;

class SHostWindow {
  public:
    SHostWindow(SPluginLogic* logic, HWND window, UINT_PTR subclassId);
    virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual ~SHostWindow();

    // Installs the subclass when the window is not null; the result is kept in subclassed.
    bool Attach();

    SPluginLogic* logic;
    HWND window;
    UINT_PTR subclassId;
    BYTE subclassed;

  private:
    SHostWindow(const SHostWindow&) = delete;
    SHostWindow& operator=(const SHostWindow&) = delete;
};

LRESULT CALLBACK HostWindowSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclassId, DWORD_PTR refData);
