// Mail held when the client dies, or given back unsent at the plug-in's exit, is named at the
// next start, once.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "process_runner.h"

namespace {

ProcessResult RunStandin(const char* scenario) {
    return RunProcess(std::string("tools\\standin\\zvhost.exe --scenario scenarios\\") + scenario +
                      ".txt");
}

bool AllMet(const ProcessResult& run) {
    size_t at = run.output.rfind("result: ");
    int met = -1, total = -2;
    if (at != std::string::npos)
        sscanf(run.output.c_str() + at, "result: %d of %d", &met, &total);
    return met == total && run.output.find("FAIL") == std::string::npos;
}

} // namespace

TEST(HeldMailJournal, AClientKilledWithHeldMailNamesItAtTheNextStartOnce) {
    ProcessResult killed = RunStandin("journal_killed");
    ASSERT_TRUE(killed.started);
    ASSERT_FALSE(killed.timedOut) << killed.output;
    EXPECT_EQ(std::string::npos, killed.output.find("FAIL")) << killed.output;

    ProcessResult notice = RunStandin("journal_notice");
    ASSERT_FALSE(notice.timedOut) << notice.output;
    EXPECT_EQ(0u, notice.exitCode) << notice.output;
    EXPECT_TRUE(AllMet(notice)) << notice.output;

    ProcessResult quiet = RunStandin("journal_quiet");
    ASSERT_FALSE(quiet.timedOut) << quiet.output;
    EXPECT_EQ(0u, quiet.exitCode) << quiet.output;
    EXPECT_TRUE(AllMet(quiet)) << quiet.output;
}

TEST(HeldMailJournal, AMessageGivenBackAtThePluginsExitIsNamedAtTheNextStartOnce) {
    for (const char* scenario : {"journal_exit", "journal_given_back", "journal_quiet"}) {
        ProcessResult run = RunStandin(scenario);
        ASSERT_FALSE(run.timedOut) << run.output;
        EXPECT_EQ(0u, run.exitCode) << scenario << "\n" << run.output;
        EXPECT_TRUE(AllMet(run)) << scenario << "\n" << run.output;
    }
}

TEST(HeldMailJournal, TornRecordsAreNamedAndATornHistoryLearnsAgainOneLogLineEach) {
    DeleteFileA("C:\\journal_torn.log");
    ProcessResult torn = RunStandin("journal_torn");
    ASSERT_FALSE(torn.timedOut) << torn.output;
    EXPECT_EQ(0u, torn.exitCode) << torn.output;
    EXPECT_TRUE(AllMet(torn)) << torn.output;
    EXPECT_NE(std::string::npos, torn.output.find("result: 13 of 13")) << torn.output;
}
