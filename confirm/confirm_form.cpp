#include "confirm/confirm_form.h"

#include <algorithm>

#include "confirm/confirm_text.h"
#include "res/resource.h"
#include "support/code_page.h"
#include "support/mbcs.h"
#include "ui/win_control.h"

namespace {

const int kColumnCount = 4;
const char* const kColumnTitles[kColumnCount] = {"区分", "欄", "ドメイン", "宛先"};
const int kColumnWidths[kColumnCount] = {230, 36, 170, 260};
const char* const kFieldNames[] = {"To", "Cc", "Bcc", "件名"};
// Warning rows: dark red on pale amber, so that they never read as routine rows.
const COLORREF kAttentionText = RGB(160, 0, 0);
const COLORREF kAttentionBack = RGB(255, 236, 196);
const DWORD kListExtendedStyle = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;

// In dialog units, as the template's: each warning's box in a band of its own under the box
// for the inside rows, and the buttons and the dialog's foot under the last band.
const int kWarningLeft = 7;
const int kWarningsTop = 210;
const int kWarningWidth = 426;
const int kWarningHeight = 20; // two lines
const int kWarningBand = 22;
const int kButtonsBelowBands = 5;
const int kButtonHeight = 14;
const int kFootMargin = 7;
const DWORD kWarningStyle = WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE | BS_TOP;

// The boxes' ids count up from IDC_CONFIRM_WARN_FIRST and step over the send button's, which
// keeps the number it had before the boxes were made here.
int WarningBoxId(int slot) {
    const int id = IDC_CONFIRM_WARN_FIRST + slot;
    return id < IDC_CONFIRM_SEND ? id : id + 1;
}

RECT DialogUnits(HWND dialog, int left, int top, int width, int height) {
    RECT rect = {left, top, left + width, top + height};
    MapDialogRect(dialog, &rect);
    return rect;
}

// The decoded form of an internationalised name, in the code page the list shows; a
// character the code page lacks shows as '?'.
std::string AnsiOfUtf8(const std::string& text) {
    std::wstring wide;
    std::string out;
    if (!Utf8ToWide(text, &wide, false) || !WideToAnsi(wide, &out, false))
        return "";
    return DisplayText(out.c_str(), kRowEntryBytes);
}

const char* KindText(const SConfirmRow& row) {
    if (row.malformed)
        return "組織外（形式不明）";
    if (row.outside)
        return row.newDomain ? "組織外・初めて" : "組織外";
    if (row.substringOnly)
        return "組織内？（部分一致）";
    return "組織内";
}

const char* FieldName(int field) {
    return field >= kFieldTo && field <= kFieldSubject ? kFieldNames[field] : "?";
}

std::string CellText(const SConfirmRow& row, int column) {
    const SRowKind kind = RowKindOf(row.kind);
    if (column == 0) {
        if (!kind.marked)
            return KindText(row);
        return "▲ " + (kind.label ? std::string(kind.label) : AttentionText(row));
    }
    if (column == 1)
        return FieldName(row.field);
    // The domain is kept raw for the history: escaped here as the entry is.
    if (column == 2) {
        const std::string domain = DisplayText(row.domain.c_str(), kRowEntryBytes);
        return row.decoded.empty() ? domain : domain + "（" + AnsiOfUtf8(row.decoded) + "）";
    }
    return kind.label ? AttentionText(row) : row.entry;
}

} // namespace

SConfirmForm::SConfirmForm(HINSTANCE moduleInstance, HWND owner, const SConfirmModel* model)
    : SDialog(moduleInstance, owner, IDD_CONFIRM, 0), hostEnded(false), model(model), rowsTicked(0),
      focusedRow(-1), sendEnabled(false), rowHeight(0), rowsTop(0), listView(nullptr),
      sendButton(nullptr), cancelButton(nullptr), subjectLabel(nullptr), fromLabel(nullptr),
      nextLabel(nullptr) {
    ticks = model->NewTicks();
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

SConfirmForm::~SConfirmForm() {
    delete listView;
    delete sendButton;
    delete cancelButton;
    delete subjectLabel;
    delete fromLabel;
    delete nextLabel;
}

void SConfirmForm::OnHostEnded() {
    hostEnded = true;
}

int SConfirmForm::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY)
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    return SDialog::DialogProc(window, message, wParam, lParam);
}

