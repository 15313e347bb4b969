// The registry of hooks on compose windows: it sees each window's end, so nothing is
// remembered of a window whose handle may name another one tomorrow.
#pragma once
#include <windows.h>

#include <vector>

#include "host/host_window.h"

class SComposeManager;
class SHoldBook;

const UINT_PTR kComposeWindowSubclassId = 40622442;

class SComposeWindow : public SHostWindow {
  public:
    SComposeWindow(SPluginLogic* logic, HWND window, SComposeManager* registry);
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    ~SComposeWindow() override;

  private:
    LRESULT OnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    SComposeManager* registry;
};

class SComposeManager {
  public:
    explicit SComposeManager(SPluginLogic* logic);
    ~SComposeManager();

    // Registers a hook for a compose window; a window already registered keeps its one hook.
    SComposeWindow* Register(HWND window);
    SComposeWindow* FindComposeWindow(HWND window) const;
    int Count() const { return static_cast<int>(windows.size()); }

    // The hold memory told when a window is gone; null while there is none.
    void SetBook(SHoldBook* newBook) { book = newBook; }
    // A window being destroyed: its hook leaves, then the hold forgets it.
    void Unregister(HWND window);
    void ForgetWindow(HWND window);

  private:
    bool Remove(SComposeWindow* hook);

    SPluginLogic* logic;
    SHoldBook* book;
    std::vector<SComposeWindow*> windows;

    SComposeManager(const SComposeManager&) = delete;
    SComposeManager& operator=(const SComposeManager&) = delete;
};
