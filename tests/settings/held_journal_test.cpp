#include "settings/held_journal.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/path_utils.h"

namespace {

class HeldJournalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        settings_ = std::string(temp) + "zv-journal-" + std::to_string(GetCurrentProcessId()) +
                    "-" + std::to_string(counter_++);
        CreateDirectoryA(settings_.c_str(), nullptr);
        folder_ = JoinPath(settings_.c_str(), kJournalFolderName);
    }
    void TearDown() override {
        for (const std::string& name : Names())
            DeleteFileA(Path(name).c_str());
        RemoveDirectoryA(folder_.c_str());
        RemoveDirectoryA(settings_.c_str());
    }
    std::string Path(const std::string& name) const {
        return JoinPath(folder_.c_str(), name.c_str());
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(Path("*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }
    void WriteFile(const std::string& name, const std::string& data) const {
        FILE* file = std::fopen(Path(name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(data.data(), 1, data.size(), file);
        std::fclose(file);
    }
    std::string ReadFile(const std::string& name) const {
        std::string text;
        FILE* file = std::fopen(Path(name).c_str(), "rb");
        if (file == nullptr)
            return "<none>";
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            text.append(buffer, n);
        std::fclose(file);
        return text;
    }
    static SLocalTime At(unsigned short minute) {
        SLocalTime t = {};
        t.wYear = 2024;
        t.wMonth = 5;
        t.wDay = 7;
        t.wHour = 10;
        t.wMinute = minute;
        return t;
    }
    static bool Add(SHeldJournal* journal, unsigned long long id, const std::string& subject) {
        return journal->Add(id, At(1), At(6), "box", subject.c_str(), "me@a.jp", "to@b.jp", "",
                            "bcc@c.jp");
    }
    size_t RecordCount() const {
        const std::vector<std::string> names = Names();
        return std::count_if(names.begin(), names.end(), [](const std::string& name) {
            return name.size() > 4 && name.compare(name.size() - 4, 4, ".rec") == 0;
        });
    }

    std::string settings_;
    std::string folder_;
    static int counter_;
};

int HeldJournalTest::counter_ = 0;

TEST_F(HeldJournalTest, RecordsOfLiveOwnersStayAndRemoveTakesThemAway) {
    SHeldJournal journal(settings_.c_str());
    SHeldJournal otherProcess(settings_.c_str());
    ASSERT_TRUE(journal.Open());
    ASSERT_TRUE(otherProcess.Open());
    EXPECT_TRUE(Add(&journal, 1, "one"));
    EXPECT_TRUE(Add(&journal, 2, "two"));
    EXPECT_TRUE(Add(&journal, 2, "two again"));
    EXPECT_TRUE(Add(&otherProcess, 1, "other"));
    EXPECT_EQ(RecordCount(), 3u);

    // Neither instance takes the other's records, nor its own.
    std::vector<SLostMail> lost;
    EXPECT_EQ(journal.CollectLost(&lost), 0);
    EXPECT_EQ(otherProcess.CollectLost(&lost), 0);
    EXPECT_TRUE(lost.empty());
    EXPECT_EQ(RecordCount(), 3u);

    EXPECT_TRUE(journal.Remove(1));
    EXPECT_TRUE(journal.Remove(1));
    EXPECT_EQ(RecordCount(), 2u);
    journal.RemoveAll();
    EXPECT_EQ(RecordCount(), 1u);
    EXPECT_EQ(Names().size(), 3u) << "the other's record and both locks";
}

TEST_F(HeldJournalTest, DeadOwnersRecordsAreCollectedOnceIntoTheHistory) {
    std::string hostile(65536, 's');
    hostile.replace(100, 4, "\r\n\r\n");
    {
        SHeldJournal ended(settings_.c_str());
        ASSERT_TRUE(ended.Open());
        ASSERT_TRUE(Add(&ended, 7, hostile));
        ASSERT_TRUE(Add(&ended, 8, "second"));
    } // the lock goes with the instance, as with a killed process
    // A lock left behind without a process (power loss) counts as dead too.
    SLostMail stale;
    stale.owner = "99-0-1";
    stale.subject = "after power loss";
    stale.heldAt = stale.dueAt = At(3);
    WriteFile("99-0-1.lock", "");
    WriteFile("99-0-1_3.rec", FormatJournalRecord(stale));
    WriteFile("99-0-1_4.rec.tmp", "zVelmora-journal 1\r\nowner=99-0-1\r\n");

    SHeldJournal journal(settings_.c_str());
    ASSERT_TRUE(journal.Open());
    std::vector<SLostMail> lost;
    EXPECT_EQ(journal.CollectLost(&lost), 3);
    ASSERT_EQ(lost.size(), 3u);
    std::vector<std::string> subjects;
    for (const SLostMail& mail : lost)
        subjects.push_back(mail.subject.substr(0, 16));
    std::sort(subjects.begin(), subjects.end());
    EXPECT_EQ(subjects,
              (std::vector<std::string>{"after power loss", "second", std::string(16, 's')}));
    EXPECT_EQ(RecordCount(), 0u);
    EXPECT_EQ(ReadFile("99-0-1_4.rec.tmp"), "<none>");
    const std::string history = ReadFile(kJournalHistoryName);
    EXPECT_NE(history.find("subject=after power loss\r\n"), std::string::npos);
    EXPECT_NE(history.find("subject=second\r\n"), std::string::npos);
    EXPECT_NE(history.find("%0D%0A%0D%0A"), std::string::npos);

    lost.clear();
    EXPECT_EQ(journal.CollectLost(&lost), 0);
    EXPECT_TRUE(lost.empty());
}

TEST_F(HeldJournalTest, FilesThatAreNotWholeRecordsAreSkippedAndKept) {
    SLostMail mail;
    mail.owner = "5-0-1";
    mail.heldAt = mail.dueAt = At(2);
    const std::string record = FormatJournalRecord(mail);
    SHeldJournal journal(settings_.c_str());
    ASSERT_TRUE(journal.Open());
    WriteFile("5-0-1_1.rec", record.substr(0, record.size() / 2));
    WriteFile("5-0-1_2.rec", "");
    WriteFile("5-0-1_3.rec", "not a record\r\n");
    WriteFile("5-0-1_4.rec", record + std::string(2 * 1024 * 1024, 'x'));
    WriteFile("notes.txt", record);
    WriteFile("notes.rec.tmp", record);
    WriteFile("5-0-1_x.rec.tmp", record);
    CreateDirectoryA(Path("sub.rec").c_str(), nullptr);
    const std::vector<std::string> before = Names();

    std::vector<SLostMail> lost;
    EXPECT_EQ(journal.CollectLost(&lost), 0);
    EXPECT_TRUE(lost.empty());
    EXPECT_EQ(Names(), before);
    RemoveDirectoryA(Path("sub.rec").c_str());
}

TEST(SettingsFolderOf, KeepsEverythingUpToTheFileName) {
    EXPECT_EQ(SettingsFolderOf("C:\\Users\\a\\Velmora\\Velmora.ini"), "C:\\Users\\a\\Velmora\\");
    // 表 ends in 0x5C, which is no separator.
    EXPECT_EQ(SettingsFolderOf("D:\\\x95\x5C\\zVelmora.ini"), "D:\\\x95\x5C\\");
    EXPECT_EQ(SHeldJournal("C:\\a\\").Folder(), "C:\\a\\Journal");
}

TEST_F(HeldJournalTest, AFileWhereTheFolderBelongsOnlyMakesAddFail) {
    FILE* file = std::fopen(folder_.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    SHeldJournal journal(settings_.c_str());
    EXPECT_FALSE(journal.Open());
    EXPECT_FALSE(Add(&journal, 1, "s"));
    EXPECT_FALSE(journal.Remove(1));
    std::vector<SLostMail> lost;
    EXPECT_EQ(journal.CollectLost(&lost), 0);
    EXPECT_TRUE(DeleteFileA(folder_.c_str()));
}

} // namespace
