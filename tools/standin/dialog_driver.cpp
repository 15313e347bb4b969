#include "tools/standin/dialog_driver.h"

#include <windows.h>

#include <commctrl.h>

namespace {

const int kMessageBoxTextId = 0xFFFF;

struct Search {
    std::string prefix;
    bool messageBox;
    bool any;
    HWND found;
    HWND owner = nullptr; // when set: only a dialog it owns, enabled or not
};

bool IsOwnDialog(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    return process == GetCurrentProcessId() && strcmp(className, "#32770") == 0 &&
           IsWindowVisible(window);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM param) {
    Search* search = reinterpret_cast<Search*>(param);
    if (!IsOwnDialog(window))
        return TRUE;
    if (search->owner) {
        if (GetWindow(window, GW_OWNER) == search->owner &&
            StartsWith(DialogDriver::WindowText(window), search->prefix)) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }
    if (search->any) {
        search->found = window;
        return FALSE;
    }
    if (!IsWindowEnabled(window))
        return TRUE;
    HWND text = GetDlgItem(window, kMessageBoxTextId);
    bool matches = search->messageBox
                       ? text && StartsWith(DialogDriver::WindowText(text), search->prefix)
                       : StartsWith(DialogDriver::WindowText(window), search->prefix);
    if (matches) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND Find(const std::string& prefix, bool messageBox, bool any) {
    Search search = {prefix, messageBox, any, nullptr};
    EnumWindows(&VisitWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void SetListViewState(HWND list, int row, UINT state) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

} // namespace

namespace DialogDriver {

HWND FindDialog(const std::string& captionPrefix) {
    return Find(captionPrefix, false, false);
}

HWND FindOwnedDialog(HWND owner, const std::string& captionPrefix) {
    Search search = {captionPrefix, false, false, nullptr, owner};
    EnumWindows(&VisitWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindMessageBox(const std::string& text) {
    return Find(text, true, false);
}

bool AnyDialogShown() {
    return TopDialog() != nullptr;
}

HWND TopDialog() {
    return Find(std::string(), false, true);
}

std::string WindowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(length + 1, '\0');
    GetWindowTextA(window, &text[0], length + 1);
    text.resize(strlen(text.c_str()));
    return text;
}

bool IsListView(HWND control) {
    char className[32] = "";
    GetClassNameA(control, className, sizeof(className));
    return lstrcmpiA(className, WC_LISTVIEWA) == 0;
}

bool SelectRows(HWND dialog, int controlId, const std::vector<int>& rows) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        return false;
    if (IsListView(control)) {
        SetListViewState(control, -1, 0);
        for (int row : rows)
            SetListViewState(control, row, LVIS_SELECTED | LVIS_FOCUSED);
        return true;
    }
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        SendMessageA(control, LB_SETSEL, FALSE, -1);
        for (int row : rows)
            SendMessageA(control, LB_SETSEL, TRUE, row);
    } else {
        SendMessageA(control, LB_SETCURSEL, rows.empty() ? -1 : rows[0], 0);
    }
    // A click would also tell the dialog; setting the selection by message does not.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
    return true;
}

// Space on the row, sent rather than posted so that the next row's focus waits for it: a list
// that asks its dialog for the rows keeps no ticks a message could set.
void SetRowTicked(HWND list, int row, bool ticked) {
    if (IsRowTicked(list, row) == ticked)
        return;
    SetListViewState(list, -1, 0);
    SetListViewState(list, row, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageA(list, WM_KEYDOWN, VK_SPACE, 1);
    SendMessageA(list, WM_KEYUP, VK_SPACE, 0xC0000001);
}

bool IsRowTicked(HWND list, int row) {
    LRESULT state = SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void PressKey(HWND control, UINT key) {
    // Through the dialog manager, as Tab moves it: a push button given the focus this way also
    // becomes the one Enter presses.
    HWND dialog = GetParent(control);
    if (dialog && (GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP))
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    else
        SetFocus(control);
    // The dialog's loop translates and routes them as it would a real key.
    PostMessageA(control, WM_KEYDOWN, key, 1);
    PostMessageA(control, WM_KEYUP, key, 0xC0000001);
}

int RowCount(HWND control) {
    if (IsListView(control))
        return static_cast<int>(SendMessageA(control, LVM_GETITEMCOUNT, 0, 0));
    return static_cast<int>(SendMessageA(control, LB_GETCOUNT, 0, 0));
}

std::string CellText(HWND control, int row, int column) {
    if (!IsListView(control)) {
        LRESULT length = SendMessageA(control, LB_GETTEXTLEN, row, 0);
        if (length == LB_ERR)
            return std::string();
        std::string text(length + 1, '\0');
        SendMessageA(control, LB_GETTEXT, row, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(strlen(text.c_str()));
        return text;
    }
    std::string text(65536, '\0');
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = &text[0];
    item.cchTextMax = static_cast<int>(text.size());
    SendMessageA(control, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    text.resize(strlen(text.c_str()));
    return text;
}

std::string Unescape(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) {
            result += text[i];
            result += text[++i];
        } else if (text[i] == '\\' && i + 1 < text.size() &&
                   (text[i + 1] == 'n' || text[i + 1] == 't')) {
            result += text[i + 1] == 'n' ? '\n' : '\t';
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

} // namespace DialogDriver
