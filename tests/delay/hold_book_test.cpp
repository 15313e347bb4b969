// The hold rules without a window: what is held, for how long, in what order, and how each
// record leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "delay/hold_book.h"
#include "delay/recipient_class.h"
#include "tests/delay/send_capture.h"
#include "support/string_list.h"

namespace {

SLocalTime At(int hour, int minute, int second = 0) {
    SLocalTime t = {2026,
                    12,
                    1,
                    7,
                    static_cast<unsigned short>(hour),
                    static_cast<unsigned short>(minute),
                    static_cast<unsigned short>(second),
                    0};
    return t;
}

SWindowId Window(int n) {
    return reinterpret_cast<SWindowId>(static_cast<uintptr_t>(n));
}

struct Roads : SHoldObserver {
    std::vector<std::string> seen;
    void OnHeld(const std::string& box, const SDelayMail& mail) override {
        seen.push_back("held " + box + " " + mail.subject);
    }
    void OnLeft(const std::string& box, const SDelayMail& mail, EHoldRoad road) override {
        seen.push_back("left " + box + " " + mail.subject + " " +
                       std::to_string(static_cast<int>(road)));
    }
    void OnWindowGone(SWindowId window) override {
        seen.push_back("gone " + std::to_string(reinterpret_cast<uintptr_t>(window)));
    }
};

class HoldBookTest : public ::testing::Test {
  protected:
    HoldBookTest() {
        domains.Append("inner.jp");
        book.SetObserver(&roads);
    }
    // Captures a message to these recipients at that time; true when it is held.
    bool Send(int window, const char* subject, const char* to, const SLocalTime& now,
              const char* bcc = "") {
        SCapturedHeaders headers;
        headers.subject = subject;
        headers.to = to;
        headers.bcc = bcc;
        SDelayMail mail;
        if (!CaptureSend(&mail, Window(window), &headers, &domains, times, now, match))
            return false;
        book.Hold("box", std::move(mail));
        return true;
    }
    SStringList domains;
    SHoldTimes times = {0, 5};
    int match = kMatchSubstring;
    SHoldBook book;
    Roads roads;
};

TEST_F(HoldBookTest, OuterRecipientsAnywhereDecideTheHoldTime) {
    EXPECT_FALSE(Send(1, "inner", "a@inner.jp, b@sub.inner.jp", At(10, 0)));
    EXPECT_FALSE(Send(2, "nobody", "", At(10, 0)));
    EXPECT_TRUE(Send(3, "bcc", "a@inner.jp", At(10, 0), "x@outer.com"));
    EXPECT_TRUE(Send(4, "case", "a@INNER.JP", At(10, 0)));
    ASSERT_EQ(2, book.Count("box"));
    const SDelayMail& bcc = book.Mails("box")[0];
    EXPECT_EQ(1, bcc.innerCount);
    EXPECT_EQ(1, bcc.outerCount);
    EXPECT_EQ(5, bcc.releaseAt.wMinute);
    times.innerMinutes = 2;
    EXPECT_TRUE(Send(5, "inner held", "a@inner.jp", At(10, 0)));
    EXPECT_EQ(2, book.Mails("box")[2].releaseAt.wMinute);
}

TEST_F(HoldBookTest, TheDomainOrSubDomainRuleHoldsLookAlikes) {
    EXPECT_FALSE(Send(1, "look-alike", "a@inner.jp.evil.com", At(10, 0)));
    match = kMatchDomainOrSub;
    EXPECT_TRUE(Send(2, "look-alike", "a@inner.jp.evil.com", At(10, 0)));
    EXPECT_TRUE(Send(3, "longer", "a@notinner.jp", At(10, 0)));
    EXPECT_FALSE(Send(4, "inner", "a@INNER.jp, b@mail.inner.jp", At(10, 0)));
    EXPECT_EQ(2, book.Count("box"));
}

TEST_F(HoldBookTest, DueIsStrictlyLaterAndEveryRecordIsTested) {
    times.outerMinutes = 10;
    ASSERT_TRUE(Send(1, "a", "x@outer.com", At(10, 0, 30)));
    times.outerMinutes = 2;
    ASSERT_TRUE(Send(2, "b", "x@outer.com", At(10, 1, 30)));
    EXPECT_TRUE(book.ReleaseDue("box", At(10, 3, 30)).empty());
    std::vector<SRelease> due = book.ReleaseDue("box", At(10, 3, 31));
    ASSERT_EQ(1u, due.size());
    EXPECT_EQ(Window(2), due[0].window);
    EXPECT_EQ(kStatusReleasedByTimer, due[0].status);
    EXPECT_TRUE(book.IsReleased(Window(2)));
    EXPECT_TRUE(book.IsHeld(Window(1)));
    // The release lets its one posted send through; the window stays released to be shown.
    EXPECT_TRUE(book.UsePass(Window(2)));
    EXPECT_FALSE(book.UsePass(Window(2)));
    EXPECT_FALSE(book.UsePass(Window(1)));
    EXPECT_TRUE(book.IsReleased(Window(2)));
    EXPECT_TRUE(book.ReturnToUser(Window(2)));
    EXPECT_FALSE(book.IsReleased(Window(2)));
    EXPECT_FALSE(book.ReturnToUser(Window(2)));
}

TEST_F(HoldBookTest, PausesNestAndOnlyTheirMailboxWaits) {
    ASSERT_TRUE(Send(1, "a", "x@outer.com", At(10, 0)));
    book.Pause("box");
    book.Pause("box");
    book.Resume("box");
    EXPECT_TRUE(book.ReleaseDue("box", At(11, 0)).empty());
    book.Resume("box");
    book.Resume("box"); // one too many changes nothing
    EXPECT_EQ(1u, book.ReleaseDue("box", At(11, 0)).size());
    book.Pause("other");
    EXPECT_FALSE(book.IsPaused("box"));
    EXPECT_FALSE(book.AnyHeld());
    EXPECT_EQ((std::vector<std::string>{"box", "other"}), book.Mailboxes());
    ASSERT_TRUE(Send(2, "b", "x@outer.com", At(11, 0)));
    EXPECT_TRUE(book.AnyHeld());
}

TEST_F(HoldBookTest, ASendOfAHeldWindowReplacesItsRecord) {
    ASSERT_TRUE(Send(1, "first", "x@outer.com", At(10, 0)));
    ASSERT_TRUE(Send(1, "second", "y@outer.com", At(10, 2)));
    ASSERT_EQ(1, book.Count("box"));
    EXPECT_EQ("second", book.Mails("box")[0].subject);
    EXPECT_EQ(1u, book.ReleaseAll("box", kStatusReleasedAtExit).size());
    EXPECT_TRUE(book.ReleaseAll("box", kStatusReleasedAtExit).empty());
}

TEST_F(HoldBookTest, EveryRoadOutIsReportedOnceAndAGoneWindowIsForgottenWhole) {
    ASSERT_TRUE(Send(1, "now", "x@outer.com", At(10, 0)));
    ASSERT_TRUE(Send(2, "back", "x@outer.com", At(10, 0)));
    ASSERT_TRUE(Send(3, "gone", "x@outer.com", At(10, 0)));
    ASSERT_TRUE(Send(4, "edit", "x@outer.com", At(10, 0)));
    EXPECT_TRUE(book.SendNow(Window(1), kStatusSentNow));
    EXPECT_FALSE(book.SendNow(Window(1), kStatusSentNow));
    EXPECT_TRUE(book.TakeBack(Window(2)));
    EXPECT_FALSE(book.IsReleased(Window(2)));
    book.WindowGone(Window(3));
    EXPECT_EQ(1u, book.ReleaseAll("box", kStatusReleasedForEdit).size());
    book.WindowGone(Window(1));
    EXPECT_FALSE(book.IsReleased(Window(1)));
    EXPECT_FALSE(book.UsePass(Window(1))); // a reused handle is let through by nothing
    EXPECT_TRUE(book.IsReleased(Window(4)));
    EXPECT_EQ((std::vector<std::string>{"held box now", "held box back", "held box gone",
                                        "held box edit", "left box now 2", "left box back 10",
                                        "left box gone 11", "gone 3", "left box edit 5", "gone 1"}),
              roads.seen);
}

// Each release lets the one send it posted through, whichever road it took; the window held
// again is a new message, no longer released.
TEST_F(HoldBookTest, EachReleasePassesOneSendAndAWindowHeldAgainIsNoLongerReleased) {
    ASSERT_TRUE(Send(1, "now", "x@outer.com", At(10, 0)));
    ASSERT_TRUE(Send(2, "all", "x@outer.com", At(10, 0)));
    ASSERT_TRUE(Send(3, "all", "y@outer.com", At(10, 0)));
    EXPECT_TRUE(book.SendNow(Window(1), kStatusSentNow));
    EXPECT_EQ(2u, book.ReleaseAll("box", kStatusReleasedAtExit).size());
    for (int window : {1, 2, 3}) {
        EXPECT_TRUE(book.UsePass(Window(window))) << window;
        EXPECT_FALSE(book.UsePass(Window(window))) << window;
    }
    EXPECT_EQ(3u, book.ReleasedWindows().size());
    ASSERT_TRUE(Send(1, "again", "x@outer.com", At(10, 1)));
    EXPECT_FALSE(book.IsReleased(Window(1)));
    EXPECT_FALSE(book.UsePass(Window(1)));
    EXPECT_EQ(3, std::count_if(roads.seen.begin(), roads.seen.end(), [](const std::string& road) {
                  return road.compare(0, 5, "left ") == 0;
              }));
}

std::string Joined(const SStringList* list) {
    std::unique_ptr<char[]> text(list ? list->JoinWithCommas() : nullptr);
    return text ? text.get() : "(none)";
}

void ExpectWhole(const SDelayMail& mail) {
    EXPECT_EQ(Window(7), mail.composeWindow);
    EXPECT_EQ(0, CompareLocalTime(At(10, 0, 30), mail.heldAt));
    EXPECT_EQ(0, CompareLocalTime(At(10, 5, 30), mail.releaseAt));
    EXPECT_EQ("subject", mail.subject);
    EXPECT_EQ("me@inner.jp", mail.from);
    EXPECT_EQ("a@inner.jp,b@outer.com", Joined(mail.to));
    EXPECT_EQ("\"C, c\" <c@inner.jp>", Joined(mail.cc));
    EXPECT_EQ("d@outer.com,e@inner.jp", Joined(mail.bcc));
    EXPECT_EQ(3, mail.innerCount);
    EXPECT_EQ(2, mail.outerCount);
    EXPECT_EQ(5, mail.holdMinutes);
    EXPECT_EQ(std::vector<std::string>{"outer.com"}, mail.outerDomains);
}

// The record lives by value in the book: every field must survive each copy and move, and a
// second capture into the same record must leave nothing of the first.
TEST_F(HoldBookTest, ARecordKeepsEveryFieldThroughCopiesMovesAndASecondCapture) {
    SCapturedHeaders headers;
    headers.subject = "subject";
    headers.from = "me@inner.jp";
    headers.to = "a@inner.jp, b@outer.com";
    headers.cc = "\"C, c\" <c@inner.jp>";
    headers.bcc = "d@outer.com; e@inner.jp";
    SDelayMail mail;
    ASSERT_TRUE(CaptureSend(&mail, Window(7), &headers, &domains, times, At(10, 0, 30)));
    ExpectWhole(mail);

    SDelayMail copy(mail);
    ExpectWhole(copy);
    SDelayMail assigned;
    ASSERT_TRUE(CaptureSend(&assigned, Window(8), &headers, &domains, times, At(9, 0)));
    assigned = copy;
    ExpectWhole(assigned);
    EXPECT_NE(copy.cc, assigned.cc); // each owns its lists
    const SDelayMail& same = assigned;
    assigned = same;
    ExpectWhole(assigned);
    SDelayMail moved;
    moved = std::move(assigned);
    ExpectWhole(moved);
    ExpectWhole(mail);

    SCapturedHeaders second;
    second.to = "x@inner.jp";
    EXPECT_FALSE(CaptureSend(&moved, Window(9), &second, &domains, times, At(11, 0)));
    EXPECT_EQ(Window(9), moved.composeWindow);
    EXPECT_EQ(0, CompareLocalTime(At(11, 0), moved.heldAt));
    EXPECT_EQ("x@inner.jp", Joined(moved.to));
    EXPECT_EQ("(none)", Joined(moved.cc));
    EXPECT_EQ("(none)", Joined(moved.bcc));
    EXPECT_EQ(1, moved.innerCount);
    EXPECT_EQ(0, moved.outerCount);
    EXPECT_EQ(0, moved.holdMinutes);
    EXPECT_EQ("", moved.subject);
    EXPECT_TRUE(moved.outerDomains.empty());
}

} // namespace
