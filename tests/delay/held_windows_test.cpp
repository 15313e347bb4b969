// Held windows that lost or never had a hook, and whatever is thrown inside reaching the host
// only as the answer that keeps it safe.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "delay/clock.h"
#include "delay/compose_manager.h"
#include "delay/delay_logic.h"
#include "delay/delay_sender.h"
#include "tests/common/fake_host.h"
#include "host/host_window.h"
#include "plugin/menu_command.h"
#include "plugin/plugin_entry.h"
#include "plugin/velmora_logic.h"
#include "journal/held_journal.h"
#include "settings/local_setting.h"
#include "journal/log_setup.h"
#include "settings/settings_path.h"
#include "support/guard.h"
#include "support/path_utils.h"
#include "support/string_list.h"
#include "ui/dialog.h"

#include <cstdio>
#include <fstream>
#include <sstream>

extern "C" {
int WINAPI BKC_OnStart();
int WINAPI BKC_OnExit();
int WINAPI BKC_OnMenuInit(HWND, HMENU, int);
int WINAPI BKC_OnOpenFolder(LPCSTR);
int WINAPI BKC_OnOpenMail(LPCSTR);
int WINAPI BKC_OnEveryMinute();
int WINAPI BKC_OnOpenCompose(HWND, int);
int WINAPI BKC_OnOutgoing(HWND, int);
int WINAPI BKC_OnKeyDispatch(HWND, int, int);
int WINAPI BKC_OnRetrieve(LPCSTR, LPCSTR);
int WINAPI BKC_OnSend(LPCSTR);
int WINAPI BKC_OnFinishRetrieve(int);
int WINAPI BKC_OnPlugInSetup(HWND);
int WINAPI BKC_OnPlugInInfo(LPVOID);
int WINAPI BKC_OnDragDrop(LPCSTR, LPCSTR, int, int);
int WINAPI BKC_OnBeforeFilter2(LPCSTR, LPCSTR, int*, char**);
}

namespace {

// The settings file is shared with the end-to-end runs beside this test.
void UseDefaultTimes(VelmoraLogic* logic) {
    logic->settings->Set(EKeyId::InnerDelayTime, 0);
    logic->settings->Set(EKeyId::OuterDelayTime, 5);
    logic->settings->Set(EKeyId::InnerDomains, std::string());
}

class HeldWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        SYSTEMTIME start = MakeTime(2026, 12, 7, 10, 0);
        SetLocalTimeOverride(&start);
        logic = StartLogic(&host);
        UseDefaultTimes(logic);
    }
    void TearDown() override {
        StopLogic(logic);
        SetLocalTimeOverride(nullptr);
    }
    HWND OuterCompose(bool announce = true) {
        HWND window = host.OpenCompose();
        if (announce)
            logic->OnOpenCompose(window, 0);
        host.SetHeader(window, "To", "x@outer.com");
        return window;
    }
    void Sweep(int hour, int minute) {
        SYSTEMTIME at = MakeTime(2026, 12, 7, hour, minute);
        SetLocalTimeOverride(&at);
        logic->OnEveryMinute();
    }
    FakeHost host;
    VelmoraLogic* logic = nullptr;
};

TEST_F(HeldWindows, ACancelledCloseKeepsTheHookAndTheReleasedMessageGoesOnce) {
    HWND window = OuterCompose();
    host.compose[window].closeCancelled = true;
    SendMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_NE(nullptr, logic->composeManager->FindComposeWindow(window));
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    Sweep(10, 6);
    EXPECT_EQ(1, host.CountCommand(window, kComposeSendCommand));
    EXPECT_EQ(0, logic->OnOutgoing(window, 0));
    Sweep(10, 7);
    EXPECT_EQ(1, host.CountCommand(window, kComposeSendCommand));
}

TEST_F(HeldWindows, UnannouncedWindowsLeaveOnSendNowAndAtExit) {
    HWND now = OuterCompose(false);
    HWND exit = OuterCompose(false);
    ASSERT_EQ(-1, logic->OnOutgoing(now, 0));
    ASSERT_EQ(-1, logic->OnOutgoing(exit, 0));
    ASSERT_TRUE(logic->delayLogic->SendNow("box1", now));
    EXPECT_EQ(0, logic->OnOutgoing(now, 0));
    MessageBoxAnswer yes(IDYES);
    EXPECT_FALSE(logic->CanClose(host.mainWindow));
    EXPECT_EQ(0, logic->OnOutgoing(exit, 0));
    EXPECT_EQ("4", host.Header(exit, "X-VelmoraStatus"));
    // Everything went: the next close is allowed without a question.
    EXPECT_TRUE(logic->CanClose(host.mainWindow));
}

TEST_F(HeldWindows, AWindowAnnouncedTwiceHasOneHookAndAGoneWindowIsForgotten) {
    HWND window = OuterCompose();
    logic->OnOpenCompose(window, 0);
    EXPECT_EQ(1, logic->composeManager->Count());
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    DestroyWindow(window);
    host.compose.erase(window);
    EXPECT_EQ(0, logic->composeManager->Count());
    EXPECT_FALSE(logic->delayLogic->AnyHeld());
    EXPECT_FALSE(logic->delayLogic->IsReleased(window));
}

