// The hold list and setup dialogs opened from the stand-in client's menu, and the look before a
// send, worked through their controls; each scenario checks its own expectations and the test
// reads the verdict.
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
    EXPECT_EQ(std::string::npos, run.output.find("FAIL")) << run.output;
}

} // namespace

TEST(UiDialogs, HoldListRowsPausedSweepNothingSelectedNoAndStopSending) {
    ExpectScenarioMet("ui_hold_list", 37);
}

TEST(UiDialogs, SendNowWithARowNoLongerHeldColumnWidthsAndTheEmptyList) {
    ExpectScenarioMet("ui_send_now", 19);
}

TEST(UiDialogs, EnterAnswersNoAndRowsSentAtTheExitQuestionAreNotActedOn) {
    ExpectScenarioMet("ui_hold_list_exit", 17);
}

TEST(UiDialogs, SetupAddEditDeleteTimesATypoRefusedAndCancel) {
    ExpectScenarioMet("ui_setup", 39);
}

TEST(UiDialogs, DomainEntryRefusesBlanksAndHelpOpensTheGuideOrAsks) {
    ExpectScenarioMet("ui_setup_entry_help", 21);
}

// The administrator's policy: these also run in a 64-bit prefix, the machine's policy written
// there by the 64-bit reg.exe.
TEST(Policy, HoldTimeConfirmAndCtrlForcedGreyedAndRefusedInTheDialogs) {
    ExpectScenarioMet("policy_registry", 35);
}

TEST(Policy, FileBesideTheDllAndAUtf16SettingsFile) {
    ExpectScenarioMet("policy_file", 6);
}

TEST(Policy, AWeakerSourceOnlyTightensAMultiStringListAndTheShippedLogExample) {
    ExpectScenarioMet("policy_ranking", 16);
}

TEST(Policy, AFileHeldOpenWithoutSharingGuardsMost) {
    ExpectScenarioMet("policy_file_locked", 14);
}

TEST(Policy, Utf8WithoutAMarkIsReadAndUtf32IsRefused) {
    ExpectScenarioMet("policy_encodings", 8);
}

TEST(UiDialogs, ConfirmMarksANewDomainUntilMailToItHasLeftAndAFailedSendTeachesOnlyIfClosedEarly) {
    ExpectScenarioMet("confirm_new_domain", 44);
}

TEST(ConfirmDialog, RowsKeysCancelTickAllWarningCtrlLookAlikesIdentAndTheLog) {
    ExpectScenarioMet("confirm_send", 69);
}

TEST(ConfirmDialog, SweepWindowGoneTwoOpenClientClosedExitAndHostileNames) {
    ExpectScenarioMet("confirm_roads", 66);
}

TEST(ConfirmDialog, AttentionOnlyLookAlikesFirstAndWordsThatMustNotGoOutsideEvenEncoded) {
    ExpectScenarioMet("confirm_attention", 47);
}
