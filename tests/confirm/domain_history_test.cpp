// The outside domains mail has left for: the silent start, dropping the least recently used,
// and the saved text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confirm/domain_history.h"

namespace {

SLocalTime Day(int year, int month, int day) {
    SLocalTime t = {};
    t.wYear = static_cast<unsigned short>(year);
    t.wMonth = static_cast<unsigned short>(month);
    t.wDay = static_cast<unsigned short>(day);
    return t;
}

std::string Name(int n) {
    return "d" + std::to_string(n) + ".test";
}

} // namespace

TEST(DomainHistory, LearnsSilentlyForItsFirstDaysAndMessages) {
    struct {
        int messages;
        int lastDay; // of December, the first message on the 1st
        bool learning;
    } cases[] = {
        {0, 30, true}, {19, 30, true}, {20, 14, true}, {20, 15, false}, {40, 31, false},
    };
    for (const auto& c : cases) {
        SDomainHistory history;
        for (int i = 0; i < c.messages; ++i)
            history.Learn({"a.test"}, Day(2026, 12, i == 0 ? 1 : c.lastDay));
        // A message to no keepable domain teaches nothing.
        history.Learn({"", "a b.test", std::string(300, 'x')}, Day(2026, 12, c.lastDay));
        EXPECT_EQ(c.learning, history.IsLearning(Day(2026, 12, c.lastDay)))
            << c.messages << " by " << c.lastDay;
        EXPECT_EQ(c.messages, history.MessagesLearned());
    }
    SDomainHistory history;
    history.Learn({"Mail.Example.TEST"}, Day(2026, 12, 1));
    EXPECT_TRUE(history.Knows("mail.example.test"));
    EXPECT_EQ(1u, history.Size());
}

TEST(DomainHistory, DropsTheLeastRecentlyUsedBeyondTenThousandAlsoAfterALoad) {
    SDomainHistory history;
    for (int i = 0; i < 10000; ++i)
        history.Learn({Name(i)}, Day(2026, 11, 1));
    history.Learn({Name(0)}, Day(2026, 12, 7)); // used again: now the most recent
    history.Learn({"new.test"}, Day(2026, 12, 7));
    EXPECT_EQ(10000u, history.Size());
    EXPECT_TRUE(history.Knows(Name(0)));
    EXPECT_FALSE(history.Knows(Name(1)));

    const std::string text = history.Serialize();
    EXPECT_NE(std::string::npos, text.find("\n2026-12-07 new.test\nend 10000\n"));
    SDomainHistory loaded;
    ASSERT_EQ(kHistoryLoaded, loaded.Parse(text.data(), text.size()));
    EXPECT_EQ(text, loaded.Serialize());
    EXPECT_FALSE(loaded.IsLearning(Day(2026, 12, 7)));
    loaded.Learn({"newer.test"}, Day(2026, 12, 8));
    EXPECT_FALSE(loaded.Knows(Name(2)));
    EXPECT_TRUE(loaded.Knows(Name(3)));
}

