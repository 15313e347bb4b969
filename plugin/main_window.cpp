#include "plugin/main_window.h"

#include <commctrl.h>

#include "plugin/velmora_logic.h"

SMainWindow::SMainWindow(VelmoraLogic* logic, HWND window)
    : SHostWindow(logic, window, kMainWindowSubclassId), owner(logic) {}

// Registered, so it can never be one of the host's own messages.
UINT JournalFlushMessage() {
    static const UINT message = RegisterWindowMessageA("zVelmora.JournalFlush");
    return message;
}

LRESULT SMainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && message == JournalFlushMessage()) {
        owner->FlushJournal();
        return 0;
    }
    if (message == WM_CLOSE)
        return OnClose(window, message, wParam, lParam);
    if (message == WM_QUERYENDSESSION)
        return OnQueryEnd(window, message, wParam, lParam);
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT SMainWindow::OnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!owner->CanClose(window))
        return 0;
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT SMainWindow::OnQueryEnd(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return OnClose(window, message, wParam, lParam);
}
