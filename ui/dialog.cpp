#include "ui/dialog.h"

#include <algorithm>
#include <vector>

#include "support/guard.h"

namespace {

// The dialog whose window is being created; it is bound on that window's first message,
// which can arrive before WM_INITDIALOG.
SDialog* g_pendingDialog = nullptr;
// Dialogs inside DoModal, outermost first.
std::vector<SDialog*> g_openDialogs;

bool IsStandardResultId(int id) {
    static const int kIds[] = {IDOK, IDCANCEL, IDABORT, IDRETRY,    IDIGNORE,   IDYES,
                               IDNO, IDCLOSE,  IDHELP,  IDTRYAGAIN, IDCONTINUE, 32000};
    for (int standard : kIds) {
        if (id == standard)
            return true;
    }
    return false;
}

SDialog* BindDialog(HWND window) {
    SDialog* dialog = reinterpret_cast<SDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (dialog)
        return dialog;
    dialog = g_pendingDialog;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
    g_pendingDialog = nullptr;
    return dialog;
}

} // namespace

SDialog::SDialog(HINSTANCE moduleInstance, HWND parent, UINT templateId, UINT iconId)
    : moduleInstance(moduleInstance), templateId(templateId), resultId(0), iconId(iconId),
      window(nullptr), parent(parent), smallIcon(nullptr), bigIcon(nullptr) {}

SDialog::~SDialog() {
    if (smallIcon)
        DestroyIcon(smallIcon);
    if (bigIcon)
        DestroyIcon(bigIcon);
    smallIcon = nullptr;
    bigIcon = nullptr;
}

int SDialog::OnInitDialog(HWND) {
    return 1;
}

int SDialog::OnSize(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

int SDialog::OnCommand(HWND, int, int, HWND) {
    return 0;
}

int SDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        return OnSize(window, message, wParam, lParam);
    case WM_INITDIALOG:
        return HandleInitDialog(window, message, wParam, lParam);
    case WM_COMMAND:
        return HandleCommand(window, message, wParam, lParam);
    default:
        return 0;
    }
}

int SDialog::DoModal() {
    resultId = 0;
    g_openDialogs.push_back(this);
    g_pendingDialog = this;
    INT_PTR result =
        DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(templateId), parent, StaticDialogProc, 0);
    g_openDialogs.erase(std::remove(g_openDialogs.begin(), g_openDialogs.end(), this),
                        g_openDialogs.end());
    // A template that failed to load never took the pending slot; leaving it set would bind
    // the next dialog's window to this object after it is gone.
    if (g_pendingDialog == this)
        g_pendingDialog = nullptr;
    return static_cast<int>(result);
}

void SDialog::EndAllForExit() {
    for (SDialog* dialog : g_openDialogs) {
        dialog->OnHostEnded();
        if (dialog->window)
            EndDialog(dialog->window, IDCANCEL);
    }
}

void SDialog::SetCaption(const char* text) {
    if (window)
        SetWindowTextA(window, text);
}

void SDialog::CheckButton(int id, bool checked) {
    if (window)
        CheckDlgButton(window, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool SDialog::IsButtonChecked(int id) const {
    return window && IsDlgButtonChecked(window, id) == BST_CHECKED;
}

void SDialog::EnableItem(int id, bool enable) {
    if (window)
        EnableWindow(GetDlgItem(window, id), enable ? TRUE : FALSE);
}

void SDialog::ShowItem(int id, bool show) {
    if (window)
        ShowWindow(GetDlgItem(window, id), show ? SW_SHOW : SW_HIDE);
}

void SDialog::SetMsgResult(LRESULT result) {
    if (window)
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
}

int SDialog::HandleInitDialog(HWND window, UINT, WPARAM, LPARAM) {
    int result = OnInitDialog(window);
    if (iconId != 0) {
        bigIcon = nullptr;
        smallIcon = static_cast<HICON>(LoadImageA(moduleInstance, MAKEINTRESOURCEA(iconId),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    }
    // Posted, so that the size handling runs once the dialog is fully set up.
    RECT rect = {};
    GetWindowRect(window, &rect);
    PostMessageA(window, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(rect.right - rect.left, rect.bottom - rect.top));
    return result;
}

int SDialog::HandleCommand(HWND window, UINT, WPARAM wParam, LPARAM lParam) {
    int id = LOWORD(wParam);
    int notifyCode = HIWORD(wParam);
    int result = OnCommand(window, id, notifyCode, reinterpret_cast<HWND>(lParam));
    if (result == 1 && IsStandardResultId(id))
        resultId = id;
    return result;
}

INT_PTR CALLBACK SDialog::StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    return GuardedCall<INT_PTR>(0, [&]() -> INT_PTR {
        SDialog* dialog = BindDialog(window);
        if (!dialog)
            return 0;
        if (!dialog->window)
            dialog->window = window;
        if (!dialog->parent)
            dialog->parent = GetParent(window);
        return dialog->DialogProc(window, message, wParam, lParam);
    });
}
