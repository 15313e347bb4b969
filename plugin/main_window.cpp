#include "plugin/main_window.h"

#include <commctrl.h>

#include "plugin/store_flush.h"
#include "plugin/velmora_logic.h"

SMainWindow::SMainWindow(VelmoraLogic* logic, HWND window)
    : SHostWindow(logic, window, kMainWindowSubclassId), owner(logic) {}

LRESULT SMainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && message == StoreFlushMessage()) {
        owner->FlushStores();
        return 0;
    }
    // Logging off ends the client as surely as closing it.
    if (message == WM_CLOSE || message == WM_QUERYENDSESSION)
        return OnClose(window, message, wParam, lParam);
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT SMainWindow::OnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!owner->CanClose(window))
        return 0;
    return DefSubclassProc(window, message, wParam, lParam);
}
