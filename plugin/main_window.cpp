#include "plugin/main_window.h"

#include <commctrl.h>

#include <string>

#include "journal/event_log.h"
#include "plugin/store_flush.h"
#include "plugin/velmora_logic.h"
#include "support/code_page.h"

SMainWindow::SMainWindow(VelmoraLogic* logic, HWND window)
    : SHostWindow(logic, window, kMainWindowSubclassId), owner(logic), shownHeld(0) {}

// The window outlives the plug-in: no reason may stay on it.
SMainWindow::~SMainWindow() {
    ShowHeldCount(0);
}

LRESULT SMainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != 0 && message == StoreFlushMessage()) {
        owner->FlushStores();
        return 0;
    }
    // Logging off ends the client as surely as closing it.
    if (message == WM_CLOSE || message == WM_QUERYENDSESSION)
        return OnClose(window, message, wParam, lParam);
    if (message == WM_ENDSESSION && wParam)
        OnSessionEnding();
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT SMainWindow::OnClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!owner->CanClose(window))
        return 0;
    return DefSubclassProc(window, message, wParam, lParam);
}

void SMainWindow::ShowHeldCount(int held) {
    if (!window || held == shownHeld)
        return;
    shownHeld = held;
    if (held > 0) {
        const std::string reason = "送信保留中のメールが " + std::to_string(held) + " 通あります";
        ShutdownBlockReasonCreate(window, AnsiToWide(reason).c_str());
    } else {
        ShutdownBlockReasonDestroy(window);
    }
}

// Windows ends the process once this returns: what waits for a posted flush must be on disk
// now, or the next start could not name every message.
void SMainWindow::OnSessionEnding() {
    owner->FlushStores();
    if (shownHeld > 0)
        LogEvent(EEventId::SessionEnded, SessionEndedEventText(shownHeld));
}
