#include "holdlist/delay_list_form.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "delay/delay_logic.h"
#include "delay/delay_mail.h"
#include "host/host_api.h"
#include "res/resource.h"
#include "settings/ini_file.h"
#include "settings/local_setting.h"
#include "support/int_parse.h"
#include "support/mbcs.h"
#include "support/path_utils.h"
#include "support/string_list.h"
#include "ui/win_control.h"

namespace {

const int kColumnCount = 5;
const int kMissingColumnWidth = 10;
const size_t kCellSize = 65536;
const DWORD kListExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
const char* const kColumnTitles[kColumnCount] = {"保留日時", "件名", "To", "Cc", "Bcc"};

// One width per entry of DelayListColumns; none without settings.
std::vector<int> ColumnWidths(const LocalSetting* settings) {
    std::vector<int> widths;
    if (!settings)
        return widths;
    const SStringList& entries = settings->List(EKeyId::DelayListColumns);
    for (const SStringNode* node = entries.first; node != nullptr; node = node->next)
        widths.push_back(ParseDecimalInt(node->text));
    return widths;
}

const char kNothingSelectedText[] = "メールが選択されていません";
const char kNothingSelectedCaption[] = "Velmora";
const char kNoLongerHeldText[] = "選択したメールはもう送信保留中ではありません。\n"
                                 "一覧を最新の状態にしました。";
const char kNoLongerHeldCaption[] = "Velmora";

// The recipients joined with single commas, cut to fit the cell without splitting a
// double-byte character.
void FormatRecipients(const SStringList* list, char* cell, size_t size) {
    std::string joined;
    if (list) {
        for (const SStringNode* node = list->first; node; node = node->next) {
            if (node != list->first)
                joined += ',';
            if (node->text)
                joined += node->text;
            if (joined.size() >= size)
                break;
        }
    }
    CopyMbcs(cell, size, joined.c_str());
}

} // namespace

SDelayListForm::SDelayListForm(HINSTANCE moduleInstance, HWND parent)
    : SDialog(moduleInstance, parent, IDD_DELAY_LIST, 0), pause(nullptr), hostApi(nullptr),
      settings(nullptr), listView(nullptr), sendNowButton(nullptr), stopButton(nullptr),
      closeButton(nullptr) {
    mailboxPath[0] = '\0';
    // The template's list view fails to be created unless its class is registered.
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

SDelayListForm::~SDelayListForm() {
    delete listView;
    delete sendNowButton;
    delete stopButton;
    delete closeButton;
}

void SDelayListForm::SetMailboxPath(const char* path) {
    CopyMbcs(mailboxPath, sizeof(mailboxPath), path ? path : "");
}

SDelayLogic* SDelayListForm::Queue() const {
    return pause ? pause->Queue() : nullptr;
}

void SDelayListForm::OnHostEnded() {
    pause = nullptr;
    settings = nullptr;
    hostApi = nullptr;
}

int SDelayListForm::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        return OnSize(window, message, wParam, lParam);
    case WM_NOTIFY:
        return OnNotify(window, message, static_cast<int>(wParam),
                        reinterpret_cast<NMHDR*>(lParam));
    case WM_INITDIALOG:
        return HandleInitDialog(window, message, wParam, lParam);
    case WM_COMMAND:
        return HandleCommand(window, message, wParam, lParam);
    case kNothingHeldMessage:
        return OnNothingHeld(window, message, wParam, lParam);
    default:
        return 0;
    }
}

// The caption names the mailbox's account, read from the host's own Mailbox.ini.
void SDelayListForm::ShowCaption() {
    char dataFolder[MAX_PATH] = "";
    if (hostApi && hostApi->BKA_GetDataFolder)
        CopyMbcs(dataFolder, sizeof(dataFolder), hostApi->BKA_GetDataFolder());
    std::string file = JoinPath(JoinPath(dataFolder, mailboxPath).c_str(), "Mailbox.ini");

    static const char kPrefix[] = "送信保留リスト [";
    char caption[MAX_PATH];
    memcpy(caption, kPrefix, sizeof(kPrefix));
    size_t length = sizeof(kPrefix) - 1;
    // A cut path would name some other file: then the brackets stay empty.
    if (file.size() < MAX_PATH) {
        SIniFile mailboxIni(file.c_str());
        length += CopyMbcs(caption + length, sizeof(caption) - length - 1,
                           mailboxIni.GetString("Account", "Name", ""));
    }
    caption[length] = ']';
    caption[length + 1] = '\0';
    SetCaption(caption);
}

