#include "ui/win_control.h"

#include <commctrl.h>

#include <cstring>

#include "support/guard.h"
#include "support/mbcs.h"
#include "support/text_copy.h"
#include "ui/subclass_id_pool.h"

SWinControl::SWinControl(HWND window) : window(window), subclassId(0), cachedText(nullptr) {
    ReadWindowText();
    Subclass();
}

SWinControl::~SWinControl() {
    delete[] cachedText;
}

void SWinControl::ReadWindowText() {
    int length = GetWindowTextLengthA(window);
    if (length < 0)
        length = 0;
    cachedText = new char[length + 1];
    cachedText[0] = '\0';
    GetWindowTextA(window, cachedText, length + 1);
    cachedText[length] = '\0';
}

void SWinControl::Subclass() {
    subclassId = AllocateSubclassId();
    SetWindowSubclass(window, ControlSubclassProc, static_cast<UINT_PTR>(subclassId),
                      reinterpret_cast<DWORD_PTR>(this));
}

void SWinControl::Attach(HWND newWindow) {
    window = newWindow;
    if (cachedText)
        SetWindowTextA(window, cachedText);
    else
        ReadWindowText();
    Subclass();
}

LRESULT CALLBACK SWinControl::ControlSubclassProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR, DWORD_PTR refData) {
    return GuardedCall<LRESULT>(0, [&]() -> LRESULT {
        SWinControl* control = reinterpret_cast<SWinControl*>(refData);
        if (control && control->window)
            return control->HandleMessage(window, message, wParam, lParam);
        return DefSubclassProc(window, message, wParam, lParam);
    });
}

LRESULT SWinControl::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        return OnDestroy(window, message, wParam, lParam);
    case WM_SIZE:
        return OnSize(window, message, wParam, lParam);
    case WM_SETCURSOR:
        return OnSetCursor(window, message, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    default:
        return DefSubclassProc(window, message, wParam, lParam);
    }
}

LRESULT SWinControl::OnSize(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT SWinControl::OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT SWinControl::OnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    RemoveWindowSubclass(window, ControlSubclassProc, static_cast<UINT_PTR>(subclassId));
    ReleaseSubclassId(subclassId);
    return result;
}

// The default processing still runs, so that an edit field shows its text cursor; no
// control here claims the cursor itself.
LRESULT SWinControl::OnSetCursor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DefSubclassProc(window, message, wParam, lParam);
    return 0;
}

void SWinControl::GetText(char* buffer, size_t size) const {
    if (!buffer || size == 0)
        return;
    if (!cachedText) {
        buffer[0] = '\0';
        return;
    }
    CopyMbcs(buffer, size, cachedText);
}

void SWinControl::ReplaceCachedText(const char* text) {
    char* copy = NewTextCopy(text);
    delete[] cachedText;
    cachedText = copy;
}

void SWinControl::SetText(const char* text) {
    if (!text)
        text = "";
    if (cachedText && strcmp(cachedText, text) == 0)
        return;
    ReplaceCachedText(text);
    if (window)
        SetWindowTextA(window, cachedText);
}

void SWinControl::RefreshText() {
    const int kLocalSize = 256;
    int length = GetWindowTextLengthA(window);
    if (length < 0)
        length = 0;
    char local[kLocalSize];
    char* heap = nullptr;
    char* text = local;
    int size = kLocalSize;
    if (length >= kLocalSize) {
        heap = new char[length + 1];
        text = heap;
        size = length + 1;
    }
    text[0] = '\0';
    GetWindowTextA(window, text, size);
    text[size - 1] = '\0';
    try {
        if (!cachedText || strcmp(cachedText, text) != 0)
            ReplaceCachedText(text);
    } catch (...) {
        delete[] heap;
        throw;
    }
    delete[] heap;
}

SButton::~SButton() {}
SEdit::~SEdit() {}
SLabel::~SLabel() {}
SListBox::~SListBox() {}
SListView::~SListView() {}

int SListBox::AddString(const char* text) {
    return static_cast<int>(SendMessageA(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int SListBox::InsertString(int index, const char* text) {
    return static_cast<int>(
        SendMessageA(window, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text)));
}

bool SListBox::DeleteString(int index) {
    return SendMessageA(window, LB_DELETESTRING, index, 0) != LB_ERR;
}

int SListBox::GetItemCount() {
    return static_cast<int>(SendMessageA(window, LB_GETCOUNT, 0, 0));
}

bool SListBox::GetItemText(int index, char* buffer, size_t size) {
    int length = static_cast<int>(SendMessageA(window, LB_GETTEXTLEN, index, 0));
    if (length == LB_ERR || length < 0 || size == 0 || !buffer)
        return false;
    char* text = new char[length + 1];
    text[0] = '\0';
    int copied =
        static_cast<int>(SendMessageA(window, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text)));
    text[copied >= 0 && copied <= length ? copied : length] = '\0';
    CopyMbcs(buffer, size, text);
    delete[] text;
    return true;
}

int SListBox::GetSelectedText(char* buffer, size_t size) {
    int index = static_cast<int>(SendMessageA(window, LB_GETCURSEL, 0, 0));
    if (index < 0)
        return -1;
    return GetItemText(index, buffer, size) ? index : -1;
}

int SListView::InsertItem(int subItem, const char* text, UINT mask) {
    int row = static_cast<int>(SendMessageA(window, LVM_GETITEMCOUNT, 0, 0));
    LVITEMA item = {};
    item.mask = mask;
    item.iItem = row;
    item.iSubItem = subItem;
    item.pszText = const_cast<char*>(text);
    SendMessageA(window, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return row;
}

int SListView::SetItem(int subItem, int row, const char* text, UINT mask) {
    LVITEMA item = {};
    item.mask = mask;
    item.iItem = row;
    item.iSubItem = subItem;
    item.pszText = const_cast<char*>(text);
    return static_cast<int>(SendMessageA(window, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int SListView::DeleteAllItems() {
    return static_cast<int>(SendMessageA(window, LVM_DELETEALLITEMS, 0, 0));
}

int SListView::GetColumnWidth(int column) {
    return static_cast<int>(SendMessageA(window, LVM_GETCOLUMNWIDTH, column, 0));
}

int SListView::GetNextSelected(int start) {
    return static_cast<int>(SendMessageA(window, LVM_GETNEXTITEM, start, LVNI_SELECTED));
}

int SListView::InsertColumn(int index, int subItem, const char* text, int width, int format,
                            UINT mask) {
    LVCOLUMNA column = {};
    column.mask = mask;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(text);
    column.iSubItem = subItem;
    return static_cast<int>(
        SendMessageA(window, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column)));
}

DWORD SListView::SetExtendedStyle(DWORD style) {
    return static_cast<DWORD>(SendMessageA(window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style));
}
