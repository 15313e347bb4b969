// The delayed sender and hold queue against real windows and a stand-in host.
#include "velmora_version.h"
#include <gtest/gtest.h>

#include "delay/clock.h"
#include "delay/compose_manager.h"
#include "delay/delay_logic.h"
#include "delay/delay_sender.h"
#include "plugin/velmora_logic.h"
#include "tests/common/fake_host.h"
#include "settings/local_setting.h"
#include "support/string_list.h"

namespace {

class HoldEngine : public ::testing::Test {
  protected:
    void SetUp() override {
        logic = StartLogic(&host);
        logic->settings->Set(EKeyId::InnerDomains, std::string("inner.jp"));
        logic->settings->Set(EKeyId::InnerDelayTime, 0);
        logic->settings->Set(EKeyId::OuterDelayTime, 5);
        SetClock(MakeTime(2026, 12, 7, 10, 0, 30));
    }
    void TearDown() override {
        SetLocalTimeOverride(nullptr);
        StopLogic(logic);
    }

    void SetClock(const SYSTEMTIME& time) { SetLocalTimeOverride(&time); }

    HWND Compose(const char* to, const char* cc = "", const char* bcc = "") {
        HWND window = host.OpenCompose();
        logic->OnOpenCompose(window, 0);
        host.SetHeader(window, "To", to);
        host.SetHeader(window, "Cc", cc);
        host.SetHeader(window, "Bcc", bcc);
        host.SetHeader(window, "Subject", "subject");
        return window;
    }

    SDelaySenderLogic* Sender(const char* key = "box1") {
        return logic->delayLogic->FindSender(key);
    }

    FakeHost host;
    VelmoraLogic* logic = nullptr;
};

} // namespace

TEST_F(HoldEngine, InnerOnlyMailIsNotHeldAndNothingChanges) {
    HWND window = Compose("a@inner.jp, \"B\" <b@sub.inner.jp>");
    EXPECT_EQ(0, logic->OnOutgoing(window, 0));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ("", host.Header(window, "X-VelmoraStatus"));
    EXPECT_EQ("", host.Header(window, "X-Mailer-Plugin"));
}

TEST_F(HoldEngine, OneOuterRecipientAnywhereHoldsTheWholeMessage) {
    HWND window = Compose("a@inner.jp", "", "x@outer.com");
    EXPECT_EQ(-1, logic->OnOutgoing(window, 0));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ("1", host.Header(window, "X-VelmoraStatus"));
    EXPECT_EQ("Velmora " VELMORA_VERSION_TEXT, host.Header(window, "X-Mailer-Plugin"));
    ASSERT_NE(nullptr, Sender());
    ASSERT_EQ(1, Sender()->HeldCount());
    const SDelayMail& mail = Sender()->GetMails()[0];
    EXPECT_EQ(1, mail.innerCount);
    EXPECT_EQ(1, mail.outerCount);
    EXPECT_EQ(nullptr, mail.cc);
    EXPECT_EQ(10, mail.releaseAt.wHour);
    EXPECT_EQ(5, mail.releaseAt.wMinute);
    EXPECT_EQ(30, mail.releaseAt.wSecond);
}

TEST_F(HoldEngine, RecipientsAreKeptRawAndCountedPerOccurrence) {
    HWND window =
        Compose("\"Yamada, Taro\" <t@outer.com>, t@outer.com; bare-name", "(comment) c@inner.jp");
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    const SDelayMail& mail = Sender()->GetMails()[0];
    EXPECT_EQ(3, mail.outerCount);
    EXPECT_EQ(1, mail.innerCount);
    ASSERT_NE(nullptr, mail.to);
    char* joined = mail.to->JoinWithCommas();
    EXPECT_STREQ("\"Yamada, Taro\" <t@outer.com>,t@outer.com,bare-name", joined);
    delete[] joined;
}

TEST_F(HoldEngine, NoRecipientsTakesTheInnerHoldTime) {
    HWND empty = Compose("");
    EXPECT_EQ(0, logic->OnOutgoing(empty, 0));
    logic->settings->Set(EKeyId::InnerDelayTime, 2);
    HWND again = Compose("");
    EXPECT_EQ(-1, logic->OnOutgoing(again, 0));
    EXPECT_EQ(10, Sender()->GetMails()[0].releaseAt.wHour);
    EXPECT_EQ(2, Sender()->GetMails()[0].releaseAt.wMinute);
}