void SDelayListForm::InsertColumns() {
    const UINT mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    const std::vector<int> widths = ColumnWidths(settings);
    for (int column = 0; column < kColumnCount; ++column) {
        int width = kMissingColumnWidth;
        if (static_cast<size_t>(column) < widths.size())
            width = widths[column];
        listView->InsertColumn(column, column, kColumnTitles[column], width, LVCFMT_LEFT, mask);
    }
}

int SDelayListForm::OnInitDialog(HWND window) {
    ShowCaption();
    listView = new SListView(GetDlgItem(window, IDC_HELD_LIST));
    closeButton = new SButton(GetDlgItem(window, IDCANCEL));
    sendNowButton = new SButton(GetDlgItem(window, IDC_SEND_NOW));
    stopButton = new SButton(GetDlgItem(window, IDOK));
    InsertColumns();
    listView->SetExtendedStyle(kListExtendedStyle);
    if (FillList() == 0)
        PostMessageA(window, kNothingHeldMessage, 0, 0);
    return 1;
}

int SDelayListForm::FillList() {
    listView->DeleteAllItems();
    // Rows and windows stay in step even when the list is filled again.
    rowWindows.clear();
    SDelayLogic* queue = Queue();
    if (!queue)
        return 0;
    int count = 0;
    for (const SDelayMail& mail : queue->ListHeld(mailboxPath)) {
        AddRow(mail);
        rowWindows.push_back(static_cast<HWND>(mail.composeWindow));
        ++count;
    }
    return count;
}

void SDelayListForm::AddRow(const SDelayMail& mail) {
    char heldAt[64];
    snprintf(heldAt, sizeof(heldAt), "%04d/%02d/%02d %02d:%02d:%02d", mail.heldAt.wYear,
             mail.heldAt.wMonth, mail.heldAt.wDay, mail.heldAt.wHour, mail.heldAt.wMinute,
             mail.heldAt.wSecond);
    int row = listView->InsertItem(0, heldAt, LVIF_TEXT);
    listView->SetItem(1, row, mail.subject.c_str(), LVIF_TEXT);

    const SStringList* recipients[] = {mail.to, mail.cc, mail.bcc};
    std::vector<char> cell(kCellSize);
    for (int i = 0; i < 3; ++i) {
        FormatRecipients(recipients[i], cell.data(), cell.size());
        listView->SetItem(2 + i, row, cell.data(), LVIF_TEXT);
    }
}

bool SDelayListForm::AnyRowSelected() {
    return listView->GetNextSelected(-1) != -1;
}

void SDelayListForm::ShowNothingSelected(HWND window) {
    MessageBoxA(window, kNothingSelectedText, kNothingSelectedCaption, MB_ICONINFORMATION);
}

// A row's message may have left while the list was open (sent at the exit question, its
// window destroyed); a row is only worth acting on while its window is still held here.
bool SDelayListForm::SelectedRowsHeld() {
    SDelayLogic* queue = Queue();
    if (!queue)
        return false;
    const std::vector<SDelayMail> held = queue->ListHeld(mailboxPath);
    for (int row = listView->GetNextSelected(-1); row >= 0;) {
        if (static_cast<size_t>(row) >= rowWindows.size())
            return false;
        bool found = false;
        for (const SDelayMail& mail : held)
            found = found || mail.composeWindow == rowWindows[row];
        if (!found)
            return false;
        int next = listView->GetNextSelected(row);
        row = next > row ? next : -1;
    }
    return true;
}

// Nothing is done to any row: the user sees the list as it is now and chooses again.
int SDelayListForm::ShowNoLongerHeld(HWND window) {
    int left = FillList();
    // Ended with the plug-in, whose exit gave every message back: nothing to tell.
    if (Queue())
        MessageBoxA(window, kNoLongerHeldText, kNoLongerHeldCaption, MB_ICONINFORMATION);
    if (left <= 0)
        EndDialog(window, IDCANCEL);
    return 0;
}

