// The look before a send leaves: every recipient as a row to tick, and the warnings.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "confirm/confirm_rows.h"
#include "res/resource.h"
#include "ui/dialog.h"

class SListView;
class SButton;
class SLabel;

// What DoModal returns when the user sends; anything else means the send is refused.
const int kConfirmSend = IDC_CONFIRM_SEND;

class SConfirmForm : public SDialog {
  public:
    SConfirmForm(HINSTANCE moduleInstance, HWND owner, const SConfirmModel* model);
    int OnInitDialog(HWND window) override;
    int OnCommand(HWND window, int id, int notifyCode, HWND controlWindow) override;
    int DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    ~SConfirmForm() override;
    void OnHostEnded() override;

    // Shown above the rows; set before DoModal.
    std::string subject;
    std::string from;
    std::string nextStep;
    // The plug-in ended while the dialog was open.
    bool hostEnded;

    // What the user ticked, for the log.
    int WarningsTicked() const;

  private:
    void ShowTexts();
    void InsertColumns();
    void FillRows();
    void ShowWarnings();
    void PlaceButtons(int warningSlots);
    int OnNotify(NMHDR* header);
    void OnGetRow(NMLVDISPINFOA* info);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    void OnClick(const NMITEMACTIVATE* click);
    void OnRowStateChanged(const NMLISTVIEW* change);
    int FocusedRow();
    void ToggleRow(int row);
    void RedrawRow(int row);
    void OnTickAllInside();
    void OnWarningClicked(int slot);
    void UpdateSendButton();
    int Send(HWND window);
    void End(HWND window, int result);

    const SConfirmModel* model;
    SConfirmTicks ticks;
    // Kept as the ticks change: a long list is never walked again for one click.
    size_t rowsTicked;
    // Every message to the list is a trip to the window system, dear in a long list ticked key
    // by key: its focus is followed as it reports it, the send button's state is remembered,
    // and a row's place is worked out from the first row's, asked once.
    int focusedRow; // -1: not known, asked of the list once
    bool sendEnabled;
    int rowHeight; // 0 until asked
    int rowsTop;   // the top of the first row in sight, below the header
    SListView* listView;
    SButton* sendButton;
    SButton* cancelButton;
    // One check box for each kind of warning, in the order of the kinds.
    std::vector<std::unique_ptr<SButton>> warningBoxes;
    SLabel* subjectLabel;
    SLabel* fromLabel;
    SLabel* nextLabel;
};
