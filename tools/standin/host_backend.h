// What the stand-in client does behind each host function the plug-in calls.
#pragma once
#include <windows.h>

#include "host/host_api.h"

class IHostBackend {
  public:
    virtual ~IHostBackend() {}
    virtual int GetWindowHandles(HWND* mainWindow, HWND* treeView, HWND* listView,
                                 HWND* mailView) = 0;
    virtual UINT RegisterCommand(LPCSTR caption, int target, HostCommandProc proc) = 0;
    virtual int RegisterUICallback(UINT commandId, HostCommandStateProc proc) = 0;
    virtual LPCSTR GetDataFolder() = 0;
    virtual LPCSTR GetCurrentMailBox() = 0;
    virtual int CompGetSpecifiedHeader(HWND compose, LPCSTR name, LPSTR buffer, int size) = 0;
    virtual int CompSetSpecifiedHeader(HWND compose, LPCSTR name, LPCSTR value) = 0;
};

// The backend the exported host functions forward to; null answers with empty results.
extern IHostBackend* g_backend;

// The version text this build of the stand-in reports.
LPCSTR StandinVersion();