// The real exports, the hooks' and dialogs' procedures and the menu command, each with a
// fault thrown inside.
TEST_F(HeldWindows, EveryBoundaryAnswersSafelyWhenTheInsideThrows) {
    HWND window = OuterCompose();
    g_logic = logic;
    NGuard::ArmFaultForTesting(true);
    EXPECT_EQ(-1, BKC_OnOutgoing(window, 0));
    int zero[] = {BKC_OnStart(),
                  BKC_OnExit(),
                  BKC_OnMenuInit(nullptr, nullptr, 0),
                  BKC_OnOpenFolder(""),
                  BKC_OnOpenMail(""),
                  BKC_OnEveryMinute(),
                  BKC_OnOpenCompose(window, 0),
                  BKC_OnKeyDispatch(nullptr, 0, 0),
                  BKC_OnRetrieve("", ""),
                  BKC_OnSend(""),
                  BKC_OnFinishRetrieve(0),
                  BKC_OnPlugInSetup(nullptr),
                  BKC_OnPlugInInfo(nullptr),
                  BKC_OnDragDrop("", "", 0, 0),
                  BKC_OnBeforeFilter2("", "", nullptr, nullptr)};
    for (int result : zero)
        EXPECT_EQ(0, result);
    EXPECT_EQ(0, HostWindowSubclassProc(window, WM_NULL, 0, 0, kComposeWindowSubclassId, 0));
    EXPECT_EQ(0, SDialog::StaticDialogProc(window, WM_NULL, 0, 0));
    EXPECT_EQ(1u, HoldListCommandState(0, 0));
    HoldListCommand(nullptr, 0);
    NGuard::ArmFaultForTesting(false);
    g_logic = nullptr;
    // Nothing was done: the message is neither held nor sent.
    EXPECT_FALSE(logic->delayLogic->AnyHeld());
    EXPECT_EQ(0, host.CountCommand(window, kComposeSendCommand));
    EXPECT_NE(nullptr, logic->composeManager);
}

// This process's journal records; other test processes may write theirs beside them.
// The journal is written once the host's callback is over: run what was posted first.
int OwnRecords(FakeHost* host, const std::string& folder) {
    host->Pump();
    char pattern[64];
    snprintf(pattern, sizeof(pattern), "%lu-*.rec", GetCurrentProcessId());
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + pattern).c_str(), &found);
    int count = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do
            ++count;
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return count;
}

TEST(HeldMailRecords, EveryRoadOutRemovesItsRecordAndTheLogHasALinePerEvent) {
    char settings[kSettingsPathSize] = "";
    ChooseSettingsPath(GetModuleHandleA(nullptr), settings);
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    std::string log = std::string(temp) + "zvops-" + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(log.c_str());
    const std::string journal = FolderOf(settings) + kJournalFolderName + "\\";

    FakeHost host;
    SYSTEMTIME start = MakeTime(2026, 12, 7, 10, 0);
    SetLocalTimeOverride(&start);
    VelmoraLogic* logic = StartLogic(&host);
    UseDefaultTimes(logic);
    // Switched on here rather than in the shared settings file, which other tests rewrite.
    logic->settings->Set(EKeyId::LogFile, log);
    ASSERT_TRUE(InstallLogSink(*logic->settings));
    HWND windows[5];
    for (HWND& window : windows) {
        window = host.OpenCompose();
        logic->OnOpenCompose(window, 0);
        host.SetHeader(window, "To", "x@outer.com");
        host.SetHeader(window, "Subject", "cycle");
        ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    }
    EXPECT_EQ(5, OwnRecords(&host, journal));
    logic->delayLogic->SendNow("box1", windows[0]);
    logic->delayLogic->TakeBack("box1", windows[1]);
    DestroyWindow(windows[2]);
    host.compose.erase(windows[2]);
    EXPECT_EQ(2, OwnRecords(&host, journal));
    SYSTEMTIME due = MakeTime(2026, 12, 7, 10, 6);
    SetLocalTimeOverride(&due);
    // One more held after the sweep's time: only the exit's send-all takes it.
    logic->OnOutgoing(windows[1], 0);
    logic->OnEveryMinute();
    EXPECT_EQ(1, OwnRecords(&host, journal));
    {
        MessageBoxAnswer yes(IDYES);
        EXPECT_FALSE(logic->CanClose(host.mainWindow));
    }
    EXPECT_EQ(0, OwnRecords(&host, journal));
    StopLogic(logic);
    SetLocalTimeOverride(nullptr);

    std::ifstream in(log, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string lines = text.str();
    DeleteFileA(log.c_str());
    const char* const events[] = {"保留 保留時間=5分 組織外=1 ドメイン=outer.com\r\n",
                                  "保留 ",
                                  "すぐに送信",
                                  "送信中止",
                                  "作成ウィンドウが閉じられたため保留終了",
                                  "保留時間が過ぎて送信",
                                  "終了時にまとめて送信",
                                  "終了 保留中=0通"};
    for (const char* event : events)
        EXPECT_NE(std::string::npos, lines.find(event)) << event << "\n" << lines;
    size_t count = 0;
    for (size_t at = lines.find("\r\n"); at != std::string::npos; at = lines.find("\r\n", at + 1))
        ++count;
    // Six holds, six roads out of the hold and the exit; each hold and road again as the Event
    // Log is told, but the one replaced by its window's next send.
    EXPECT_EQ(25u, count) << lines;
}

} // namespace
