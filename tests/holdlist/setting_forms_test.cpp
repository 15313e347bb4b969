// The setup dialog and its text dialog, opened through the host's setup request.
#include "velmora_version.h"
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "plugin/velmora_logic.h"
#include "dialog_driver.h"
#include "hold_world.h"
#include "res/resource.h"
#include "settings/local_setting.h"
#include "setup/help_opener.h"
#include "support/string_list.h"

namespace {

const char kSetupCaption[] = "Velmora の設定（バージョン " VELMORA_VERSION_TEXT "）";
const char kSettings[] = "[WhiteList]\r\nInnerDomains=b.example.jp,a.example.jp\r\n"
                         "[Delay]\r\nInnerDelayTime=0\r\nOuterDelayTime=5\r\n";

std::vector<std::string> ListBoxEntries(HWND list) {
    std::vector<std::string> entries;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[1024] = "";
        if (SendMessageA(list, LB_GETTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof(text)))
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

std::vector<std::string> RecordDomains(const LocalSetting* settings) {
    std::vector<std::string> domains;
    for (const SStringNode* node = settings->List(EKeyId::InnerDomains).first; node;
         node = node->next)
        domains.push_back(node->text ? node->text : "");
    return domains;
}

HWND SetupWindow() {
    return FindDialog(kSetupCaption);
}

SDialogDriver::Step Press(int id) {
    return [=] {
        HWND dialog = SetupWindow();
        if (!dialog || !IsWindowEnabled(dialog))
            return false;
        PostClick(dialog, id);
        return true;
    };
}

SDialogDriver::Step Select(int index) {
    return [=] {
        HWND dialog = SetupWindow();
        if (!dialog || !IsWindowEnabled(dialog))
            return false;
        SendDlgItemMessageA(dialog, IDC_DOMAIN_LIST, LB_SETCURSEL, index, 0);
        return true;
    };
}

// Types into the text dialog with this caption and confirms; keeps what it showed at first.
SDialogDriver::Step EnterText(const char* caption, const std::string& text,
                              std::vector<std::string>* shown) {
    return [=] {
        HWND dialog = FindDialog(caption);
        if (!dialog)
            return false;
        if (shown) {
            shown->push_back(WindowText(GetDlgItem(dialog, IDC_TEXT_PROMPT)));
            shown->push_back(WindowText(GetDlgItem(dialog, IDC_TEXT_EDIT)));
        }
        SetDlgItemTextA(dialog, IDC_TEXT_EDIT, text.c_str());
        PostClick(dialog, IDOK);
        return true;
    };
}

SDialogDriver::Step AnswerDelete(int button, std::string* text) {
    return [=] {
        HWND box = FindDialog("削除の確認");
        if (!box)
            return false;
        if (text)
            *text = MessageBoxText(box);
        PostClick(box, button);
        return true;
    };
}

SDialogDriver::Step TypeTimes(const char* inner, const char* outer) {
    return [=] {
        HWND dialog = SetupWindow();
        if (!dialog || !IsWindowEnabled(dialog))
            return false;
        SetDlgItemTextA(dialog, IDC_INNER_DELAY, inner);
        SetDlgItemTextA(dialog, IDC_OUTER_DELAY, outer);
        return true;
    };
}

SDialogDriver::Step ReadList(std::vector<std::string>* entries) {
    return [=] {
        HWND dialog = SetupWindow();
        if (!dialog || !IsWindowEnabled(dialog))
            return false;
        *entries = ListBoxEntries(GetDlgItem(dialog, IDC_DOMAIN_LIST));
        return true;
    };
}

} // namespace

TEST(SetupDialog, ShowsTheVersionSortedDomainsAndTimesAndCancelChangesNothing) {
    HoldWorld world(kSettings);
    const std::string before = world.SettingsFile();
    std::vector<std::string> shown, afterEdits;
    std::string inner, outer;
    HICON icon = nullptr;
    SDialogDriver driver;
    driver
        .Then("read the dialog",
              [&] {
                  HWND dialog = SetupWindow();
                  if (!dialog)
                      return false;
                  shown = ListBoxEntries(GetDlgItem(dialog, IDC_DOMAIN_LIST));
                  inner = WindowText(GetDlgItem(dialog, IDC_INNER_DELAY));
                  outer = WindowText(GetDlgItem(dialog, IDC_OUTER_DELAY));
                  icon = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
                  return true;
              })
        .Then("add", Press(IDC_DOMAIN_ADD))
        .Then("type", EnterText("組織内ドメインの追加", "c.example.jp", nullptr))
        .Then("select the first", Select(0))
        .Then("delete", Press(IDC_DOMAIN_DELETE))
        .Then("yes", AnswerDelete(IDYES, nullptr))
        .Then("type times", TypeTimes("9", "9"))
        .Then("read", ReadList(&afterEdits))
        .Then("cancel", Press(IDCANCEL));
    EXPECT_EQ(1, world.logic->OnPlugInSetup(nullptr));
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    EXPECT_TRUE(driver.Finished()) << driver.Waiting();
    EXPECT_EQ((std::vector<std::string>{"a.example.jp", "b.example.jp"}), shown);
    EXPECT_EQ("0", inner);
    EXPECT_EQ("5", outer);
    EXPECT_NE(nullptr, icon);
    EXPECT_EQ((std::vector<std::string>{"b.example.jp", "c.example.jp"}), afterEdits);
    // Cancelled: neither the record nor the file changed.
    EXPECT_EQ(before, world.SettingsFile());
    EXPECT_EQ((std::vector<std::string>{"b.example.jp", "a.example.jp"}),
              RecordDomains(world.logic->settings));
    EXPECT_EQ(0, world.logic->settings->Int(EKeyId::InnerDelayTime));
    EXPECT_EQ(5, world.logic->settings->Int(EKeyId::OuterDelayTime));
}

TEST(SetupDialog, AddEditDeleteAndOkWriteTheListBoxOrderAndTheTimes) {
    HoldWorld world(kSettings);
    std::vector<std::string> addShown, editShown;
    std::string question;
    SDialogDriver driver;
    driver.Then("add", Press(IDC_DOMAIN_ADD))
        .Then("type a new domain", EnterText("組織内ドメインの追加", "ab.example.jp", &addShown))
        .Then("select the first", Select(0))
        .Then("edit", Press(IDC_DOMAIN_EDIT))
        .Then("rename it", EnterText("組織内ドメインの編集", "z.example.jp", &editShown))
        .Then("select the last", Select(2))
        .Then("delete", Press(IDC_DOMAIN_DELETE))
        .Then("no", AnswerDelete(IDNO, &question))
        .Then("type times", TypeTimes("5分", "0"))
        .Then("ok", Press(IDOK));
    EXPECT_EQ(1, world.logic->OnPlugInSetup(nullptr));
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    EXPECT_TRUE(driver.Finished()) << driver.Waiting();
    EXPECT_EQ((std::vector<std::string>{"組織内ドメイン", ""}), addShown);
    EXPECT_EQ((std::vector<std::string>{"組織内ドメイン", "a.example.jp"}), editShown);
    EXPECT_EQ("[b.example.jp] を削除します。よろしいですか？", question);
    // The edited entry kept its place although it sorts last.
    EXPECT_EQ("z.example.jp,ab.example.jp,b.example.jp",
              world.Setting("WhiteList", "InnerDomains"));
    EXPECT_EQ("5", world.Setting("Delay", "InnerDelayTime"));
    EXPECT_EQ("0", world.Setting("Delay", "OuterDelayTime"));
    EXPECT_EQ((std::vector<std::string>{"z.example.jp", "ab.example.jp", "b.example.jp"}),
              RecordDomains(world.logic->settings));
    EXPECT_EQ(5, world.logic->settings->Int(EKeyId::InnerDelayTime));
    EXPECT_EQ(0, world.logic->settings->Int(EKeyId::OuterDelayTime));
}

// A typo must not switch holding off: refused at OK with the field named and focused, nothing
// saved, the dialog open. 0 on purpose and full-width digits are taken.
TEST(SetupDialog, TyposInTheHoldTimesAreRefusedAndZeroOrFullWidthDigitsAreTaken) {
    HoldWorld world(kSettings);
    const std::string before = world.SettingsFile();
    struct Refusal {
        const char* inner;
        const char* outer;
        int field;
        const char* name;
    };
    const Refusal refusals[] = {{"五", "5", IDC_INNER_DELAY, "組織内ドメインのみ"},
                                {"0", "", IDC_OUTER_DELAY, "組織外の宛先を含む"},
                                {"0", "-3", IDC_OUTER_DELAY, "組織外の宛先を含む"}};
    std::vector<std::string> boxes, expectedBoxes;
    std::vector<int> focused, expectedFocus;
    bool saved = false;
    SDialogDriver driver(20000);
    driver.Then("select", Select(0))
        .Then("delete one", Press(IDC_DOMAIN_DELETE))
        .Then("yes", AnswerDelete(IDYES, nullptr))
        .Then("select again", Select(0))
        .Then("delete the other", Press(IDC_DOMAIN_DELETE))
        .Then("yes again", AnswerDelete(IDYES, nullptr));
    for (const Refusal& refusal : refusals) {
        expectedBoxes.push_back(std::string("送信保留時間「") + refusal.name +
                                "」には 0 以上の数字（分）を入力してください。\n"
                                "0 を入力すると保留しません。");
        expectedFocus.push_back(refusal.field);
        driver.Then("type a typo", TypeTimes(refusal.inner, refusal.outer))
            .Then("ok", Press(IDOK))
            .Then("read the refusal",
                  [&] {
                      HWND box = FindDialog("送信保留時間の入力");
                      if (!box)
                          return false;
                      boxes.push_back(MessageBoxText(box));
                      PostClick(box, IDOK);
                      return true;
                  })
            .Then("still open: focus and file", [&] {
                HWND dialog = SetupWindow();
                if (FindDialog("送信保留時間の入力") || !dialog || !IsWindowEnabled(dialog))
                    return false;
                // A window of a test running beside this one may take the display's focus;
                // the dialog then gives its own focus control back once it is active again.
                if (!GetFocus())
                    SetActiveWindow(dialog);
                focused.push_back(GetDlgCtrlID(GetFocus()));
                saved = saved || world.SettingsFile() != before;
                return true;
            });
    }
    driver.Then("type zero and a full-width ten", TypeTimes("0", "１０")).Then("ok", Press(IDOK));
    EXPECT_EQ(1, world.logic->OnPlugInSetup(nullptr));
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    EXPECT_TRUE(driver.Finished()) << driver.Waiting();
    EXPECT_EQ(expectedBoxes, boxes);
    EXPECT_EQ(expectedFocus, focused);
    EXPECT_FALSE(saved);
    EXPECT_EQ("", world.Setting("WhiteList", "InnerDomains"));
    EXPECT_EQ("0", world.Setting("Delay", "InnerDelayTime"));
    EXPECT_EQ("10", world.Setting("Delay", "OuterDelayTime"));
    EXPECT_EQ(10, world.logic->settings->Int(EKeyId::OuterDelayTime));
    EXPECT_EQ(nullptr, world.logic->settings->List(EKeyId::InnerDomains).first);
}

TEST(SetupDialog, LongDomainIsCutTo259BytesWithoutSplittingACharacter) {
    HoldWorld world;
    // 258 bytes, then a double-byte character that would end at byte 260.
    const std::string kept(258, 'x');
    SDialogDriver driver;
    driver.Then("add", Press(IDC_DOMAIN_ADD))
        .Then("type", EnterText("組織内ドメインの追加", kept + "表yyy", nullptr))
        .Then("ok", Press(IDOK));
    EXPECT_EQ(1, world.logic->OnPlugInSetup(nullptr));
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    EXPECT_EQ(kept, world.Setting("WhiteList", "InnerDomains"));
}

TEST(SetupDialog, CancelInTheTextDialogAddsNothing) {
    HoldWorld world(kSettings);
    std::vector<std::string> entries;
    SDialogDriver driver;
    driver.Then("add", Press(IDC_DOMAIN_ADD))
        .Then("cancel the text",
              [] {
                  HWND dialog = FindDialog("組織内ドメインの追加");
                  if (dialog)
                      PostClick(dialog, IDCANCEL);
                  return dialog != nullptr;
              })
        .Then("edit with nothing selected", Press(IDC_DOMAIN_EDIT))
        .Then("delete with nothing selected", Press(IDC_DOMAIN_DELETE))
        .Then("read", ReadList(&entries))
        .Then("ok", Press(IDOK));
    EXPECT_EQ(1, world.logic->OnPlugInSetup(nullptr));
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    EXPECT_EQ((std::vector<std::string>{"a.example.jp", "b.example.jp"}), entries);
    EXPECT_EQ("a.example.jp,b.example.jp", world.Setting("WhiteList", "InnerDomains"));
}

TEST(SetupDialog, WithoutSettingsOrTemplateNothingIsWritten) {
    HoldWorld broken(kSettings, GetModuleHandleA("kernel32.dll"));
    const std::string before = broken.SettingsFile();
    EXPECT_EQ(1, broken.logic->OnPlugInSetup(nullptr));
    EXPECT_EQ(before, broken.SettingsFile());

    LocalSetting* settings = broken.logic->settings;
    broken.logic->settings = nullptr;
    EXPECT_EQ(0, broken.logic->OnPlugInSetup(nullptr));
    broken.logic->settings = settings;
}

TEST(SetupDialog, ThePluginEndedWhileTheDialogIsOpenClosesItAndSavesNothing) {
    HoldWorld world(kSettings);
    const std::string before = world.SettingsFile();
    SDialogDriver driver;
    driver.Then("type times", TypeTimes("9", "9")).Then("the host ends the plug-in", [&] {
        world.logic->OnExit();
        return true;
    });
    EXPECT_EQ(1, world.logic->OnPlugInSetup(nullptr));
    EXPECT_TRUE(driver.Finished()) << driver.Waiting();
    EXPECT_EQ(nullptr, SetupWindow());
    EXPECT_EQ(nullptr, world.logic->settings);
    EXPECT_EQ(before, world.SettingsFile());
}

TEST(SetupDialog, AnUnwritableFileIsReportedAndTheTypedValuesStayInForce) {
    HoldWorld world(kSettings);
    // A folder in the file's place: writes fail even for an administrator.
    ASSERT_TRUE(DeleteFileA(world.iniPath.c_str()));
    ASSERT_TRUE(CreateDirectoryA(world.iniPath.c_str(), nullptr));
    std::string warning;
    SDialogDriver driver;
    driver.Then("type full-width times", TypeTimes("１０", "０"))
        .Then("ok", Press(IDOK))
        .Then("read the warning", [&warning] {
            HWND box = FindDialog("設定の保存");
            if (!box)
                return false;
            warning = MessageBoxText(box);
            PostClick(box, IDOK);
            return true;
        });
    EXPECT_EQ(1, world.logic->OnPlugInSetup(nullptr));
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    EXPECT_TRUE(driver.Finished()) << driver.Waiting();
    EXPECT_EQ("設定を保存できませんでした。\n" + world.iniPath +
                  "\nこの設定は今回の起動中だけ有効です。",
              warning);
    EXPECT_EQ(10, world.logic->settings->Int(EKeyId::InnerDelayTime));
    EXPECT_EQ(0, world.logic->settings->Int(EKeyId::OuterDelayTime));
    EXPECT_EQ((std::vector<std::string>{"a.example.jp", "b.example.jp"}),
              RecordDomains(world.logic->settings));
    RemoveDirectoryA(world.iniPath.c_str());
}

// The confirmation's own dialog sets its keys only through the setup dialog's OK.
TEST(SetupDialog, ConfirmationButtonEditsItsKeysWhichTheSetupOkSaves) {
    HoldWorld world(kSettings);
    const std::string before = world.SettingsFile();
    std::vector<std::string> shown;
    const auto editConfirm = [&shown](bool read) {
        return [&shown, read] {
            HWND dialog = FindDialog("宛先確認の設定");
            if (!dialog)
                return false;
            if (read) {
                for (int id : {IDC_CONFIRM_OFF, IDC_CONFIRM_OUTSIDE, IDC_CONFIRM_ALWAYS,
                               IDC_CONFIRM_ATTENTION, IDC_CONFIRM_INSIDE_EACH, IDC_NEW_DOMAIN_WARN,
                               IDC_INNER_DOMAIN_MATCH})
                    shown.push_back(std::to_string(IsDlgButtonChecked(dialog, id)));
                shown.push_back(WindowText(GetDlgItem(dialog, IDC_BCC_WARN_COUNT)));
            }
            CheckRadioButton(dialog, IDC_CONFIRM_OFF, IDC_CONFIRM_ALWAYS, IDC_CONFIRM_ALWAYS);
            CheckDlgButton(dialog, IDC_CONFIRM_INSIDE_EACH, BST_CHECKED);
            CheckDlgButton(dialog, IDC_INNER_DOMAIN_MATCH, BST_CHECKED);
            SetDlgItemTextA(dialog, IDC_BCC_WARN_COUNT, "0");
            PostClick(dialog, IDOK);
            return true;
        };
    };
    SDialogDriver cancelled;
    cancelled.Then("open", Press(IDC_CONFIRM_SETUP))
        .Then("edit", editConfirm(true))
        .Then("cancel the setup", Press(IDCANCEL));
    EXPECT_EQ(1, world.logic->OnPlugInSetup(nullptr));
    EXPECT_TRUE(cancelled.Finished()) << cancelled.Waiting();
    EXPECT_EQ((std::vector<std::string>{"1", "0", "0", "0", "0", "1", "0", "10"}), shown);
    EXPECT_EQ(before, world.SettingsFile());
    EXPECT_EQ(0, world.logic->settings->Int(EKeyId::Confirm));

    SDialogDriver saved;
    saved.Then("open", Press(IDC_CONFIRM_SETUP))
        .Then("edit", editConfirm(false))
        .Then("ok", Press(IDOK));
    EXPECT_EQ(1, world.logic->OnPlugInSetup(nullptr));
    EXPECT_TRUE(saved.Finished()) << saved.Waiting();
    EXPECT_EQ("2", world.Setting("Option", "Confirm"));
    EXPECT_EQ("1", world.Setting("Option", "ConfirmInsideEach"));
    EXPECT_EQ("0", world.Setting("Option", "BccWarnCount"));
    EXPECT_EQ("1", world.Setting("Option", "InnerDomainMatch"));
    EXPECT_EQ("<missing>", world.Setting("Option", "NewDomainWarn"));
    EXPECT_EQ(2, world.logic->settings->Int(EKeyId::Confirm));
    EXPECT_EQ(1, world.logic->settings->Int(EKeyId::InnerDomainMatch));
}

// The web guide must be a page that exists: a release's tag, else the build's own commit;
// without either, or with a name that is no tag or commit, the release list.
TEST(HelpPage, TagOrCommitNamesItsTreeAnythingElseTheReleases) {
    const char kReleases[] = "https://github.com/tarnwyk/zvelmora/releases";
    const struct {
        const char* ref;
        std::string page;
    } cases[] = {
        {"v2.1.0.0", "https://github.com/tarnwyk/zvelmora/blob/v2.1.0.0/docs/ja/README.md"},
        {"0123456789abcdef0123456789abcdef01234567",
         "https://github.com/tarnwyk/zvelmora/blob/0123456789abcdef0123456789abcdef01234567/docs/"
         "ja/README.md"},
        {"", kReleases},
        {nullptr, kReleases},
        {"../../evil", kReleases},
        {"v2.1 x", kReleases},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.page, HelpPageAddress(c.ref)) << (c.ref ? c.ref : "(null)");
}
