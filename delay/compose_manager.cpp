#include "delay/compose_manager.h"

#include <algorithm>
#include <commctrl.h>

#include "delay/hold_book.h"

SComposeWindow::SComposeWindow(SPluginLogic* logic, HWND window, SComposeManager* registry)
    : SHostWindow(logic, window, kComposeWindowSubclassId), registry(registry) {}

SComposeWindow::~SComposeWindow() {}

LRESULT SComposeWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE)
        return OnClose(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // This destroys the very hook that is running: touch nothing of it afterwards.
        SComposeManager* owner = registry;
        owner->Unregister(window);
        LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        owner->ForgetWindow(window);
        return result;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// The hook stays: the client may still ask "save changes?" and keep the window open.
LRESULT SComposeWindow::OnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(window, message, wParam, lParam);
}

SComposeManager::SComposeManager(SPluginLogic* logic) : logic(logic), book(nullptr) {}

SComposeManager::~SComposeManager() {
    while (!windows.empty()) {
        SComposeWindow* hook = windows.front();
        windows.erase(windows.begin());
        delete hook;
    }
}

SComposeWindow* SComposeManager::Register(HWND window) {
    SComposeWindow* hook = FindComposeWindow(window);
    if (hook)
        return hook;
    hook = new SComposeWindow(logic, window, this);
    try {
        windows.push_back(hook);
    } catch (...) {
        delete hook;
        throw;
    }
    hook->Attach();
    return hook;
}

SComposeWindow* SComposeManager::FindComposeWindow(HWND window) const {
    for (SComposeWindow* hook : windows) {
        if (hook->window == window)
            return hook;
    }
    return nullptr;
}

bool SComposeManager::Remove(SComposeWindow* hook) {
    auto found = std::find(windows.begin(), windows.end(), hook);
    if (found == windows.end())
        return false;
    windows.erase(found);
    delete hook;
    return true;
}

void SComposeManager::Unregister(HWND window) {
    SComposeWindow* hook = FindComposeWindow(window);
    if (hook)
        Remove(hook);
}

void SComposeManager::ForgetWindow(HWND window) {
    if (book)
        book->WindowGone(window);
}
