#include "journal/held_journal.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/path_utils.h"
#include "tests/file_text.h"

namespace {

class HeldJournalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        settings_ = std::string(temp) + "zv-journal-" + std::to_string(GetCurrentProcessId()) +
                    "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
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
    // Sorted names of the plain files matching pattern.
    std::vector<std::string> Names(const char* pattern = "*") const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(Path(pattern).c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                names.push_back(found.cFileName);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }
    size_t RecordCount() const { return Names("*.rec").size(); }
    static SLocalTime At(unsigned short minute) {
        SLocalTime t = {};
        t.wYear = 2024;
        t.wMonth = t.wDay = 7;
        t.wMinute = minute;
        return t;
    }
    static bool Add(SHeldJournal* journal, unsigned long long id, const std::string& subject) {
        return journal->Add(id, At(1), At(6), "box", subject.c_str(), "me@a.jp", "to@b.jp", "",
                            "bcc@c.jp");
    }

    std::string settings_;
    std::string folder_;
};

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
    WriteText(Path("99-0-1.lock"), "");
    WriteText(Path("99-0-1_3.rec"), FormatJournalRecord(stale));
    WriteText(Path("99-0-1_4.rec.tmp"), "zVelmora-journal 1\r\nowner=99-0-1\r\n");

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
              (std::vector<std::string>{"after power loss", "second", hostile.substr(0, 16)}));
    EXPECT_EQ(RecordCount(), 0u);
    EXPECT_EQ(ReadText(Path("99-0-1_4.rec.tmp")), "<none>");
    const std::string history = ReadText(Path(kJournalHistoryName));
    EXPECT_NE(history.find("subject=after power loss\r\n"), std::string::npos);
    EXPECT_NE(history.find("subject=second\r\n"), std::string::npos);
    EXPECT_NE(history.find("%0D%0A%0D%0A"), std::string::npos);

    lost.clear();
    EXPECT_EQ(journal.CollectLost(&lost), 0);
    EXPECT_TRUE(lost.empty());
}

// What a crash mid-write leaves of a record (empty, all NUL, cut short) is named once: mail may
// have been held under it. Anything else is skipped and kept.
TEST_F(HeldJournalTest, TornRecordsAreNamedOnceOtherFilesAreSkippedAndKept) {
    SLostMail mail;
    mail.owner = "5-0-1";
    mail.heldAt = mail.dueAt = At(2);
    const std::string record = FormatJournalRecord(mail);
    SHeldJournal journal(settings_.c_str());
    ASSERT_TRUE(journal.Open());
    WriteText(Path("5-0-1_1.rec"), record.substr(0, record.size() / 2));
    WriteText(Path("5-0-1_2.rec"), "");
    WriteText(Path("5-0-1_5.rec"), std::string(512, '\0'));
    WriteText(Path("5-0-1_6.rec"), "zVelmora-jou" + std::string(64, '\0'));
    const std::vector<std::string> tornNames = Names();
    WriteText(Path("5-0-1_3.rec"), "not a record\r\n");
    WriteText(Path("5-0-1_4.rec"), record + std::string(2 * 1024 * 1024, 'x'));
    WriteText(Path("notes.txt"), record);
    WriteText(Path("notes.rec.tmp"), record);
    WriteText(Path("5-0-1_x.rec.tmp"), record);
    CreateDirectoryA(Path("sub.rec").c_str(), nullptr);
    std::vector<std::string> others = Names();
    const auto isTorn = [&tornNames](const std::string& name) {
        return name.compare(0, 6, "5-0-1_") == 0 &&
               std::count(tornNames.begin(), tornNames.end(), name);
    };
    others.erase(std::remove_if(others.begin(), others.end(), isTorn), others.end());
    others.push_back(kJournalHistoryName);
    std::sort(others.begin(), others.end());

    std::vector<SLostMail> lost;
    EXPECT_EQ(journal.CollectLost(&lost), 4);
    std::vector<unsigned long long> ids;
    for (const SLostMail& torn : lost) {
        ids.push_back(torn.id);
        EXPECT_NE(torn.subject.find("保留記録が壊れている"), std::string::npos) << torn.subject;
        EXPECT_NE(torn.heldAt.wYear, 0) << torn.id;
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<unsigned long long>{1, 2, 5, 6}));
    EXPECT_EQ(Names(), others);
    lost.clear();
    EXPECT_EQ(journal.CollectLost(&lost), 0);
    RemoveDirectoryA(Path("sub.rec").c_str());
}

TEST(FolderOf, KeepsEverythingUpToTheFileName) {
    EXPECT_EQ(FolderOf("C:\\a\\Velmora.ini"), "C:\\a\\");
    EXPECT_EQ(SHeldJournal(FolderOf("C:\\a\\Velmora.ini").c_str()).Folder(), "C:\\a\\Journal");
}

TEST_F(HeldJournalTest, AFileWhereTheFolderBelongsOnlyMakesAddFail) {
    ASSERT_TRUE(WriteText(folder_, ""));
    SHeldJournal journal(settings_.c_str());
    EXPECT_FALSE(journal.Open());
    EXPECT_FALSE(Add(&journal, 1, "s"));
    EXPECT_FALSE(journal.Remove(1));
    std::vector<SLostMail> lost;
    EXPECT_EQ(journal.CollectLost(&lost), 0);
    EXPECT_TRUE(DeleteFileA(folder_.c_str()));
}

} // namespace

TEST_F(HeldJournalTest, ARecordThatStaysIsNamedOnceAndOnlyTheJournalsOwnRecordsAreTaken) {
    {
        SHeldJournal ended(settings_.c_str());
        ASSERT_TRUE(ended.Open());
        ASSERT_TRUE(Add(&ended, 7, "stuck"));
    }
    const std::vector<std::string> records = Names("*.rec");
    ASSERT_EQ(records.size(), 1u);
    const std::string stuck = Path(records[0]);
    ASSERT_TRUE(SetFileAttributesA(stuck.c_str(), FILE_ATTRIBUTE_READONLY));
    // Whole records of an ended owner, but not under the journal's own name for them.
    SLostMail foreign;
    foreign.owner = "5-0-1";
    foreign.subject = "foreign";
    foreign.heldAt = foreign.dueAt = At(2);
    WriteText(Path("saved.rec"), FormatJournalRecord(foreign));
    WriteText(Path("6-0-1_1.rec"), FormatJournalRecord(foreign));
    WriteText(Path("5-0-1_2.rec"), "a file of the same name shape\r\n");

    for (int start = 0; start < 2; ++start) {
        SHeldJournal journal(settings_.c_str());
        ASSERT_TRUE(journal.Open());
        std::vector<SLostMail> lost;
        EXPECT_EQ(journal.CollectLost(&lost), start == 0 ? 1 : 0) << "start " << start;
        if (!lost.empty()) {
            EXPECT_EQ(lost[0].subject, "stuck");
        }
    }
    EXPECT_EQ(ReadText(Path("saved.rec")), FormatJournalRecord(foreign));
    EXPECT_EQ(ReadText(Path("6-0-1_1.rec")), FormatJournalRecord(foreign));
    EXPECT_EQ(ReadText(Path("5-0-1_2.rec")), "a file of the same name shape\r\n");
    EXPECT_NE(ReadText(stuck), "<none>") << "the read-only record could not be deleted";
    const std::string history = ReadText(Path(kJournalHistoryName));
    EXPECT_EQ(history.find("subject=stuck"), history.rfind("subject=stuck"));
    SetFileAttributesA(stuck.c_str(), FILE_ATTRIBUTE_NORMAL);
}