TEST(DomainHistory, CorruptTextIsToldApartFromNone) {
    const std::string good = "zVelmora domains 1\nstart 2026-12-01 3\n"
                             "2026-12-01 a.test\n2026-12-02 b.test\nend 2\n";
    SDomainHistory history;
    ASSERT_EQ(kHistoryLoaded, history.Parse(good.data(), good.size()));
    EXPECT_TRUE(history.Knows("b.test"));
    EXPECT_EQ(kHistoryEmpty, history.Parse("", 0));
    EXPECT_EQ(0u, history.Size());
    const std::string crlf = "zVelmora domains 1\r\nstart - 0\r\nend 0\r\n";
    EXPECT_EQ(kHistoryLoaded, history.Parse(crlf.data(), crlf.size()));
    // Month ends, leap days by the four-, hundred- and four-hundred-year rules.
    for (const char* date : {"1601-01-01", "1969-12-31", "2026-01-31", "2026-12-31", "2024-02-29",
                             "2000-02-29", "2026-02-28", "2026-04-30"}) {
        const std::string text =
            std::string("zVelmora domains 1\nstart ") + date + " 3\n" + date + " a.test\nend 1\n";
        EXPECT_EQ(kHistoryLoaded, history.Parse(text.data(), text.size())) << date;
        EXPECT_EQ(text, history.Serialize());
    }

    std::string tooMany = "zVelmora domains 1\nstart 2026-12-01 1\n";
    for (int i = 0; i <= 10000; ++i)
        tooMany += "2026-12-01 " + Name(i) + "\n";
    tooMany += "end 10001\n";
    static const char kWithNul[] =
        "zVelmora domains 1\nstart 2026-12-01 3\n2026-12-01 a.\0t\nend 1\n";
    const std::string corrupt[] = {
        good.substr(0, good.size() - 6),        // cut short
        good.substr(0, good.size() - 1),        // no last newline
        "zVelmora domains 2" + good.substr(18), // another format
        std::string(kWithNul, sizeof kWithNul - 1),
        "zVelmora domains 1\nstart 2026-02-30 3\nend 0\n",
        "zVelmora domains 1\nstart 2026-12-01 3\n2026-12-01 A.test\nend 1\n",
        "zVelmora domains 1\nstart 2026-12-01 3\n2026-12-01 a test\nend 1\n",
        "zVelmora domains 1\nstart 2026-12-01 3\n2026-12-01 a.test\n2026-12-01 a.test\nend 2\n",
        "zVelmora domains 1\nstart 2026-12-01 3\n2026-12-01 a.test\nend 2\n",
        "zVelmora domains 1\nstart 2026-12-01 3\n2026-12-01 a.test\nend 1\nmore\n",
        tooMany,
        "zVelmora domains 1\nstart - 0\n",
        "zVelmora domains 1\nstart 2026-12-01\nend 0\n",
        "zVelmora domains 1\nstart 2026-12-01 x\nend 0\n",
        "zVelmora domains 1\nstart 2026-12-01 1234567890\nend 0\n",
        "zVelmora domains 1\nbegin 2026-12-01 3\nend 0\n",
        "zVelmora domains 1\nstart - 0\nend x\n",
        "zVelmora domains 1\nstart - 0\nfin 0\n",
        "zVelmora domains 1\nstart 2026-12-01 3\n2026-12-01 \nend 1\n",
        "zVelmora domains 1\nstart 2026-12-01 3\n2026-12-01xa.test\nend 1\n",
        "zVelmora domains 1\nstart 2026-12-01 3\n2026/12/01 a.test\nend 1\n",
        "zVelmora domains 1\nstart 2026-12-01 3\n2026-12-1 a.test\nend 1\n",
    };
    for (const char* date :
         {"2026-02-29", "2100-02-29", "1900-02-29", "1600-12-31", "2026-13-01", "2026-00-10",
          "2026-01-00", "2026-01-32", "2026-04-31", "+026-12-01", "2026-12/01", "2026-1a-01"}) {
        for (const bool asStart : {true, false}) {
            const std::string text =
                asStart
                    ? std::string("zVelmora domains 1\nstart ") + date + " 3\nend 0\n"
                    : std::string("zVelmora domains 1\nstart - 0\n") + date + " a.test\nend 1\n";
            ASSERT_EQ(kHistoryLoaded, history.Parse(good.data(), good.size()));
            EXPECT_EQ(kHistoryCorrupt, history.Parse(text.data(), text.size())) << text;
            EXPECT_EQ(0u, history.Size());
        }
    }
    for (const std::string& text : corrupt) {
        ASSERT_EQ(kHistoryLoaded, history.Parse(good.data(), good.size()));
        EXPECT_EQ(kHistoryCorrupt, history.Parse(text.data(), text.size())) << text;
        EXPECT_EQ(0u, history.Size());
        EXPECT_TRUE(history.IsLearning(Day(2026, 12, 31)));
    }
}

// Days are counted across month and year ends, leap days and the years before 1970, and each
// day is written back as itself.
TEST(DomainHistory, CountsDaysAcrossYearsEndsLeapDaysAndCenturies) {
    struct {
        SLocalTime first;
        SLocalTime quiet;    // the last day still learning
        const char* written; // the first day as saved
    } cases[] = {
        {Day(2026, 12, 25), Day(2027, 1, 7), "2026-12-25"},
        {Day(2027, 1, 1), Day(2027, 1, 14), "2027-01-01"},
        {Day(2028, 2, 16), Day(2028, 2, 29), "2028-02-16"},
        {Day(2028, 2, 20), Day(2028, 3, 4), "2028-02-20"},
        {Day(2026, 2, 20), Day(2026, 3, 5), "2026-02-20"},
        {Day(2100, 2, 20), Day(2100, 3, 5), "2100-02-20"},
        {Day(2000, 2, 20), Day(2000, 3, 4), "2000-02-20"},
        {Day(1900, 2, 20), Day(1900, 3, 5), "1900-02-20"},
        {Day(1969, 12, 25), Day(1970, 1, 7), "1969-12-25"},
        {Day(1601, 1, 1), Day(1601, 1, 14), "1601-01-01"},
        {Day(0, 1, 10), Day(0, 1, 23), "0000-01-10"},
    };
    for (const auto& c : cases) {
        SDomainHistory history;
        for (int i = 0; i < SDomainHistory::kLearningMessages; ++i)
            history.Learn({"a.test"}, c.first);
        SLocalTime next = c.quiet;
        next.wDay = static_cast<unsigned short>(next.wDay + 1);
        EXPECT_TRUE(history.IsLearning(c.quiet)) << c.written;
        EXPECT_FALSE(history.IsLearning(next)) << c.written;
        const std::string text = history.Serialize();
        EXPECT_NE(std::string::npos, text.find(std::string("\n") + c.written + " a.test\n"))
            << text;
    }
}
