// The journal record, the notice and the log texts: pure text, also run natively.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "journal/hold_log_text.h"
#include "journal/journal_record.h"
#include "journal/lost_mail_notice.h"
#include "support/line_text.h"

namespace {

SLocalTime At(unsigned short hour, unsigned short minute) {
    SLocalTime t = {2024, 5, 0, 7, hour, minute, 9, 0};
    return t;
}

SLostMail Mail(const std::string& subject) {
    SLostMail mail;
    mail.owner = "12-01DA-1";
    mail.id = 18446744073709551615ull;
    mail.heldAt = At(10, 5);
    mail.dueAt = At(10, 10);
    mail.mailbox = "abc\\";
    mail.subject = subject;
    mail.to = "x@b.jp";
    mail.bcc = "y@c.jp";
    return mail;
}

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(LineText, EveryByteSurvivesEscapingAndNoControlRemains) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string escaped = EscapeLineText(all);
    EXPECT_EQ(UnescapeLineText(escaped), all);
    EXPECT_TRUE(std::none_of(escaped.begin(), escaped.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x20; }));
    EXPECT_EQ(UnescapeLineText("100% %4 %zz%41"), "100% %4 %zzA");
}

TEST(JournalRecord, HostileFieldsRoundTripAsOneRecordOfFixedLines) {
    std::string hostile = "件名\r\nBcc: evil@x.jp\r\n%0D\x01";
    SLostMail mail = Mail(hostile);
    mail.from = std::string(65536, 'f') + "\r\n";
    const std::string record = FormatJournalRecord(mail);
    EXPECT_EQ(CountOf(record, "\n"), 12u);
    EXPECT_LT(record.size(), 6 * kJournalFieldLimit + 512);

    SLostMail back;
    ASSERT_TRUE(ParseJournalRecord(record.data(), record.size(), &back));
    EXPECT_EQ(back.subject, hostile);
    EXPECT_EQ(back.from, std::string(kJournalFieldLimit, 'f') + "...");
    EXPECT_EQ(back.id, mail.id);
    EXPECT_EQ(back.owner, mail.owner);
    EXPECT_EQ(back.mailbox, "abc\\");
    EXPECT_EQ(back.cc, "");
    EXPECT_EQ(TimeText(back.heldAt), "2024/05/07 10:05:09");
    EXPECT_EQ(TimeText(back.dueAt), "2024/05/07 10:10:09");
}

TEST(JournalRecord, CutKeepsDoubleByteCharactersWhole) {
    // Shift-JIS 表 (trail byte 0x5C), one ASCII byte first so the limit falls inside a pair.
    std::string subject = "a";
    for (int i = 0; i < 3000; ++i)
        subject += "\x95\x5C";
    SLostMail back;
    const std::string record = FormatJournalRecord(Mail(subject));
    ASSERT_TRUE(ParseJournalRecord(record.data(), record.size(), &back));
    EXPECT_EQ(back.subject, subject.substr(0, kJournalFieldLimit - 1) + "...");
}

TEST(JournalRecord, AnythingButOneWholeRecordIsRejected) {
    const std::string record = FormatJournalRecord(Mail("s"));
    SLostMail back;
    for (size_t length = 0; length < record.size() - 2; ++length)
        EXPECT_FALSE(ParseJournalRecord(record.data(), length, &back)) << length;
    const std::vector<std::string> bad = {
        "zVelmora-journal 2" + record.substr(record.find("\r\n")),
        std::string(record).replace(record.find("owner=") + 6, 2, "..\\.."),
        std::string(record).replace(record.find("held=") + 10, 2, "13"),
        std::string(record).insert(record.find("end"), "to=again\r\n"),
        std::string(record).insert(record.find("end"), "body=x\r\n"),
        std::string(record).replace(record.find("id=") + 3, 1, "-"),
    };
    for (size_t i = 0; i < bad.size(); ++i)
        EXPECT_FALSE(ParseJournalRecord(bad[i].data(), bad[i].size(), &back)) << i;
    const std::string huge = record + std::string(kJournalRecordLimit, ' ');
    EXPECT_FALSE(ParseJournalRecord(huge.data(), huge.size(), &back));
    EXPECT_TRUE(ParseJournalRecord(record.data(), record.size(), &back));
}

TEST(LostMailNotice, ListsTenBoundedLinesAndCountsTheRest) {
    std::vector<SLostMail> lost;
    for (int i = 0; i < 12; ++i)
        lost.push_back(Mail("subject " + std::to_string(i) + std::string(500, 'x') + "\r\nX"));
    lost[0].to = std::string(100000, 't');
    const std::string text = LostMailNoticeText(lost);
    EXPECT_NE(text.find("次の 12 通のメールは Velmora からは送信されていません"),
              std::string::npos);
    EXPECT_NE(text.find("subject 9"), std::string::npos);
    EXPECT_EQ(text.find("subject 10"), std::string::npos);
    EXPECT_NE(text.find("他 2 通"), std::string::npos);
    EXPECT_NE(text.find("2024/05/07 10:05"), std::string::npos);
    EXPECT_NE(text.find("x@b.jp, y@c.jp"), std::string::npos);
    EXPECT_EQ(text.find("\r\nX"), std::string::npos);
    EXPECT_LT(text.size(), 3000u);

    const std::string ten = LostMailNoticeText(std::vector<SLostMail>(10, Mail("")));
    EXPECT_EQ(ten.find("他 "), std::string::npos);
    EXPECT_EQ(CountOf(ten, "(件名なし)"), 10u);
}

TEST(HoldLogText, HeldNamesCountsMinutesAndReleaseWithABoundedSubject) {
    const std::string held =
        HeldLogText("box", std::string(70000, 's').c_str(), 2, 1, 5, At(9, 30));
    EXPECT_NE(held.find("組織内=2 組織外=1 保留時間=5分 送信予定=2024/05/07 09:30:09"),
              std::string::npos);
    EXPECT_LT(held.size(), 2 * kLogSubjectBytes);
    EXPECT_NE(LeftHoldLogText(EHoldRoad::TakenBack, nullptr, "s").find("件名「s」"),
              std::string::npos);
}

} // namespace
