// The hold list, opened through the menu command and worked through its controls.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "delay/delay_sender.h"
#include "plugin/velmora_logic.h"
#include "dialog_driver.h"
#include "hold_world.h"
#include "plugin/menu_command.h"
#include "plugin/plugin_entry.h"
#include "res/resource.h"
#include "settings/local_setting.h"

namespace {

const char kListCaption[] = "送信保留リスト [テスト太郎]";

// Opens the hold list of the world's current mailbox, as the host does for the menu command.
class HoldListTest : public ::testing::Test {
  protected:
    // A driver whose last step watches until the end is not expected to finish.
    void Open(HoldWorld* world, SDialogDriver* driver, bool lastStepWatches = false) {
        g_logic = world->logic;
        HoldListCommand(nullptr, 0);
        g_logic = nullptr;
        EXPECT_FALSE(driver->TimedOut()) << "waiting for: " << driver->Waiting();
        if (!lastStepWatches) {
            EXPECT_TRUE(driver->Finished()) << "waiting for: " << driver->Waiting();
        }
    }
};

HWND ListOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_HELD_LIST);
}

// A step that answers the message box with this caption, keeping its text.
SDialogDriver::Step Answer(const char* caption, int button, std::string* text) {
    return [=] {
        HWND box = FindDialog(caption);
        if (!box)
            return false;
        if (text)
            *text = MessageBoxText(box);
        PostClick(box, button);
        return true;
    };
}

} // namespace

TEST_F(HoldListTest, ShowsTheHeldMessagesWithTheAccountAndPausesTheSweep) {
    HoldWorld world;
    world.WriteAccountName("テスト太郎");
    world.Hold("見積もりの件", "a@example.jp,b@example.com", "", "", 3);
    world.Hold("Re: 会議", "c@example.jp", "d@example.jp", "e@example.jp", 4);
    std::vector<std::string> cells;
    std::vector<int> widths;
    int paused = -1;
    SDialogDriver driver;
    driver.Then("read the list and close", [&] {
        HWND dialog = FindDialog(kListCaption);
        if (!dialog)
            return false;
        HWND list = ListOf(dialog);
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 5; ++column)
                cells.push_back(CellText(list, row, column));
        for (int column = 0; column < 5; ++column)
            widths.push_back(static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)));
        paused = (world.Paused() ? 1 : 0);
        PostClick(dialog, IDCANCEL);
        return true;
    });
    Open(&world, &driver);
    EXPECT_EQ(
        (std::vector<std::string>{"2026/12/07 09:05:03", "見積もりの件",
                                  "a@example.jp,b@example.com", "", "", "2026/12/07 09:05:04",
                                  "Re: 会議", "c@example.jp", "d@example.jp", "e@example.jp"}),
        cells);
    EXPECT_EQ((std::vector<int>{135, 164, 61, 206, 128}), widths);
    EXPECT_EQ(1, paused);
    EXPECT_EQ(0, (world.Paused() ? 1 : 0));
    EXPECT_EQ(2, world.Sender()->HeldCount());
    // Closing without touching a column writes nothing.
    EXPECT_EQ("<missing>", world.Setting("Option", "DelayListColumns"));
}

TEST_F(HoldListTest, StopSendingGivesBackEverySelectedMessageAndCloses) {
    HoldWorld world;
    world.WriteAccountName("テスト太郎");
    HWND first = world.Hold("1", "a@example.com", "", "", 1);
    HWND second = world.Hold("2", "a@example.com", "", "", 2);
    HWND third = world.Hold("3", "a@example.com", "", "", 3);
    HWND fourth = world.Hold("4", "a@example.com", "", "", 4);
    std::string question;
    SDialogDriver driver;
    driver
        .Then("select three rows and stop",
              [&] {
                  HWND dialog = FindDialog(kListCaption);
                  if (!dialog)
                      return false;
                  SelectListRows(ListOf(dialog), {0, 2, 3});
                  PostClick(dialog, IDOK);
                  return true;
              })
        .Then("confirm", Answer("送信中止の確認", IDYES, &question));
    Open(&world, &driver);
    EXPECT_EQ("送信を中止しますか？", question);
    ASSERT_EQ(1, world.Sender()->HeldCount());
    EXPECT_EQ(second, world.Sender()->GetMails()[0].composeWindow);
    for (HWND window : {first, third, fourth}) {
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ("", world.Status(window));
    }
    EXPECT_FALSE(IsWindowVisible(second));
    EXPECT_EQ("1", world.Status(second));
}

