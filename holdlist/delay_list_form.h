// The hold list: the held messages of one mailbox, to be sent at once or taken back.
#pragma once
#include <windows.h>

#include <vector>

#include "ui/dialog.h"

class LocalSetting;
class SDelayLogic;
class SDelayMail;
class SHoldPause;
class SListView;
class SButton;
struct SHostApi;

// Posted from OnInitDialog when nothing is held, so the box shows over the open dialog.
const UINT kNothingHeldMessage = WM_APP + 0x100;

// Results passed to EndDialog besides IDOK (stopped) and IDCANCEL (closed, nothing left).
const int kDelayListSentNow = 4;

class SDelayListForm : public SDialog {
  public:
    SDelayListForm(HINSTANCE moduleInstance, HWND parent);
    int OnInitDialog(HWND window) override;
    int OnCommand(HWND window, int id, int notifyCode, HWND controlWindow) override;
    int DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    ~SDelayListForm() override;
    int OnNotify(HWND window, UINT message, int controlId, NMHDR* notifyHeader);
    int OnNothingHeld(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    int OnItemChanged(HWND listWindow);
    int OnItemDoubleClick(HWND window, HWND listWindow);

    void OnHostEnded() override;

    // Bounded copy of the mailbox key.
    void SetMailboxPath(const char* path);
    int FillList();
    void AddRow(const SDelayMail& mail);
    void SaveColumnWidths();

    // The pause of this list's mailbox, through which the list reaches the hold queue.
    SHoldPause* pause;
    SHostApi* hostApi;
    LocalSetting* settings;
    SListView* listView;
    SButton* sendNowButton;
    SButton* stopButton;
    SButton* closeButton;
    char mailboxPath[MAX_PATH];
    std::vector<HWND> rowWindows;

  private:
    // Null once the plug-in has ended.
    SDelayLogic* Queue() const;
    void ShowCaption();
    void InsertColumns();
    int StopSending(HWND window);
    int SendNow(HWND window);
    bool AnyRowSelected();
    void ShowNothingSelected(HWND window);
    bool SelectedRowsHeld();
    int ShowNoLongerHeld(HWND window);
};
