#include "host/host_window.h"

#include <commctrl.h>

#include "support/guard.h"

SHostWindow::SHostWindow(SPluginLogic* logic, HWND window, UINT_PTR subclassId)
    : logic(logic), window(window), subclassId(subclassId), subclassed(0) {}

SHostWindow::~SHostWindow() {
    if (subclassed && RemoveWindowSubclass(window, HostWindowSubclassProc, subclassId))
        subclassed = 0;
}

bool SHostWindow::Attach() {
    if (window)
        subclassed = SetWindowSubclass(window, HostWindowSubclassProc, subclassId,
                                       reinterpret_cast<DWORD_PTR>(this))
                         ? 1
                         : 0;
    return subclassed != 0;
}

LRESULT SHostWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK HostWindowSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclassId, DWORD_PTR refData) {
    return GuardedCall<LRESULT>(0, [&]() -> LRESULT {
        SHostWindow* hook = reinterpret_cast<SHostWindow*>(refData);
        if (hook && hook->subclassId == subclassId)
            return hook->WindowProc(window, message, wParam, lParam);
        return DefSubclassProc(window, message, wParam, lParam);
    });
}
