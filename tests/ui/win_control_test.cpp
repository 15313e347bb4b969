// The control wrappers: cached text, subclass ids, and the list box reads.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>

#include "dialog_driver.h"
#include "res/resource.h"
#include "ui/dialog.h"
#include "ui/subclass_id_pool.h"
#include "ui/win_control.h"

namespace {

HWND MakeControl(const char* className, const char* text, DWORD style = 0) {
    return CreateWindowA(className, text, WS_POPUP | style, 0, 0, 200, 100, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// Wraps the edit field of the text-entry template; OK refreshes the cached text.
class EditDialog : public SDialog {
  public:
    EditDialog() : SDialog(GetModuleHandleA(nullptr), nullptr, IDD_TEXT_EDIT, 0) {}
    ~EditDialog() override { delete edit; }
    int OnInitDialog(HWND window) override {
        edit = new SEdit(GetDlgItem(window, IDC_TEXT_EDIT));
        editWindow = edit->window;
        return 1;
    }
    int OnCommand(HWND window, int id, int, HWND) override {
        if (id != IDOK)
            return 0;
        edit->RefreshText();
        EndDialog(window, IDOK);
        return 1;
    }
    SEdit* edit = nullptr;
    HWND editWindow = nullptr;
};

std::string TypeAndConfirm(const std::string& typed, EditDialog* dialog) {
    SDialogDriver driver;
    driver.Then("type and press OK", [&] {
        HWND window = FindDialog("組織内ドメインの編集");
        if (!window)
            return false;
        SetDlgItemTextA(window, IDC_TEXT_EDIT, typed.c_str());
        PostClick(window, IDOK);
        return true;
    });
    int result = dialog->DoModal();
    EXPECT_EQ(IDOK, result);
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    std::string read(4096, 'x');
    dialog->edit->GetText(&read[0], read.size());
    return read.c_str();
}

} // namespace

TEST(WinControl, GetTextIsBoundedAndNeverSplitsADoubleByteCharacter) {
    HWND window = MakeControl("EDIT", "");
    SEdit edit(window);
    // "ab" and two double-byte characters: 6 bytes.
    edit.SetText("ab表示");

    char buffer[16];
    memset(buffer, '#', sizeof(buffer));
    edit.GetText(buffer, 0);
    EXPECT_EQ('#', buffer[0]);

    edit.GetText(buffer, 7);
    EXPECT_STREQ("ab表示", buffer);

    // Five bytes would end in the lead byte of 示.
    memset(buffer, '#', sizeof(buffer));
    edit.GetText(buffer, 6);
    EXPECT_STREQ("ab表", buffer);
    memset(buffer, '#', sizeof(buffer));
    edit.GetText(buffer, 4);
    EXPECT_STREQ("ab", buffer);
    DestroyWindow(window);
}

TEST(WinControl, StartsWithTheControlsTextAndSetTextLeavesAnUnchangedTextAlone) {
    HWND window = MakeControl("EDIT", "初期値");
    SEdit edit(window);
    char buffer[64];
    edit.GetText(buffer, sizeof(buffer));
    EXPECT_STREQ("初期値", buffer);

    edit.SetText("example.jp");
    EXPECT_EQ("example.jp", WindowText(window));
    // The user types without a refresh; setting the cached text again must not undo it.
    SetWindowTextA(window, "typed.jp");
    edit.SetText("example.jp");
    EXPECT_EQ("typed.jp", WindowText(window));
    edit.SetText("other.jp");
    EXPECT_EQ("other.jp", WindowText(window));
    DestroyWindow(window);
}

TEST(WinControl, TextRefreshedOnOkIsReadableAfterTheDialogHasClosed) {
    EditDialog dialog;
    EXPECT_EQ("社内.example.co.jp", TypeAndConfirm("社内.example.co.jp", &dialog));
    EXPECT_FALSE(IsWindow(dialog.editWindow));

    // Beyond the 256-byte local buffer.
    EditDialog longDialog;
    std::string longText(300, 'd');
    longText += "末";
    EXPECT_EQ(longText, TypeAndConfirm(longText, &longDialog));
}

TEST(WinControl, SubclassIdsAreReusedOnceTheControlsAreDestroyed) {
    HWND first = MakeControl("EDIT", "");
    HWND second = MakeControl("BUTTON", "");
    SEdit* a = new SEdit(first);
    SButton* b = new SButton(second);
    EXPECT_EQ(a->subclassId + 1, b->subclassId);
    DestroyWindow(first);
    DestroyWindow(second);
    // WM_DESTROY took the subclass off: the control is gone, the wrapper still reads.
    char buffer[8];
    a->GetText(buffer, sizeof(buffer));
    EXPECT_STREQ("", buffer);

    HWND third = MakeControl("STATIC", "");
    SLabel c(third);
    EXPECT_EQ(a->subclassId, c.subclassId);
    delete a;
    delete b;
    DestroyWindow(third);
}

TEST(SubclassIdPool, HandsOutLowestFirstAndReusesWithinTheSearchWord) {
    SSubclassIdPool* pool = new SSubclassIdPool;
    EXPECT_EQ(0, pool->Allocate());
    EXPECT_EQ(1, pool->Allocate());
    pool->Release(0);
    pool->Release(1);
    EXPECT_EQ(0, pool->Allocate());

    // Fill the first word: the search moves on to the second and stays there.
    for (int id = 1; id < 16; ++id)
        EXPECT_EQ(id, pool->Allocate());
    EXPECT_EQ(16, pool->Allocate());
    pool->Release(3);
    EXPECT_EQ(17, pool->Allocate());
    pool->Release(-1);
    pool->Release(65536);
    delete pool;
}

TEST(SubclassIdPool, WrapsAroundAndReportsAFullPool) {
    SSubclassIdPool* pool = new SSubclassIdPool;
    for (int id = 0; id < 65536; ++id)
        ASSERT_EQ(id, pool->Allocate());
    EXPECT_EQ(-1, pool->Allocate());
    // Only once every later word is full is an earlier id reused.
    pool->Release(5);
    EXPECT_EQ(5, pool->Allocate());
    delete pool;
}

TEST(ListBox, ReadsAreBoundedAndLeaveTheBufferAloneOnFailure) {
    HWND window = MakeControl("LISTBOX", "", LBS_NOTIFY);
    SListBox list(window);
    EXPECT_EQ(0, list.AddString("a.example.jp"));
    // 258 ASCII bytes and a double-byte character: 260 bytes in all.
    std::string longEntry(258, 'x');
    longEntry += "表";
    EXPECT_EQ(1, list.InsertString(1, longEntry.c_str()));
    EXPECT_EQ(2, list.GetItemCount());

    char buffer[260];
    memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(-1, list.GetSelectedText(buffer, sizeof(buffer)));
    EXPECT_EQ('#', buffer[0]);
    EXPECT_FALSE(list.GetItemText(5, buffer, sizeof(buffer)));
    EXPECT_FALSE(list.GetItemText(0, buffer, 0));
    EXPECT_EQ('#', buffer[0]);

    ASSERT_TRUE(list.GetItemText(1, buffer, sizeof(buffer)));
    EXPECT_EQ(std::string(258, 'x'), buffer);

    SendMessageA(window, LB_SETCURSEL, 0, 0);
    EXPECT_EQ(0, list.GetSelectedText(buffer, sizeof(buffer)));
    EXPECT_STREQ("a.example.jp", buffer);

    EXPECT_TRUE(list.DeleteString(0));
    EXPECT_FALSE(list.DeleteString(3));
    EXPECT_EQ(1, list.GetItemCount());
    DestroyWindow(window);
}

TEST(ListView, RowsGoLastAndSelectionIsWalkedInOrder) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HWND window = MakeControl(WC_LISTVIEWA, "", LVS_REPORT);
    SListView list(window);
    const UINT mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    EXPECT_EQ(0, list.InsertColumn(0, 0, "保留日時", 77, LVCFMT_LEFT, mask));
    EXPECT_EQ(1, list.InsertColumn(1, 1, "件名", 55, LVCFMT_LEFT, mask));
    EXPECT_EQ(77, list.GetColumnWidth(0));
    EXPECT_EQ(0u, list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
              list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    for (int row = 0; row < 4; ++row) {
        char text[8];
        snprintf(text, sizeof(text), "r%d", row);
        EXPECT_EQ(row, list.InsertItem(0, text, LVIF_TEXT));
        EXPECT_TRUE(list.SetItem(1, row, "件名", LVIF_TEXT));
    }
    EXPECT_EQ("r3", CellText(window, 3, 0));
    EXPECT_EQ("件名", CellText(window, 2, 1));
    EXPECT_EQ(-1, list.GetNextSelected(-1));
    SelectListRows(window, {1, 3});
    EXPECT_EQ(1, list.GetNextSelected(-1));
    EXPECT_EQ(3, list.GetNextSelected(1));
    EXPECT_EQ(-1, list.GetNextSelected(3));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(0, list.InsertItem(0, "again", LVIF_TEXT));
    DestroyWindow(window);
}
