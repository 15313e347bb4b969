// The version rule on real host executables: each stand-in variant loads the real DLL.
#include <gtest/gtest.h>

#include <string>

#include "process_runner.h"

namespace {

ProcessResult Probe(const char* host) {
    return RunProcess(std::string("tools\\standin\\") + host + ".exe --probe zVelmora.dll");
}

void ExpectAccepted(const char* host) {
    ProcessResult run = Probe(host);
    ASSERT_TRUE(run.started) << host;
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("verdict: accepted")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("  name: Velmora")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("  vendor: Tarnwyk")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("  version: 2.1.0.0")) << run.output;
}

// Inert: the DLL still loads (its entry point said TRUE) and every callback answers 0.
void ExpectInert(const char* host) {
    ProcessResult run = Probe(host);
    ASSERT_TRUE(run.started) << host;
    EXPECT_EQ(3u, run.exitCode) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("LoadLibrary(zVelmora.dll): ok")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("exports found: 16 of 16")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("verdict: rejected")) << run.output;
    size_t answers = 0;
    for (size_t at = run.output.find(" -> "); at != std::string::npos;
         at = run.output.find(" -> ", at + 1)) {
        ++answers;
        EXPECT_EQ('0', run.output[at + 4]) << run.output.substr(at - 20, 30);
    }
    EXPECT_EQ(17u, answers) << run.output; // every export, plug-in info twice
}

} // namespace

TEST(VersionRule, CurrentHostWithSetStatusIsAccepted) {
    ExpectAccepted("zvhost");
}

TEST(VersionRule, OldShortVersionIsAcceptedWithoutSetStatus) {
    ExpectAccepted("zvhost_old");
}

TEST(VersionRule, Exactly2_00_06NeedsSetStatus) {
    ExpectInert("zvhost_2006");
    ExpectAccepted("zvhost_2006s");
}

TEST(VersionRule, VersionTextOfEightCharactersNeedsSetStatus) {
    ExpectInert("zvhost_long");
    ExpectAccepted("zvhost_longs");
}

TEST(VersionRule, MissingRequiredNameLeavesThePluginInert) {
    ExpectInert("zvhost_noconnect");
}

TEST(VersionRule, MissingOptionalNamesChangeNothing) {
    ExpectAccepted("zvhost_nooptional");
}