int SDelayListForm::StopSending(HWND window) {
    if (!AnyRowSelected()) {
        ShowNothingSelected(window);
        return 0;
    }
    if (!SelectedRowsHeld())
        return ShowNoLongerHeld(window);
    if (MessageBoxA(window, "送信を中止しますか？", "送信中止の確認",
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return 0;
    // The question ran a message loop: the rows may have left meanwhile.
    if (!SelectedRowsHeld())
        return ShowNoLongerHeld(window);
    bool handled = false;
    for (int row = listView->GetNextSelected(-1); row >= 0;) {
        SDelayLogic* queue = Queue();
        if (queue && static_cast<size_t>(row) < rowWindows.size()) {
            queue->TakeBack(mailboxPath, rowWindows[row]);
            handled = true;
        }
        int next = listView->GetNextSelected(row);
        row = next > row ? next : -1;
    }
    if (FillList() <= 0)
        EndDialog(window, IDCANCEL);
    if (handled) {
        SaveColumnWidths();
        EndDialog(window, IDOK);
        return 1;
    }
    ShowNothingSelected(window);
    return 0;
}

int SDelayListForm::SendNow(HWND window) {
    if (!AnyRowSelected()) {
        ShowNothingSelected(window);
        return 0;
    }
    if (!SelectedRowsHeld())
        return ShowNoLongerHeld(window);
    for (int row = listView->GetNextSelected(-1); row >= 0;) {
        SDelayLogic* queue = Queue();
        if (queue && static_cast<size_t>(row) < rowWindows.size() &&
            !queue->SendNow(mailboxPath, rowWindows[row]))
            MessageBoxA(window, "メールを送信できませんでした", "メール送信エラー",
                        MB_ICONINFORMATION);
        int next = listView->GetNextSelected(row);
        row = next > row ? next : -1;
    }
    if (FillList() <= 0)
        EndDialog(window, IDCANCEL);
    SaveColumnWidths();
    EndDialog(window, kDelayListSentNow);
    return 1;
}

int SDelayListForm::OnCommand(HWND window, int id, int, HWND) {
    switch (id) {
    case IDOK:
        return StopSending(window);
    case IDC_SEND_NOW:
        return SendNow(window);
    case IDCANCEL:
        SaveColumnWidths();
        EndDialog(window, IDCANCEL);
        return 1;
    default:
        return 0;
    }
}

int SDelayListForm::OnNotify(HWND window, UINT, int controlId, NMHDR* notifyHeader) {
    if (controlId != IDC_HELD_LIST || !notifyHeader || !listView)
        return 0;
    int code = static_cast<int>(notifyHeader->code);
    if (code == static_cast<int>(LVN_ITEMCHANGED))
        return OnItemChanged(listView->window);
    if (code == static_cast<int>(NM_DBLCLK))
        return OnItemDoubleClick(window, listView->window);
    return 0;
}

int SDelayListForm::OnNothingHeld(HWND window, UINT, WPARAM, LPARAM) {
    MessageBoxA(window, "送信保留中のメールはありません", "Velmora", MB_ICONINFORMATION);
    EndDialog(window, IDCANCEL);
    return 0;
}

int SDelayListForm::OnItemChanged(HWND) {
    return 0;
}

int SDelayListForm::OnItemDoubleClick(HWND, HWND) {
    return 0;
}

// Only the entries that exist are compared; a column shown at the missing-entry width
// stores nothing.
void SDelayListForm::SaveColumnWidths() {
    if (!settings || !listView)
        return;
    bool changed = false;
    std::vector<int> widths = ColumnWidths(settings);
    for (int column = 0; column < kColumnCount && static_cast<size_t>(column) < widths.size();
         ++column) {
        int width = listView->GetColumnWidth(column);
        if (width != widths[column]) {
            widths[column] = width;
            changed = true;
        }
    }
    if (!changed)
        return;
    settings->Set(EKeyId::DelayListColumns, LocalSetting::ColumnWidthsText(widths));
    settings->Save(EKeyId::DelayListColumns);
}