TEST_F(HoldEngine, EmptyDomainListMakesEveryoneOuterAndNegativeTimeSendsAtOnce) {
    logic->settings->Set(EKeyId::InnerDomains, std::string());
    HWND window = Compose("a@inner.jp");
    EXPECT_EQ(-1, logic->OnOutgoing(window, 0));
    logic->settings->Set(EKeyId::OuterDelayTime, -3);
    HWND other = Compose("a@outer.com");
    EXPECT_EQ(0, logic->OnOutgoing(other, 0));
    EXPECT_TRUE(IsWindowVisible(other));
}

TEST_F(HoldEngine, TimerReleasesOnlyStrictlyAfterTheReleaseTime) {
    HWND window = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    SetClock(MakeTime(2026, 12, 7, 10, 5, 10));
    logic->OnEveryMinute();
    SetClock(MakeTime(2026, 12, 7, 10, 5, 30)); // equal to the millisecond: not yet due
    logic->OnEveryMinute();
    EXPECT_EQ(0, host.CountCommand(window, kComposeSendCommand));
    EXPECT_EQ(1, Sender()->HeldCount());
    SetClock(MakeTime(2026, 12, 7, 10, 6, 10));
    logic->OnEveryMinute();
    EXPECT_EQ(1, host.CountCommand(window, kComposeSendCommand));
    EXPECT_EQ("3", host.Header(window, "X-VelmoraStatus"));
    EXPECT_EQ(0, Sender()->HeldCount());
    // The host sends a released window straight away, without holding it again.
    EXPECT_EQ(0, logic->OnOutgoing(window, 0));
    // A later sweep shows the released window that is still open, and posts nothing more.
    logic->OnEveryMinute();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(1, host.CountCommand(window, kComposeSendCommand));
}

TEST_F(HoldEngine, ADueMessageBehindOneNotDueIsReleased) {
    HWND a = Compose("x@outer.com");
    logic->settings->Set(EKeyId::OuterDelayTime, 10);
    SetClock(MakeTime(2026, 12, 7, 10, 0));
    ASSERT_EQ(-1, logic->OnOutgoing(a, 0));
    logic->settings->Set(EKeyId::OuterDelayTime, 2);
    HWND b = Compose("y@outer.com");
    SetClock(MakeTime(2026, 12, 7, 10, 1));
    ASSERT_EQ(-1, logic->OnOutgoing(b, 0));
    EXPECT_EQ(a, Sender()->GetMails()[0].composeWindow);
    SetClock(MakeTime(2026, 12, 7, 10, 4));
    logic->OnEveryMinute();
    EXPECT_EQ(1, host.CountCommand(b, kComposeSendCommand));
    EXPECT_EQ(0, host.CountCommand(a, kComposeSendCommand));
    ASSERT_EQ(1, Sender()->HeldCount());
    EXPECT_EQ(a, Sender()->GetMails()[0].composeWindow);
}

TEST_F(HoldEngine, MailsStayInSendingOrder) {
    SetClock(MakeTime(2026, 12, 7, 10, 3));
    HWND later = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(later, 0));
    SetClock(MakeTime(2026, 12, 7, 10, 1)); // the clock went back
    HWND earlier = Compose("y@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(earlier, 0));
    EXPECT_EQ(earlier, Sender()->GetMails()[0].composeWindow);
    EXPECT_EQ(later, Sender()->GetMails()[1].composeWindow);
}

