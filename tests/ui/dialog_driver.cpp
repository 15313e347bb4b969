#include "dialog_driver.h"

#include <commctrl.h>

#include <cstring>

namespace {

SDialogDriver* g_driver = nullptr;
const UINT kTickMs = 15;

struct DialogSearch {
    const char* caption;
    HWND found;
    int count;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM param) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(param);
    char className[32] = "";
    GetClassNameA(window, className, sizeof(className));
    if (strcmp(className, "#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    ++search->count;
    if (search->caption && WindowText(window) == search->caption)
        search->found = window;
    return TRUE;
}

void EndEveryDialog() {
    std::vector<HWND> dialogs;
    struct Collect {
        static BOOL CALLBACK Visit(HWND window, LPARAM param) {
            char className[32] = "";
            GetClassNameA(window, className, sizeof(className));
            if (strcmp(className, "#32770") == 0)
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            return TRUE;
        }
    };
    EnumThreadWindows(GetCurrentThreadId(), Collect::Visit, reinterpret_cast<LPARAM>(&dialogs));
    for (HWND dialog : dialogs)
        EndDialog(dialog, IDCANCEL);
}

} // namespace

SDialogDriver::SDialogDriver(DWORD timeoutMs)
    : next(0), deadline(GetTickCount() + timeoutMs), timer(0), busy(false), timedOut(false) {
    g_driver = this;
    timer = SetTimer(nullptr, 0, kTickMs, Tick);
}

SDialogDriver::~SDialogDriver() {
    KillTimer(nullptr, timer);
    if (g_driver == this)
        g_driver = nullptr;
}

SDialogDriver& SDialogDriver::Then(const std::string& what, Step step) {
    steps.emplace_back(what, step);
    return *this;
}

std::string SDialogDriver::Waiting() const {
    return Finished() ? std::string("(all steps done)") : steps[next].first;
}

VOID CALLBACK SDialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_driver)
        g_driver->OnTick();
}

void SDialogDriver::OnTick() {
    if (busy)
        return;
    busy = true;
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
        // Whatever is still open after the deadline is a failure, done or not.
        if (CountDialogs() > 0)
            timedOut = true;
        EndEveryDialog();
    } else if (!Finished() && steps[next].second()) {
        ++next;
    }
    busy = false;
}

HWND FindDialog(const char* caption) {
    DialogSearch search = {caption, nullptr, 0};
    EnumThreadWindows(GetCurrentThreadId(), VisitWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int CountDialogs() {
    DialogSearch search = {nullptr, nullptr, 0};
    EnumThreadWindows(GetCurrentThreadId(), VisitWindow, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

std::string MessageBoxText(HWND box) {
    return WindowText(GetDlgItem(box, 0xFFFF));
}

void PostClick(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SelectListRows(HWND list, const std::vector<int>& rows) {
    LVITEMA clear = {};
    clear.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    for (int row : rows) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
}
