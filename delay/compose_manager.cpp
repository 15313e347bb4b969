#include "delay/compose_manager.h"

#include <algorithm>
#include <commctrl.h>

#include "delay/delay_logic.h"
#include "delay/velmora_logic.h"

namespace {

// A window that is gone can never be sent; its handle may soon name another window.
void ForgetDestroyedWindow(VelmoraLogic* logic, HWND window) {
    if (logic && logic->delayLogic)
        logic->delayLogic->ForgetWindow(window);
}

void Unregister(SComposeManager* owner, HWND window) {
    if (!owner)
        return;
    SComposeWindow* hook = owner->FindComposeWindow(window);
    if (hook)
        owner->Remove(hook);
}

} // namespace

SComposeWindow::SComposeWindow(VelmoraLogic* logic, HWND window, SComposeManager* registry)
    : SHostWindow(logic, window, kComposeWindowSubclassId), registry(registry), released(0) {}

SComposeWindow::~SComposeWindow() {}

LRESULT SComposeWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE)
        return OnClose(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // Destroyed without WM_CLOSE: leave the registry now rather than at exit.
        VelmoraLogic* owner = logic;
        Unregister(registry, window);
        LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        ForgetDestroyedWindow(owner, window);
        return result;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT SComposeWindow::OnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // This usually destroys the very hook that is running: touch nothing of it afterwards.
    VelmoraLogic* owner = logic;
    Unregister(registry, window);
    LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (!IsWindow(window))
        ForgetDestroyedWindow(owner, window);
    return result;
}

SComposeManager::SComposeManager(VelmoraLogic* logic) : logic(logic) {}

SComposeManager::~SComposeManager() {
    while (!windows.empty()) {
        SComposeWindow* hook = windows.front();
        windows.erase(windows.begin());
        delete hook;
    }
}

SComposeWindow* SComposeManager::Register(HWND window) {
    SComposeWindow* hook = new SComposeWindow(logic, window, this);
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