TEST_F(HoldEngine, PausedSenderReleasesNothingButStillShowsReleasedWindows) {
    HWND held = Compose("x@outer.com");
    HWND released = Compose("y@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(held, 0));
    ASSERT_EQ(-1, logic->OnOutgoing(released, 0));
    ASSERT_TRUE(Sender()->SendNow(released, 2));
    EXPECT_EQ("2", host.Header(released, "X-VelmoraStatus"));
    SetClock(MakeTime(2026, 12, 7, 11, 0));
    {
        SHoldPause pause(logic->delayLogic, "box1");
        EXPECT_FALSE(logic->delayLogic->ReleaseDue());
        EXPECT_EQ(0, host.CountCommand(held, kComposeSendCommand));
        EXPECT_TRUE(IsWindowVisible(released));
    }
    EXPECT_TRUE(logic->delayLogic->ReleaseDue());
    EXPECT_EQ(1, host.CountCommand(held, kComposeSendCommand));
}

TEST_F(HoldEngine, SendNowReleasesOnceAndRefusesAWindowNoLongerHeld) {
    HWND window = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    EXPECT_TRUE(Sender()->SendNow(window, 2));
    EXPECT_FALSE(Sender()->SendNow(window, 2));
    EXPECT_EQ(1, host.CountCommand(window, kComposeSendCommand));
    HWND other = Compose("y@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(other, 0));
    EXPECT_TRUE(Sender()->SendNow(other, 0));
    EXPECT_EQ("", host.Header(other, "X-VelmoraStatus"));
}

TEST_F(HoldEngine, TakeBackGivesTheMessageBackAndTheNextSendHoldsItAgain) {
    HWND window = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    EXPECT_EQ(window, Sender()->TakeBack(window));
    EXPECT_EQ(nullptr, Sender()->TakeBack(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ("", host.Header(window, "X-VelmoraStatus"));
    EXPECT_EQ(0, Sender()->HeldCount());
    SetClock(MakeTime(2026, 12, 7, 10, 2));
    EXPECT_EQ(-1, logic->OnOutgoing(window, 0));
    EXPECT_EQ(2, Sender()->GetMails()[0].heldAt.wMinute);
    // Held again, the mailer entry is not added twice.
    EXPECT_EQ("Velmora " VELMORA_VERSION_TEXT, host.Header(window, "X-Mailer-Plugin"));
    EXPECT_EQ(0, host.CountCommand(window, kComposeSendCommand));
}

TEST_F(HoldEngine, ReleaseAllPostsOneSendPerMessageInOrder) {
    EXPECT_TRUE(logic->delayLogic->ReleaseAll());
    HWND windows[3];
    for (HWND& window : windows) {
        window = Compose("x@outer.com");
        ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    }
    host.mailbox = "box2";
    HWND other = Compose("y@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(other, 0));
    ASSERT_NE(nullptr, Sender("box2"));
    EXPECT_TRUE(logic->delayLogic->ReleaseAll());
    for (HWND window : windows) {
        EXPECT_EQ(1, host.CountCommand(window, kComposeSendCommand));
        EXPECT_EQ("4", host.Header(window, "X-VelmoraStatus"));
    }
    EXPECT_EQ(1, host.CountCommand(other, kComposeSendCommand));
    EXPECT_EQ(0, Sender()->HeldCount());
    EXPECT_EQ(0, Sender("box2")->HeldCount());
}

TEST_F(HoldEngine, ReleaseAllForEditShowsAndPostsBothCommands) {
    HWND window = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    EXPECT_TRUE(Sender()->ReleaseAllForEdit());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ("5", host.Header(window, "X-VelmoraStatus"));
    std::vector<WPARAM> expected = {kComposeSendCommand, kComposeEditCommand};
    EXPECT_EQ(expected, host.Commands(window));
}

TEST_F(HoldEngine, MailboxesAreSeparateAndKeyedWithCase) {
    host.mailbox = "Box1\\";
    HWND a = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(a, 0));
    host.mailbox = "box1";
    HWND b = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(b, 0));
    EXPECT_EQ(1, Sender("Box1")->HeldCount());
    EXPECT_EQ(1, Sender("box1")->HeldCount());
    EXPECT_EQ(nullptr, Sender("BOX1"));
    // A sender whose mail is gone stays.
    Sender("box1")->SendNow(b, 2);
    ASSERT_NE(nullptr, Sender("box1"));
    EXPECT_EQ(0, Sender("box1")->HeldCount());
}

TEST_F(HoldEngine, OnePausedMailboxDoesNotStopTheOthers) {
    HWND a = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(a, 0));
    host.mailbox = "box2";
    HWND b = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(b, 0));
    SHoldPause pause(logic->delayLogic, "box1");
    SetClock(MakeTime(2026, 12, 7, 12, 0));
    EXPECT_FALSE(logic->delayLogic->ReleaseDue());
    EXPECT_EQ(0, host.CountCommand(a, kComposeSendCommand));
    EXPECT_EQ(1, host.CountCommand(b, kComposeSendCommand));
}

TEST_F(HoldEngine, ClosingAComposeWindowUnregistersIt) {
    HWND first = Compose("x@outer.com");
    HWND second = Compose("x@outer.com");
    ASSERT_EQ(2, logic->composeManager->Count());
    SendMessageA(first, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(first));
    ASSERT_EQ(1, logic->composeManager->Count());
    EXPECT_EQ(nullptr, logic->composeManager->FindComposeWindow(first));
    EXPECT_NE(nullptr, logic->composeManager->FindComposeWindow(second));
}

TEST_F(HoldEngine, AHeldWindowThatIsDestroyedLeavesTheHold) {
    // Its handle may be reused by another window, which must never be sent by our timer.
    HWND window = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    DestroyWindow(window);
    host.compose.erase(window);
    EXPECT_EQ(0, Sender()->HeldCount());
    EXPECT_EQ(nullptr, logic->composeManager->FindComposeWindow(window));
    SetClock(MakeTime(2026, 12, 7, 12, 0));
    EXPECT_TRUE(logic->delayLogic->ReleaseDue());
}

TEST_F(HoldEngine, ForgetDropsTheRecordWithoutTouchingTheWindow) {
    HWND window = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    EXPECT_TRUE(Sender()->Forget(window));
    EXPECT_FALSE(Sender()->Forget(window));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ("1", host.Header(window, "X-VelmoraStatus"));
}

TEST_F(HoldEngine, ShowAgainReachesWindowsReleasedByAnotherMailbox) {
    HWND a = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(a, 0));
    host.mailbox = "box2";
    HWND b = Compose("x@outer.com");
    logic->settings->Set(EKeyId::OuterDelayTime, 30);
    ASSERT_EQ(-1, logic->OnOutgoing(b, 0));
    SetClock(MakeTime(2026, 12, 7, 10, 10));
    // box1's sweep releases a (still hidden); box2's show-again step then shows it.
    logic->delayLogic->ReleaseDue();
    EXPECT_TRUE(IsWindowVisible(a));
    EXPECT_FALSE(IsWindowVisible(b));
}

