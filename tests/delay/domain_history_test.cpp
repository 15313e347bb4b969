// The history of domains mail left for: its file, and its learning from the real hold.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <new>
#include <string>

#include "confirm/domain_history.h"
#include "confirm/domain_history_store.h"
#include "delay/clock.h"
#include "delay/delay_logic.h"
#include "plugin/velmora_logic.h"
#include "res/resource.h"
#include "settings/local_setting.h"
#include "journal/log_setup.h"
#include "settings/settings_path.h"
#include "support/string_list.h"
#include "tests/common/fake_host.h"
#include "tests/file_text.h"
#include "tests/ui/dialog_driver.h"

namespace {

const SLocalTime kDay = {2026, 12, 1, 7, 10, 0, 0, 0};

std::string TempFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string folder = temp + ("zvhistory-" + std::to_string(GetCurrentProcessId()));
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

int Lines(const std::string& path) {
    const std::string text = ReadText(path);
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

struct SinkRemover {
    ~SinkRemover() { RemoveLogSink(); }
};

} // namespace

TEST(DomainHistoryStore, MissingCorruptForeignUnreadableAndUnwritableFiles) {
    const std::string folder = TempFolder();
    const std::string file = folder + "\\" + kDomainHistoryFileName;
    const std::string temporary = file + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
    LocalSetting logSettings((folder + "\\Velmora.ini").c_str());
    logSettings.Set(EKeyId::LogFile, folder + "\\history.log");
    ASSERT_TRUE(InstallLogSink(logSettings));
    SinkRemover removeSink;

    // Missing: a new, empty history that writes itself once it learns.
    DeleteFileA(file.c_str());
    SDomainHistoryStore fresh(folder.c_str());
    EXPECT_EQ(nullptr, fresh.History());
    fresh.Load();
    ASSERT_NE(nullptr, fresh.History());
    EXPECT_EQ(0u, fresh.History()->Size());
    fresh.Learn({"a.example", "b.example"}, kDay);
    SDomainHistory written;
    const std::string text = ReadText(file);
    ASSERT_EQ(kHistoryLoaded, written.Parse(text.data(), text.size())) << text;
    EXPECT_TRUE(written.Knows("a.example"));
    EXPECT_EQ(1, written.MessagesLearned());

    // Unwritable: no domain is called new, one log line however often it fails, and the
    // history comes back once the file can be written again.
    ASSERT_TRUE(CreateDirectoryA(temporary.c_str(), nullptr));
    fresh.Learn({"c.example"}, kDay);
    fresh.Learn({"d.example"}, kDay);
    EXPECT_EQ(nullptr, fresh.History());
    EXPECT_EQ(text, ReadText(file));
    EXPECT_EQ(1, Lines(logSettings.Text(EKeyId::LogFile)));
    RemoveDirectoryA(temporary.c_str());
    fresh.Learn({"e.example"}, kDay);
    ASSERT_NE(nullptr, fresh.History());
    EXPECT_NE(std::string::npos, ReadText(file).find("d.example"));
    EXPECT_EQ(2, Lines(logSettings.Text(EKeyId::LogFile)));

    // Ours but broken, as a crash mid-write leaves it: deleted, one log line, learning starts
    // again.
    const std::string torn[] = {
        text.substr(0, text.size() - 4),
        "",
        std::string(4096, '\0'),
        "zVelmo",
        text.substr(0, 30) + std::string(100, '\0'),
    };
    for (const std::string& broken : torn) {
        WriteText(file, broken);
        const int before = Lines(logSettings.Text(EKeyId::LogFile));
        SDomainHistoryStore corrupt(folder.c_str());
        corrupt.Load();
        ASSERT_NE(nullptr, corrupt.History()) << broken.size();
        EXPECT_EQ(0u, corrupt.History()->Size());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
        EXPECT_EQ(before + 1, Lines(logSettings.Text(EKeyId::LogFile))) << broken.size();
    }

    // A temporary a crashed writer left an hour ago goes; a fresh one, or another name, stays.
    const std::string old = file + ".4242.tmp", young = file + ".4343.tmp", other = file + ".x.tmp";
    for (const std::string* name : {&old, &young, &other})
        WriteText(*name, "x");
    HANDLE handle =
        CreateFileA(old.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME stamp;
    GetSystemTimeAsFileTime(&stamp);
    ULARGE_INTEGER ticks = {{stamp.dwLowDateTime, stamp.dwHighDateTime}};
    ticks.QuadPart -= 2 * 36000000000ull;
    stamp = {ticks.LowPart, ticks.HighPart};
    ASSERT_TRUE(SetFileTime(handle, nullptr, nullptr, &stamp));
    CloseHandle(handle);
    SDomainHistoryStore cleaning(folder.c_str());
    cleaning.Load();
    EXPECT_EQ("<none>", ReadText(old));
    EXPECT_EQ("x", ReadText(young));
    EXPECT_EQ("x", ReadText(other));
    DeleteFileA(young.c_str());
    DeleteFileA(other.c_str());

    // Not ours, one letter or too large to be: set aside, the newest kept, with one log line;
    // a new history learns and writes itself.
    const std::string bad = file + ".bad";
    for (const std::string& foreign : {std::string("example.com\r\n"), std::string("x"),
                                       std::string(4 * 1024 * 1024 + 1, 'x')}) {
        WriteText(file, foreign);
        const int before = Lines(logSettings.Text(EKeyId::LogFile));
        SDomainHistoryStore setAside(folder.c_str());
        setAside.Load();
        ASSERT_NE(nullptr, setAside.History()) << foreign.size();
        EXPECT_EQ(0u, setAside.History()->Size());
        EXPECT_TRUE(foreign == ReadText(bad)) << foreign.size();
        setAside.Learn({"f.example"}, kDay);
        EXPECT_NE(std::string::npos, ReadText(file).find("f.example")) << foreign.size();
        EXPECT_EQ(before + 1, Lines(logSettings.Text(EKeyId::LogFile))) << foreign.size();
    }
    // When it cannot be set aside, or is not a file at all: left alone, nothing kept or written.
    ASSERT_TRUE(DeleteFileA(bad.c_str()) && CreateDirectoryA(bad.c_str(), nullptr));
    for (const bool directory : {false, true}) {
        if (directory)
            ASSERT_TRUE(DeleteFileA(file.c_str()) && CreateDirectoryA(file.c_str(), nullptr));
        else
            WriteText(file, "example.com\r\n");
        SDomainHistoryStore foreign(folder.c_str());
        foreign.Load();
        foreign.Learn({"f.example"}, kDay);
        EXPECT_EQ(nullptr, foreign.History());
        if (directory)
            EXPECT_TRUE(RemoveDirectoryA(file.c_str()));
        else
            EXPECT_EQ("example.com\r\n", ReadText(file));
    }
    EXPECT_TRUE(RemoveDirectoryA(bad.c_str()));
    EXPECT_EQ(12, Lines(logSettings.Text(EKeyId::LogFile)));
    RemoveLogSink();
    DeleteFileA(logSettings.Text(EKeyId::LogFile).c_str());
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

// Learned from every road by which mail really leaves, once its window is gone after the send,
// and from nothing else; kept only while the confirmation is on, and read again at the next
// start.
TEST(DomainHistoryStore, LearnsFromMailThatLeftAndKeepsItAcrossStarts) {
    // A folder of its own: the settings folder is shared with the scenarios running beside.
    const std::string folder = TempFolder();
    const std::string file = folder + "\\" + kDomainHistoryFileName;
    DeleteFileA(file.c_str());
    // Replaced where it stands: the learner and the flush hold it.
    const auto useOwnHistory = [&folder](VelmoraLogic* logic) {
        logic->domainHistory->~SDomainHistoryStore();
        new (logic->domainHistory) SDomainHistoryStore(folder.c_str());
    };

    FakeHost host;
    SYSTEMTIME now = MakeTime(2026, 12, 7, 10, 0);
    SetLocalTimeOverride(&now);
    VelmoraLogic* logic = StartLogic(&host);
    useOwnHistory(logic);
    logic->settings->Set(EKeyId::InnerDelayTime, 0);
    logic->settings->Set(EKeyId::OuterDelayTime, 5);
    logic->settings->Set(EKeyId::InnerDomains, std::string("inner.example"));
    // With the confirmation on, the user ticks every row and sends.
    const auto send = [&](const char* to) {
        HWND window = host.OpenCompose();
        logic->OnOpenCompose(window, 0);
        host.SetHeader(window, "To", to);
        SDialogDriver driver;
        driver.Then("tick every row and send", [] {
            HWND dialog = FindDialog("宛先確認");
            if (!dialog)
                return false;
            HWND list = GetDlgItem(dialog, IDC_CONFIRM_LIST);
            for (int row = 0; row < DialogDriver::RowCount(list); ++row)
                DialogDriver::SetRowTicked(list, row, true);
            PostClick(dialog, IDC_CONFIRM_SEND);
            return true;
        });
        return std::make_pair(window, logic->OnOutgoing(window, 0));
    };

    // Sent while confirmation is off (no dialog here: the test has no templates), released
    // once it is on. Mail sent at once is learned too: the end-to-end scenario shows it.
    logic->settings->Set(EKeyId::OuterDelayTime, 0);
    EXPECT_EQ(0, send("x@off.example").second);
    logic->settings->Set(EKeyId::OuterDelayTime, 5);
    const HWND now1 = send("Now <x@Now.Example>, y@inner.example").first;
    const HWND back = send("x@back.example").first;
    const HWND timer = send("x@timer.example").first;
    const HWND failed = send("x@failed.example").first;
    logic->settings->Set(EKeyId::OuterDelayTime, 60);
    const std::pair<HWND, int> exit = send("x@exit.example");
    EXPECT_EQ(-1, exit.second);
    logic->settings->Set(EKeyId::Confirm, 1);
    logic->delayLogic->SendNow("box1", now1);
    logic->delayLogic->TakeBack("box1", back);
    SYSTEMTIME due = MakeTime(2026, 12, 7, 10, 6);
    SetLocalTimeOverride(&due);
    logic->OnEveryMinute();
    // Each release lets its one send through; the mail has left once its window is gone.
    for (HWND released : {now1, timer, failed})
        EXPECT_EQ(0, logic->OnOutgoing(released, 0));
    DestroyWindow(now1);
    DestroyWindow(timer);
    // The client failed this send: still open at the next sweep, then closed unsent.
    logic->OnEveryMinute();
    DestroyWindow(failed);
    DestroyWindow(back);
    {
        MessageBoxAnswer yes(IDYES);
        EXPECT_FALSE(logic->CanClose(host.mainWindow));
    }
    EXPECT_EQ(0, logic->OnOutgoing(exit.first, 0));
    DestroyWindow(exit.first);
    StopLogic(logic);

    logic = StartLogic(&host);
    useOwnHistory(logic);
    logic->settings->Set(EKeyId::Confirm, 1);
    logic->domainHistory->Load();
    const SDomainHistory* history = logic->domainHistory->History();
    ASSERT_NE(nullptr, history) << ReadText(file);
    for (const char* known : {"now.example", "timer.example", "exit.example"})
        EXPECT_TRUE(history->Knows(known)) << known << "\n" << ReadText(file);
    for (const char* unknown : {"off.example", "back.example", "inner.example", "failed.example"})
        EXPECT_FALSE(history->Knows(unknown)) << unknown << "\n" << ReadText(file);
    EXPECT_EQ(3, history->MessagesLearned());
    StopLogic(logic);
    SetLocalTimeOverride(nullptr);
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}
