// What a send is decided to be, and what closing the client does, without a window.
#include <gtest/gtest.h>

#include <string>

#include "delay/exit_rule.h"
#include "delay/recipient_class.h"
#include "delay/send_decision.h"
#include "support/string_list.h"

namespace {

const char kOuter[] = "a@inner.jp, x@outer.com";
const char kInner[] = "a@inner.jp, b@sub.inner.jp";

// The first rule that decides wins, in the order the user would be told.
TEST(DecideSend, TheFirstRuleThatDecidesNamesTheReason) {
    struct {
        int mode;
        bool pass;
        bool ctrl;
        bool bypass;
        const char* ident;
        int innerMinutes;
        int outerMinutes;
        const char* to;
        bool hostSaidLonger;
        bool hold;
        int minutes;
        EDecision reason;
    } const cases[] = {
        {1, true, true, true, "a,1", 0, 5, kOuter, false, false, 0, EDecision::NotASend},
        {0, true, true, true, "a,1", 0, 5, kOuter, false, false, 0, EDecision::ReleasedBefore},
        {0, false, true, true, "a,1", 0, 5, kOuter, false, false, 0, EDecision::CtrlDown},
        // Named for Ctrl even when nothing would have been held.
        {0, false, true, true, "", 0, 5, kInner, false, false, 0, EDecision::CtrlDown},
        // An organisation that switched the bypass off.
        {0, false, true, false, "", 0, 5, kOuter, false, true, 5, EDecision::Held},
        {0, false, false, true, "a,1", 0, 5, kOuter, false, false, 0, EDecision::IdentHeader},
        {0, false, false, true, ",2", 0, 5, kOuter, false, false, 0, EDecision::IdentHeader},
        {0, false, false, true, "a, +7,0", 0, 5, kOuter, false, false, 0, EDecision::IdentHeader},
        {0, false, false, true, "a,0", 0, 5, kOuter, false, true, 5, EDecision::Held},
        {0, false, false, true, "a", 0, 5, kOuter, false, true, 5, EDecision::Held},
        {0, false, false, true, "a,-1", 0, 5, kOuter, false, true, 5, EDecision::Held},
        {0, false, false, true, "", 0, 5, kInner, false, false, 0, EDecision::InsideZeroHold},
        {0, false, false, true, "", 2, 5, kInner, false, true, 2, EDecision::Held},
        {0, false, false, true, "", 2, 0, kOuter, false, false, 0, EDecision::ZeroHold},
        {0, false, false, true, "", 2, -3, kOuter, false, false, 0, EDecision::ZeroHold},
        // Nobody to send to: the inner time.
        {0, false, false, true, "", 2, 5, "", false, true, 2, EDecision::Held},
        // What a header cut short lost was never seen: it counts as outside.
        {0, false, false, true, "", 0, 5, kInner, true, true, 5, EDecision::Held},
    };
    SStringList domains;
    domains.Append("inner.jp");
    for (const auto& c : cases) {
        SCapturedHeaders headers;
        headers.to = c.to;
        headers.recipientsCut = c.hostSaidLonger;
        SSendRecipients recipients;
        recipients.Classify(&headers, SDomainMatcher(&domains), false);
        SSendContext context;
        context.mode = c.mode;
        context.releasePass = c.pass;
        context.ctrlDown = c.ctrl;
        context.ident = c.ident;
        context.settings.ctrlBypass = c.bypass;
        context.settings.times = {c.innerMinutes, c.outerMinutes};
        const SSendDecision decision = DecideSend(recipients, context);
        const std::string row = std::string(c.to) + " ident=" + c.ident;
        EXPECT_EQ(c.hold, decision.hold) << row;
        EXPECT_EQ(c.minutes, decision.minutes) << row;
        EXPECT_EQ(c.reason, decision.reason) << row;
        EXPECT_EQ(c.mode == 0 && !c.pass, IsFreshSend(context)) << row;
    }
}

// A message in an open confirmation is neither sent nor held: closing then would lose it.
TEST(ExitRule, WhatClosingDoesGivenTheStateAndTheAnswer) {
    struct {
        bool confirming;
        bool held;
        bool yes;
        EExitQuestion question;
        bool showReleased;
        bool releaseAll;
        bool close;
    } const cases[] = {
        {true, true, true, EExitQuestion::ConfirmationOpen, false, false, false},
        {true, false, false, EExitQuestion::ConfirmationOpen, false, false, false},
        {false, true, true, EExitQuestion::SendHeld, true, true, false},
        {false, true, false, EExitQuestion::SendHeld, false, false, false},
        {false, false, false, EExitQuestion::None, true, false, true},
    };
    for (const auto& c : cases) {
        const EExitQuestion question = ExitQuestion(c.confirming, c.held);
        const SExitSteps steps = ExitSteps(question, c.yes);
        const std::string row =
            std::to_string(c.confirming) + std::to_string(c.held) + std::to_string(c.yes);
        EXPECT_EQ(c.question, question) << row;
        EXPECT_EQ(c.showReleased, steps.showReleased) << row;
        EXPECT_EQ(c.releaseAll, steps.releaseAll) << row;
        EXPECT_EQ(c.close, steps.close) << row;
    }
}

} // namespace