TEST_F(HoldListTest, NoAtTheConfirmationOrNothingSelectedKeepsTheListOpen) {
    HoldWorld world;
    world.WriteAccountName("テスト太郎");
    world.Hold("1", "a@example.com");
    world.Hold("2", "a@example.com");
    std::string stopText, sendText;
    int countAfterNo = -1;
    HWND dialog = nullptr;
    SDialogDriver driver;
    driver
        .Then("stop with nothing selected",
              [&] {
                  dialog = FindDialog(kListCaption);
                  if (dialog)
                      PostClick(dialog, IDOK);
                  return dialog != nullptr;
              })
        .Then("nothing selected", Answer("Velmora", IDOK, &stopText))
        .Then("send now with nothing selected",
              [&] {
                  if (FindDialog("Velmora"))
                      return false;
                  PostClick(dialog, IDC_SEND_NOW);
                  return true;
              })
        .Then("nothing selected again", Answer("Velmora", IDOK, &sendText))
        .Then("select and stop",
              [&] {
                  if (FindDialog("Velmora"))
                      return false;
                  SelectListRows(ListOf(dialog), {1});
                  PostClick(dialog, IDOK);
                  return true;
              })
        .Then("decline", Answer("送信中止の確認", IDNO, nullptr))
        .Then("still open, close it", [&] {
            if (FindDialog("送信中止の確認") || !FindDialog(kListCaption))
                return false;
            countAfterNo = world.Sender()->HeldCount();
            PostClick(dialog, IDCANCEL);
            return true;
        });
    Open(&world, &driver);
    EXPECT_EQ("メールが選択されていません", stopText);
    EXPECT_EQ("メールが選択されていません", sendText);
    EXPECT_EQ(2, countAfterNo);
    EXPECT_EQ(2, world.Sender()->HeldCount());
}

TEST_F(HoldListTest, SendNowWithARowNoLongerHeldSaysSoRefreshesAndSendsNothing) {
    HoldWorld world;
    world.WriteAccountName("テスト太郎");
    HWND first = world.Hold("1", "a@example.com", "", "", 1);
    HWND gone = world.Hold("2", "a@example.com", "", "", 2);
    HWND third = world.Hold("3", "a@example.com", "", "", 3);
    std::string text;
    std::vector<std::string> subjects;
    HWND dialog = nullptr;
    SDialogDriver driver;
    driver
        .Then("select all, lose one, send now",
              [&] {
                  dialog = FindDialog(kListCaption);
                  if (!dialog)
                      return false;
                  SelectListRows(ListOf(dialog), {0, 1, 2});
                  world.Sender()->Forget(gone);
                  PostClick(dialog, IDC_SEND_NOW);
                  return true;
              })
        .Then("no longer held", Answer("Velmora", IDOK, &text))
        .Then("still open with the rows left, close it", [&] {
            if (FindDialog("Velmora") || !FindDialog(kListCaption))
                return false;
            for (int row = 0; row < ListView_GetItemCount(ListOf(dialog)); ++row)
                subjects.push_back(CellText(ListOf(dialog), row, 1));
            PostClick(dialog, IDCANCEL);
            return true;
        });
    Open(&world, &driver);
    EXPECT_EQ("選択したメールはもう送信保留中ではありません。\n一覧を最新の状態にしました。", text);
    EXPECT_EQ((std::vector<std::string>{"1", "3"}), subjects);
    EXPECT_EQ(2, world.Sender()->HeldCount());
    EXPECT_EQ("1", world.Status(first));
    EXPECT_EQ("1", world.Status(third));
    EXPECT_EQ("1", world.Status(gone));
}

TEST_F(HoldListTest, EmptyListSaysSoClosesAndWritesNoSettings) {
    HoldWorld world;
    // The mailbox has held a message, which is back with the user.
    HWND window = world.Hold("1", "a@example.com");
    world.Sender()->TakeBack(window);
    std::string text;
    SDialogDriver driver;
    driver.Then("nothing held", Answer("Velmora", IDOK, &text));
    Open(&world, &driver);
    EXPECT_EQ("送信保留中のメールはありません", text);
    EXPECT_EQ("", world.SettingsFile());
    EXPECT_EQ(0, (world.Paused() ? 1 : 0));
}