int SConfirmForm::OnInitDialog(HWND window) {
    listView = new SListView(GetDlgItem(window, IDC_CONFIRM_LIST));
    sendButton = new SButton(GetDlgItem(window, IDC_CONFIRM_SEND));
    cancelButton = new SButton(GetDlgItem(window, IDCANCEL));
    subjectLabel = new SLabel(GetDlgItem(window, IDC_CONFIRM_SUBJECT));
    fromLabel = new SLabel(GetDlgItem(window, IDC_CONFIRM_FROM));
    nextLabel = new SLabel(GetDlgItem(window, IDC_CONFIRM_NEXT));
    ShowTexts();
    InsertColumns();
    listView->SetExtendedStyle(kListExtendedStyle);
    FillRows();
    ShowWarnings();
    sendEnabled = IsWindowEnabled(sendButton->window) != FALSE;
    UpdateSendButton();
    // Space ticks the selected row from the start; Enter stays with cancel.
    if (!model->rows.empty())
        ListView_SetItemState(listView->window, 0, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(listView->window);
    return 0;
}

void SConfirmForm::ShowTexts() {
    subjectLabel->SetText(DisplayText(subject.c_str(), kShownTextBytes).c_str());
    fromLabel->SetText(DisplayText(from.c_str(), kShownTextBytes).c_str());
    nextLabel->SetText(nextStep.c_str());
    // The box would tick nothing, or the settings want every inside row ticked by hand.
    if (!model->HasInsideTickAll())
        ShowItem(IDC_CONFIRM_ALL_INSIDE, false);
}

void SConfirmForm::InsertColumns() {
    const UINT mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    for (int column = 0; column < kColumnCount; ++column)
        listView->InsertColumn(column, column, kColumnTitles[column], kColumnWidths[column],
                               LVCFMT_LEFT, mask);
}

// The list asks for what it shows: a row costs nothing until it is on screen.
void SConfirmForm::FillRows() {
    HWND list = listView->window;
    ListView_SetCallbackMask(list, LVIS_STATEIMAGEMASK);
    ListView_SetItemCountEx(list, static_cast<int>(model->rows.size()), LVSICF_NOINVALIDATEALL);
}

// A box for every kind, shown or not, each in its kind's place whatever the others show: the
// user finds a warning where it always is. The tab order follows the box for the inside rows.
void SConfirmForm::ShowWarnings() {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    HWND previous = GetDlgItem(window, IDC_CONFIRM_ALL_INSIDE);
    int slot = 0;
    for (; WarningKindOf(static_cast<EWarningKind>(slot)).says; ++slot) {
        const int id = WarningBoxId(slot);
        const RECT place = DialogUnits(window, kWarningLeft, kWarningsTop + slot * kWarningBand,
                                       kWarningWidth, kWarningHeight);
        // Extended style as the dialog gives the controls of its template.
        HWND box = CreateWindowExA(WS_EX_NOPARENTNOTIFY, "BUTTON", "", kWarningStyle, place.left,
                                   place.top, place.right - place.left, place.bottom - place.top,
                                   window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   moduleInstance, nullptr);
        SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(box, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = box;
        warningBoxes.emplace_back(new SButton(box));
        bool shown = false;
        for (const SConfirmWarning& warning : model->warnings) {
            if (warning.kind == static_cast<EWarningKind>(slot)) {
                warningBoxes.back()->SetText(WarningText(warning).c_str());
                shown = true;
            }
        }
        ShowItem(id, shown);
    }
    PlaceButtons(slot);
}

// The buttons and the dialog's foot go under the last warning's band: the template has room
// for the kinds it was drawn with, and more push them down.
void SConfirmForm::PlaceButtons(int warningSlots) {
    const int top = kWarningsTop + warningSlots * kWarningBand + kButtonsBelowBands;
    const LONG y = DialogUnits(window, 0, top, 0, kButtonHeight).top;
    for (int id : {IDC_CONFIRM_SEND, IDCANCEL}) {
        HWND button = GetDlgItem(window, id);
        RECT rect;
        GetWindowRect(button, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(button, nullptr, rect.left, y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client, frame;
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    const LONG grow =
        DialogUnits(window, 0, 0, 0, top + kButtonHeight + kFootMargin).bottom - client.bottom;
    if (grow != 0)
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left,
                     frame.bottom - frame.top + grow, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int SConfirmForm::OnNotify(NMHDR* header) {
    if (!header || !listView || header->hwndFrom != listView->window)
        return 0;
    switch (header->code) {
    case LVN_GETDISPINFOA:
        OnGetRow(reinterpret_cast<NMLVDISPINFOA*>(header));
        return 0;
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_SPACE)
            ToggleRow(FocusedRow());
        return 0;
    case LVN_ITEMCHANGED:
        OnRowStateChanged(reinterpret_cast<const NMLISTVIEW*>(header));
        return 0;
    case NM_CLICK:
        OnClick(reinterpret_cast<const NMITEMACTIVATE*>(header));
        return 0;
    case NM_CUSTOMDRAW:
        SetMsgResult(OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header)));
        return 1;
    default:
        return 0;
    }
}

LRESULT SConfirmForm::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT)
        return CDRF_DODEFAULT;
    const size_t index = static_cast<size_t>(draw->nmcd.dwItemSpec);
    if (index < model->rows.size() && RowKindOf(model->rows[index].kind).marked) {
        draw->clrText = kAttentionText;
        draw->clrTextBk = kAttentionBack;
    }
    return CDRF_DODEFAULT;
}

void SConfirmForm::OnGetRow(NMLVDISPINFOA* info) {
    LVITEMA& item = info->item;
    size_t index = static_cast<size_t>(item.iItem);
    if (item.iItem < 0 || index >= model->rows.size())
        return;
    const SConfirmRow& row = model->rows[index];
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        CopyMbcs(item.pszText, static_cast<size_t>(item.cchTextMax),
                 CellText(row, item.iSubItem).c_str());
    if (item.mask & LVIF_STATE) {
        item.state =
            (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(ticks.rows[index] ? 2 : 1);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

// A list that asks for its rows keeps no ticks: the click and the key are the user's, and
// whatever the control itself does with them is not stored anywhere.
void SConfirmForm::OnClick(const NMITEMACTIVATE* click) {
    LVHITTESTINFO hit = {};
    hit.pt = click->ptAction;
    if (ListView_SubItemHitTest(listView->window, &hit) >= 0 && (hit.flags & LVHT_ONITEMSTATEICON))
        ToggleRow(hit.iItem);
}

// A row that gains the focus is the one Space ticks; the one losing it leaves it unknown only
// when it was the row remembered (the gain can be told first).
void SConfirmForm::OnRowStateChanged(const NMLISTVIEW* change) {
    if (!(change->uChanged & LVIF_STATE) ||
        !((change->uNewState ^ change->uOldState) & LVIS_FOCUSED))
        return;
    if (change->uNewState & LVIS_FOCUSED)
        focusedRow = change->iItem;
    else if (change->iItem == focusedRow || change->iItem < 0)
        focusedRow = -1;
}

int SConfirmForm::FocusedRow() {
    if (focusedRow < 0)
        focusedRow = ListView_GetNextItem(listView->window, -1, LVNI_FOCUSED);
    return focusedRow;
}

void SConfirmForm::ToggleRow(int row) {
    size_t index = static_cast<size_t>(row);
    if (row < 0 || index >= ticks.rows.size())
        return;
    ticks.rows[index] = !ticks.rows[index];
    rowsTicked = ticks.rows[index] ? rowsTicked + 1 : rowsTicked - 1;
    if (!ticks.rows[index] && model->rows[index].insideTickable)
        CheckButton(IDC_CONFIRM_ALL_INSIDE, false);
    RedrawRow(row);
    UpdateSendButton();
}

// The list asks for each tick as it draws the row; a row out of sight is drawn when scrolled in.
void SConfirmForm::RedrawRow(int row) {
    HWND list = listView->window;
    if (rowHeight <= 0) {
        RECT first;
        if (!ListView_GetItemRect(list, ListView_GetTopIndex(list), &first, LVIR_BOUNDS) ||
            first.bottom <= first.top) {
            ListView_RedrawItems(list, row, row);
            return;
        }
        rowHeight = first.bottom - first.top;
        rowsTop = first.top;
    }
    // The report view scrolls by whole rows: its scroll position is the first row in sight.
    const long top = rowsTop + static_cast<long>(row - GetScrollPos(list, SB_VERT)) * rowHeight;
    RECT client;
    if (!GetClientRect(list, &client) || top + rowHeight <= rowsTop || top >= client.bottom)
        return;
    RECT rect = {client.left, top, client.right, top + rowHeight};
    InvalidateRect(list, &rect, FALSE);
}

void SConfirmForm::OnTickAllInside() {
    model->TickAllInside(&ticks, IsButtonChecked(IDC_CONFIRM_ALL_INSIDE));
    rowsTicked = static_cast<size_t>(std::count(ticks.rows.begin(), ticks.rows.end(), true));
    InvalidateRect(listView->window, nullptr, FALSE);
    UpdateSendButton();
}

void SConfirmForm::OnWarningClicked(int slot) {
    const EWarningKind kind = static_cast<EWarningKind>(slot);
    const bool on = IsButtonChecked(WarningBoxId(slot));
    for (size_t i = 0; i < model->warnings.size() && i < ticks.warnings.size(); ++i)
        if (model->warnings[i].kind == kind)
            ticks.warnings[i] = on;
    UpdateSendButton();
}

void SConfirmForm::UpdateSendButton() {
    const bool can = model->CanSend(ticks, rowsTicked);
    if (can == sendEnabled)
        return;
    // Moving the focus off a button about to be disabled keeps the keyboard usable.
    if (!can && GetFocus() == sendButton->window)
        SetFocus(listView->window);
    EnableItem(IDC_CONFIRM_SEND, can);
    sendEnabled = can;
}

int SConfirmForm::WarningsTicked() const {
    int count = 0;
    for (bool ticked : ticks.warnings)
        count += ticked ? 1 : 0;
    return count;
}

// Checked again here: a click can be posted to a button that was enabled a moment ago.
int SConfirmForm::Send(HWND window) {
    if (!model->CanSend(ticks))
        return 0;
    End(window, kConfirmSend);
    return 1;
}

// The decision waits until this dialog's loop returns, which a later dialog's loop can delay:
// the compose window stays disabled until then, whatever EndDialog does with its owner.
void SConfirmForm::End(HWND window, int result) {
    EndDialog(window, result);
    if (parent && IsWindow(parent))
        EnableWindow(parent, FALSE);
}

int SConfirmForm::OnCommand(HWND window, int id, int notifyCode, HWND) {
    switch (id) {
    case IDC_CONFIRM_SEND:
        return Send(window);
    case IDCANCEL:
        End(window, IDCANCEL);
        return 1;
    case IDC_CONFIRM_ALL_INSIDE:
        if (notifyCode == BN_CLICKED)
            OnTickAllInside();
        return 0;
    default:
        for (int slot = 0; slot < static_cast<int>(warningBoxes.size()); ++slot) {
            if (id == WarningBoxId(slot) && notifyCode == BN_CLICKED)
                OnWarningClicked(slot);
        }
        // IDOK included: Enter must never reach a send.
        return 0;
    }
}
