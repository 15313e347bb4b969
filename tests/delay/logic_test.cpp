// The outgoing decision, the mailer header, start and exit, and the exit check.
#include "velmora_version.h"
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "delay/clock.h"
#include "delay/compose_manager.h"
#include "delay/delay_logic.h"
#include "delay/delay_sender.h"
#include "plugin/velmora_logic.h"
#include "tests/common/fake_host.h"
#include "host/host_window.h"
#include "plugin/main_window.h"
#include "settings/local_setting.h"
#include "journal/log_setup.h"
#include "support/string_list.h"

namespace {

class Logic : public ::testing::Test {
  protected:
    void SetUp() override {
        logic = StartLogic(&host);
        logic->settings->Set(EKeyId::InnerDelayTime, 0);
        logic->settings->Set(EKeyId::OuterDelayTime, 5);
    }
    void TearDown() override {
        SetLocalTimeOverride(nullptr);
        if (logic)
            StopLogic(logic);
    }

    HWND OuterCompose() {
        HWND window = host.OpenCompose();
        logic->OnOpenCompose(window, 0);
        host.SetHeader(window, "To", "someone@outer.com");
        return window;
    }

    void SetCtrl(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    FakeHost host;
    VelmoraLogic* logic = nullptr;
};

class ThrowingHook : public SHostWindow {
  public:
    ThrowingHook(HWND window) : SHostWindow(nullptr, window, 77) {}
    LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER + 1)
            throw std::runtime_error("hook failed");
        if (message == WM_USER + 2)
            return 42;
        return SHostWindow::WindowProc(window, message, wParam, lParam);
    }
};

} // namespace

TEST_F(Logic, ModeOtherThanZeroClearsTheStatusAndSends) {
    HWND window = OuterCompose();
    host.SetHeader(window, "X-VelmoraStatus", "1");
    EXPECT_EQ(0, logic->OnOutgoing(window, 1));
    EXPECT_EQ("", host.Header(window, "X-VelmoraStatus"));
    EXPECT_EQ(nullptr, logic->delayLogic->FindSender("box1"));
}

TEST_F(Logic, CtrlDownSendsAtOnceWithoutTouchingHeaders) {
    HWND window = OuterCompose();
    SetCtrl(true);
    int result = logic->OnOutgoing(window, 0);
    SetCtrl(false);
    EXPECT_EQ(0, result);
    EXPECT_EQ("", host.Header(window, "X-Mailer-Plugin"));
    EXPECT_EQ(-1, logic->OnOutgoing(window, 0));

    // An organisation that switches the bypass off: Ctrl changes nothing.
    logic->settings->Set(EKeyId::CtrlBypass, 0);
    HWND other = OuterCompose();
    SetCtrl(true);
    result = logic->OnOutgoing(other, 0);
    SetCtrl(false);
    EXPECT_EQ(-1, result);
}

