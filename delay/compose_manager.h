// The registry of hooks on compose windows, which tells plug-in sends from user sends.
#pragma once
#include <windows.h>

#include <vector>

#include "host/host_window.h"

class VelmoraLogic;
class SComposeManager;

const UINT_PTR kComposeWindowSubclassId = 40622442;

class SComposeWindow : public SHostWindow {
  public:
    SComposeWindow(VelmoraLogic* logic, HWND window, SComposeManager* registry);
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    ~SComposeWindow() override;
    virtual LRESULT OnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    SComposeManager* registry;
    // Set once the plug-in itself released this window's message; never reset.
    BYTE released;
};

class SComposeManager {
  public:
    explicit SComposeManager(VelmoraLogic* logic);
    virtual ~SComposeManager();

    // Registers a hook for a newly opened compose window.
    SComposeWindow* Register(HWND window);
    SComposeWindow* FindComposeWindow(HWND window) const;
    // Takes the hook off the list and destroys it; false when it is not listed.
    bool Remove(SComposeWindow* hook);

    VelmoraLogic* logic;
    std::vector<SComposeWindow*> windows;

  private:
    SComposeManager(const SComposeManager&) = delete;
    SComposeManager& operator=(const SComposeManager&) = delete;
};
