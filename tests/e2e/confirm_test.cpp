// The look before a send, worked through the real dialog in the stand-in client; each scenario
// checks its own expectations and the test reads the verdict.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "process_runner.h"

namespace {

void ExpectScenarioMet(const std::string& name, int expectations) {
    ProcessResult run =
        RunProcess("tools\\standin\\zvhost.exe --scenario scenarios\\" + name + ".txt", 120000);
    ASSERT_TRUE(run.started) << name;
    ASSERT_FALSE(run.timedOut) << run.output;
    int met = -1, total = -1;
    size_t at = run.output.rfind("result: ");
    if (at != std::string::npos)
        sscanf(run.output.c_str() + at, "result: %d of %d", &met, &total);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_EQ(expectations, total) << run.output;
    EXPECT_EQ(total, met) << run.output;
}

} // namespace

TEST(ConfirmDialog, RowsKeysCancelTickAllWarningCtrlAndTheLog) {
    ExpectScenarioMet("confirm_send", 56);
}

TEST(ConfirmDialog, SweepWindowGoneExitAndHostileNames) {
    ExpectScenarioMet("confirm_roads", 28);
}