TEST_F(Logic, DebugLogHasOneDecisionLinePerSendWithItsReason) {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    const std::string log =
        temp + std::string("zvdecide-") + std::to_string(GetCurrentProcessId()) + ".log";
    DeleteFileA(log.c_str());
    logic->settings->Set(EKeyId::LogFile, log);
    logic->settings->Set(EKeyId::LogLevel, 8);
    ASSERT_TRUE(InstallLogSink(*logic->settings));
    logic->settings->Set(EKeyId::InnerDomains,
                         logic->settings->Text(EKeyId::InnerDomains) + ",inner.example");
    const struct {
        const char* subject;
        const char* to;
        int mode;
        bool ctrl;
        const char* ident;
        const char* line;
    } sends[] = {
        {"held", "x@outer.com", 0, false, "", "「held」 保留"},
        {"inner", "x@inner.example", 0, false, "", "すぐに送信: 宛先がすべて組織内で"},
        {"draft", "x@outer.com", 1, false, "", "保留しない: 送信ではない操作"},
        {"ctrl", "x@outer.com", 0, true, "", "すぐに送信: Ctrl キー"},
        {"ident", "x@outer.com", 0, false, "a,1", "すぐに送信: X-KRV-Ident"},
    };
    HWND held = nullptr;
    for (const auto& send : sends) {
        HWND window = OuterCompose();
        held = held ? held : window;
        host.SetHeader(window, "Subject", send.subject);
        host.SetHeader(window, "To", send.to);
        host.SetHeader(window, "X-KRV-Ident", send.ident);
        SetCtrl(send.ctrl);
        logic->OnOutgoing(window, send.mode);
        SetCtrl(false);
    }
    logic->delayLogic->SendNow("box1", held);
    logic->OnOutgoing(held, 0);
    RemoveLogSink();
    std::ifstream in(log, std::ios::binary);
    const std::string lines((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    DeleteFileA(log.c_str());
    for (const auto& send : sends)
        EXPECT_NE(std::string::npos, lines.find(send.line)) << send.line << "\n" << lines;
    EXPECT_NE(std::string::npos, lines.find("「held」 すぐに送信: Velmora が保留を終えた"))
        << lines;
    size_t decisions = 0;
    for (size_t at = lines.find("判定 "); at != std::string::npos; at = lines.find("判定 ", at + 1))
        ++decisions;
    EXPECT_EQ(6u, decisions) << lines;
}

TEST_F(Logic, IdentNumberAfterTheFirstCommaDecides) {
    struct Case {
        const char* ident;
        int expected;
    } cases[] = {{"abc,1", 0}, {",2", 0}, {"abc, +7,0", 0}, {"abc,0", -1},
                 {"abc", -1},  {"", -1},  {"abc,-1", -1},   {"abc,x1", -1}};
    for (const Case& c : cases) {
        HWND window = OuterCompose();
        host.SetHeader(window, "X-KRV-Ident", c.ident);
        EXPECT_EQ(c.expected, logic->OnOutgoing(window, 0)) << c.ident;
        if (c.expected == 0)
            EXPECT_EQ("", host.Header(window, "X-KRV-Ident")) << c.ident;
        else
            EXPECT_EQ(c.ident, host.Header(window, "X-KRV-Ident")) << c.ident;
    }
}

TEST_F(Logic, MailerHeaderGetsOurEntryOnce) {
    HWND a = OuterCompose();
    host.SetHeader(a, "X-Mailer-Plugin", "Foo 1.0");
    ASSERT_EQ(-1, logic->OnOutgoing(a, 0));
    EXPECT_EQ("Foo 1.0, Velmora " VELMORA_VERSION_TEXT, host.Header(a, "X-Mailer-Plugin"));
    HWND b = OuterCompose();
    host.SetHeader(b, "X-Mailer-Plugin", "xVelmoray 0.1");
    ASSERT_EQ(-1, logic->OnOutgoing(b, 0));
    EXPECT_EQ("xVelmoray 0.1", host.Header(b, "X-Mailer-Plugin"));
    HWND c = OuterCompose();
    std::string full(16324, 'a');
    host.SetHeader(c, "X-Mailer-Plugin", full);
    ASSERT_EQ(-1, logic->OnOutgoing(c, 0));
    EXPECT_EQ(full, host.Header(c, "X-Mailer-Plugin"));
    HWND d = OuterCompose();
    std::string almost(16323, 'a');
    host.SetHeader(d, "X-Mailer-Plugin", almost);
    ASSERT_EQ(-1, logic->OnOutgoing(d, 0));
    EXPECT_EQ(almost + ", Velmora " VELMORA_VERSION_TEXT, host.Header(d, "X-Mailer-Plugin"));
}

TEST_F(Logic, UnregisteredAndModeThreeWindowsAreHeldAndReleasedLikeAnyOther) {
    HWND window = host.OpenCompose();
    host.SetHeader(window, "X-VelmoraStatus", "9");
    logic->OnOpenCompose(window, 3);
    EXPECT_EQ("9", host.Header(window, "X-VelmoraStatus"));
    EXPECT_EQ(nullptr, logic->composeManager->FindComposeWindow(window));
    host.SetHeader(window, "To", "someone@outer.com");
    EXPECT_EQ(-1, logic->OnOutgoing(window, 0));
    // Held, it is watched, so that its end is seen.
    EXPECT_NE(nullptr, logic->composeManager->FindComposeWindow(window));
    ASSERT_TRUE(logic->delayLogic->FindSender("box1")->SendNow(window, 2));
    EXPECT_EQ(0, logic->OnOutgoing(window, 0));
    EXPECT_EQ("2", host.Header(window, "X-VelmoraStatus"));
}

TEST_F(Logic, OpeningAComposeWindowClearsItsStatus) {
    HWND window = host.OpenCompose();
    host.SetHeader(window, "X-VelmoraStatus", "3");
    logic->OnOpenCompose(window, 0);
    EXPECT_EQ("", host.Header(window, "X-VelmoraStatus"));
}

TEST_F(Logic, HeaderValuesAtTheHostLimitAndThousandsOfRecipients) {
    HWND window = OuterCompose();
    std::string to;
    for (int i = 0; to.size() < 70000; ++i)
        to += "\"Name, " + std::to_string(i) + "\" <user" + std::to_string(i) + "@outer.com>, ";
    host.SetHeader(window, "To", to);
    host.SetHeader(window, "Cc", std::string(70000, '('));
    host.SetHeader(window, "Subject", std::string(70000, '\x82'));
    host.SetHeader(window, "X-KRV-Ident", std::string(5000, ','));
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    const SDelayMail& mail = logic->delayLogic->FindSender("box1")->GetMails()[0];
    EXPECT_EQ(65535u, mail.subject.size());
    EXPECT_GT(mail.outerCount, 900);
}

TEST_F(Logic, CallbacksBeforeStartAndAfterExitDoNothing) {
    HWND window = OuterCompose();
    StopLogic(logic);
    logic = nullptr;
    VelmoraLogic* fresh = new VelmoraLogic(GetModuleHandleA(nullptr), &host.api, "nofile.dll");
    EXPECT_EQ(0, fresh->OnOutgoing(window, 0));
    EXPECT_EQ(0, fresh->OnOpenCompose(window, 0));
    EXPECT_EQ(0, fresh->OnEveryMinute());
    EXPECT_EQ(0, fresh->OnExit());
    EXPECT_TRUE(IsWindowVisible(window));
    fresh->OnStart();
    fresh->OnExit();
    EXPECT_EQ(0, fresh->OnOutgoing(window, 0));
    EXPECT_EQ(nullptr, fresh->delayLogic);
    delete fresh;
}

TEST_F(Logic, SecondStartKeepsTheFirstObjects) {
    SDelayLogic* queue = logic->delayLogic;
    logic->OnStart();
    EXPECT_EQ(queue, logic->delayLogic);
}

TEST_F(Logic, PluginInfoFillsFourBoundedFields) {
    char record[400];
    memset(record, 'z', sizeof(record));
    EXPECT_EQ(0, logic->OnPlugInInfo(record));
    EXPECT_STREQ("Velmora", record);
    EXPECT_STREQ("Tarnwyk", record + 80);
    EXPECT_STREQ(VELMORA_VERSION_TEXT, record + 160);
    EXPECT_EQ(0, strncmp("Velmora ", record + 240, 8));
    EXPECT_LT(strlen(record + 240), 80u);
    EXPECT_EQ('z', record[320]); // nothing written past the fourth field's bound
}

TEST_F(Logic, ExitCheckWithNothingHeldShowsReleasedWindowsAndAllowsTheClose) {
    HWND window = OuterCompose();
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    logic->delayLogic->FindSender("box1")->SendNow(window, 2);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(logic->CanClose(host.mainWindow));
    EXPECT_TRUE(IsWindowVisible(window));
}

TEST_F(Logic, ExitCheckNoKeepsEverythingAndRefuses) {
    HWND window = OuterCompose();
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    MessageBoxAnswer answer(IDNO);
    EXPECT_FALSE(logic->CanClose(host.mainWindow));
    EXPECT_TRUE(answer.answered);
    EXPECT_EQ("送信保留メールが残っているため終了できません。\nすべてを送信しますか？",
              answer.text);
    EXPECT_EQ("送信保留メールがあります", answer.caption);
    EXPECT_EQ(1, logic->delayLogic->FindSender("box1")->HeldCount());
    EXPECT_EQ(0, host.CountCommand(window, kComposeSendCommand));
}

TEST_F(Logic, ExitCheckYesReleasesEverythingWithCodeFourAndStillRefuses) {
    HWND a = OuterCompose();
    ASSERT_EQ(-1, logic->OnOutgoing(a, 0));
    host.mailbox = "box2";
    HWND b = OuterCompose();
    ASSERT_EQ(-1, logic->OnOutgoing(b, 0));
    MessageBoxAnswer answer(IDYES);
    EXPECT_FALSE(logic->CanClose(host.mainWindow));
    EXPECT_TRUE(answer.answered);
    EXPECT_EQ("4", host.Header(a, "X-VelmoraStatus"));
    EXPECT_EQ("4", host.Header(b, "X-VelmoraStatus"));
    EXPECT_EQ(1, host.CountCommand(a, kComposeSendCommand));
    EXPECT_EQ(1, host.CountCommand(b, kComposeSendCommand));
    EXPECT_TRUE(logic->CanClose(host.mainWindow));
}

TEST_F(Logic, MainWindowHookRefusesCloseAndLogOffWhileHeld) {
    ASSERT_TRUE(logic->mainWindow->subclassed);
    HWND window = OuterCompose();
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    {
        MessageBoxAnswer answer(IDNO);
        EXPECT_EQ(0, SendMessageA(host.mainWindow, WM_QUERYENDSESSION, 0, 0));
        EXPECT_TRUE(answer.answered);
    }
    {
        MessageBoxAnswer answer(IDNO);
        SendMessageA(host.mainWindow, WM_CLOSE, 0, 0);
        EXPECT_TRUE(answer.answered);
        EXPECT_TRUE(IsWindow(host.mainWindow));
    }
    logic->delayLogic->FindSender("box1")->Forget(window);
    EXPECT_EQ(1, SendMessageA(host.mainWindow, WM_QUERYENDSESSION, 0, 0));
}

TEST(HostWindowHook, ExceptionsAreSwallowedAndForeignIdsPassedOn) {
    HWND window = CreateWindowA("STATIC", "x", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ThrowingHook* hook = new ThrowingHook(window);
    ASSERT_TRUE(hook->Attach());
    EXPECT_EQ(0, SendMessageA(window, WM_USER + 1, 0, 0));
    EXPECT_EQ(42, SendMessageA(window, WM_USER + 2, 0, 0));
    // Called with another hook's identifier, the object is not asked.
    EXPECT_EQ(0, HostWindowSubclassProc(window, WM_USER + 2, 0, 0, 78,
                                        reinterpret_cast<DWORD_PTR>(hook)));
    delete hook;
    EXPECT_EQ(0, SendMessageA(window, WM_USER + 2, 0, 0));
    DestroyWindow(window);
}

TEST(HostWindowHook, NullWindowIsNeverAttached) {
    ThrowingHook* hook = new ThrowingHook(nullptr);
    EXPECT_FALSE(hook->Attach());
    EXPECT_EQ(0, hook->subclassed);
    delete hook;
}