TEST_F(HoldListTest, ChangedWidthsAreWrittenWithTheEntriesBeyondTheFifth) {
    HoldWorld world;
    world.WriteAccountName("テスト太郎");
    world.Hold("1", "a@example.com");
    SDialogDriver driver;
    driver.Then("widen Subject and close", [&] {
        HWND dialog = FindDialog(kListCaption);
        if (!dialog)
            return false;
        SendMessageA(ListOf(dialog), LVM_SETCOLUMNWIDTH, 1, 250);
        PostClick(dialog, IDCANCEL);
        return true;
    });
    Open(&world, &driver);
    EXPECT_EQ("135,250,61,206,128,126,59,89", world.Setting("Option", "DelayListColumns"));
    EXPECT_EQ("135,250,61,206,128,126,59,89",
              world.logic->settings->Text(EKeyId::DelayListColumns));
}

TEST_F(HoldListTest, MissingWidthEntriesOpenTenPixelsWideAndAreNotInvented) {
    HoldWorld world("[Option]\r\nDelayListColumns=100,120,140\r\n");
    world.WriteAccountName("テスト太郎");
    world.Hold("1", "a@example.com");
    std::vector<int> widths;
    SDialogDriver driver;
    driver.Then("read widths, widen Cc, close", [&] {
        HWND dialog = FindDialog(kListCaption);
        if (!dialog)
            return false;
        HWND list = ListOf(dialog);
        for (int column = 0; column < 5; ++column)
            widths.push_back(static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)));
        SendMessageA(list, LVM_SETCOLUMNWIDTH, 3, 90);
        PostClick(dialog, IDCANCEL);
        return true;
    });
    Open(&world, &driver);
    EXPECT_EQ((std::vector<int>{100, 120, 140, 10, 10}), widths);
    EXPECT_EQ("100,120,140", world.Setting("Option", "DelayListColumns"));
    EXPECT_EQ("100,120,140", world.logic->settings->Text(EKeyId::DelayListColumns));
}

TEST_F(HoldListTest, LongAccountNameIsCutWholeCharactersInsideTheBrackets) {
    HoldWorld world;
    std::string name;
    for (int i = 0; i < 200; ++i)
        name += "あ";
    world.WriteAccountName(name);
    world.Hold("1", "a@example.com");
    // 259 bytes with the NUL in 260: the prefix, 121 whole characters and the bracket.
    std::string expected = "送信保留リスト [" + name.substr(0, 242) + "]";
    bool found = false;
    SDialogDriver driver;
    driver.Then("find the cut caption and close", [&] {
        HWND dialog = FindDialog(expected.c_str());
        if (!dialog)
            return false;
        found = true;
        PostClick(dialog, IDCANCEL);
        return true;
    });
    Open(&world, &driver);
    EXPECT_TRUE(found);
    EXPECT_EQ(259u, expected.size());
}

TEST_F(HoldListTest, TemplateThatFailsToLoadOpensNothingAndUnpauses) {
    HoldWorld world("", GetModuleHandleA("kernel32.dll"));
    world.Hold("1", "a@example.com");
    g_logic = world.logic;
    HoldListCommand(nullptr, 0);
    g_logic = nullptr;
    EXPECT_EQ(0, (world.Paused() ? 1 : 0));
    EXPECT_EQ(1, world.Sender()->HeldCount());
    EXPECT_EQ("", world.SettingsFile());
}

TEST_F(HoldListTest, ThePluginEndedWhileTheListIsOpenClosesItAndGivesTheMessageBack) {
    HoldWorld world;
    world.WriteAccountName("テスト太郎");
    HWND window = world.Hold("1", "a@example.com");
    SDialogDriver driver;
    driver.Then("the host ends the plug-in", [&] {
        if (!FindDialog(kListCaption))
            return false;
        world.logic->OnExit();
        return true;
    });
    Open(&world, &driver);
    EXPECT_EQ(nullptr, FindDialog(kListCaption));
    // Not sent, and not lost in a hidden window: back with the user.
    EXPECT_EQ("", world.Status(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ("", world.SettingsFile());
}
