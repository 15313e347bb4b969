// A modal dialog from one of the module's templates, bound to the object that handles it.
#pragma once
#include <windows.h>

class SDialog {
  public:
    SDialog(HINSTANCE moduleInstance, HWND parent, UINT templateId, UINT iconId);
    virtual int OnInitDialog(HWND window);
    virtual int OnSize(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual int OnCommand(HWND window, int id, int notifyCode, HWND controlWindow);
    virtual int DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual ~SDialog();
    // The plug-in has ended while this dialog was open: drop every pointer to its objects.
    virtual void OnHostEnded() {}

    // The value passed to EndDialog, or -1 when the dialog could not be created.
    int DoModal();
    // Ends every open dialog with IDCANCEL and tells each that the plug-in has ended.
    static void EndAllForExit();
    // No effect before the first message or after the dialog has ended.
    void SetCaption(const char* text);

    // The small chores every form repeats on its own controls; each is a no-op before the
    // dialog exists.
    void CheckButton(int id, bool checked);
    bool IsButtonChecked(int id) const;
    void EnableItem(int id, bool enable);
    void ShowItem(int id, bool show);
    // A notification's answer goes through DWLP_MSGRESULT, not the procedure's return value.
    void SetMsgResult(LRESULT result);

    int HandleInitDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    int HandleCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);

    HINSTANCE moduleInstance;
    UINT templateId;
    int resultId;
    UINT iconId;
    HWND window;
    HWND parent;
    HICON smallIcon;
    HICON bigIcon;

  private:
    SDialog(const SDialog&) = delete;
    SDialog& operator=(const SDialog&) = delete;
};