TEST_F(HoldEngine, ASecondSendOfAHeldWindowReplacesItsOneRecord) {
    HWND window = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    // The client shows the window again; the user changes it and sends from another mailbox.
    ShowWindow(window, SW_SHOW);
    host.SetHeader(window, "Subject", "changed");
    host.mailbox = "box2";
    SetClock(MakeTime(2026, 12, 7, 10, 3));
    EXPECT_EQ(-1, logic->OnOutgoing(window, 0));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(0, Sender()->HeldCount());
    ASSERT_EQ(1, Sender("box2")->HeldCount());
    EXPECT_EQ("changed", Sender("box2")->GetMails()[0].subject);
    EXPECT_EQ(3, Sender("box2")->GetMails()[0].heldAt.wMinute);
    EXPECT_TRUE(logic->delayLogic->ReleaseAll());
    EXPECT_EQ(1, host.CountCommand(window, kComposeSendCommand));
}

TEST_F(HoldEngine, ASecondSendOfAHeldWindowThatIsNoLongerHeldGoesOnceAndForgetsTheRecord) {
    HWND window = Compose("x@outer.com");
    ASSERT_EQ(-1, logic->OnOutgoing(window, 0));
    host.SetHeader(window, "To", "boss@inner.jp");
    EXPECT_EQ(0, logic->OnOutgoing(window, 0));
    EXPECT_EQ("", host.Header(window, "X-VelmoraStatus"));
    EXPECT_EQ(0, Sender()->HeldCount());
    SetClock(MakeTime(2026, 12, 7, 12, 0));
    logic->delayLogic->ReleaseDue();
    EXPECT_EQ(0, host.CountCommand(window, kComposeSendCommand));
}
