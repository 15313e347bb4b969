#include "support/log_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingSink : public NTessik::SLogSink {
  public:
    bool Write(const NTessik::SLogDigest& digest, const char* text) override {
        digests.push_back(digest);
        texts.push_back(text);
        return accept;
    }
    std::vector<NTessik::SLogDigest> digests;
    std::vector<std::string> texts;
    bool accept = true;
};

// Installs a sink for one test and takes it out again.
class LogWriterTest : public ::testing::Test {
  protected:
    void SetUp() override { NTessik::SetSinkForTesting(&sink_); }
    void TearDown() override {
        NTessik::SetSinkForTesting(nullptr);
        NTessik::SetConfigForTesting(nullptr);
    }
    bool Log(int level, const char* text) {
        NTessik::SLogWriter writer(NTessik::GetSink(), "velmora.cpp", 42, 0, 0, level);
        return writer.Write("%s", text);
    }
    RecordingSink sink_;
};

TEST(LogWriterWithoutSink, DropsEverythingWithoutFormatting) {
    ASSERT_EQ(NTessik::GetSink(), nullptr);
    NTessik::SLogWriter writer(NTessik::GetSink(), __FILE__, __LINE__, 0, 0, 2);
    // Formatting this would read through a bad pointer.
    EXPECT_FALSE(writer.Write("%s", reinterpret_cast<const char*>(16)));
}

TEST_F(LogWriterTest, LevelsUpToTenReachTheSink) {
    EXPECT_TRUE(Log(2, "error"));
    EXPECT_TRUE(Log(10, "ten"));
    EXPECT_FALSE(Log(11, "eleven"));
    EXPECT_EQ(sink_.texts, (std::vector<std::string>{"error", "ten"}));
}

TEST_F(LogWriterTest, ConfigurationLowersTheLimit) {
    const NTessik::SLogConfig config = {6};
    NTessik::SetConfigForTesting(&config);
    EXPECT_TRUE(Log(6, "info"));
    EXPECT_FALSE(Log(8, "debug"));
    EXPECT_EQ(sink_.texts.size(), 1u);
}

TEST_F(LogWriterTest, TextIsWrittenUnchanged) {
    EXPECT_TRUE(Log(6, "Failed to set MoTW to file [C:\\100%s\\%d.eml]"));
    ASSERT_EQ(sink_.texts.size(), 1u);
    EXPECT_EQ(sink_.texts[0], "Failed to set MoTW to file [C:\\100%s\\%d.eml]");
    const std::string longText(70000, 'x');
    EXPECT_TRUE(Log(6, longText.c_str()));
    EXPECT_EQ(sink_.texts[1], longText);
}

TEST_F(LogWriterTest, DigestRecordsTheCall) {
    NTessik::SLogWriter writer(NTessik::GetSink(), "velmora.cpp", 77, 0, 0, 8);
    EXPECT_TRUE(writer.Write("%d-%s", 5, "x"));
    ASSERT_EQ(sink_.digests.size(), 1u);
    const NTessik::SLogDigest& d = sink_.digests[0];
    EXPECT_EQ(sink_.texts[0], "5-x");
    EXPECT_EQ(d.level, 8);
    EXPECT_STREQ(d.sourceFile, "velmora.cpp");
    EXPECT_EQ(d.sourceLine, 77);
    EXPECT_EQ(d.reserved1, 0u);
    EXPECT_EQ(d.reserved2, 0u);
    EXPECT_EQ(d.threadId, GetCurrentThreadId());
    EXPECT_EQ(d.thread, GetCurrentThread());
    EXPECT_GE(d.time.wYear, 2020);
}

TEST_F(LogWriterTest, SinkRefusalIsPassedOn) {
    sink_.accept = false;
    EXPECT_FALSE(Log(2, "refused"));
    EXPECT_EQ(sink_.texts.size(), 1u);
}

} // namespace
