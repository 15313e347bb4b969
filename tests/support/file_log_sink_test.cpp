#include "support/file_log_sink.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/file_utils.h"
#include "support/path_utils.h"
#include "tests/file_text.h"

namespace {

class FileLogSinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "zv-log-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        path_ = JoinPath(folder_.c_str(), "zv.log");
    }
    void TearDown() override {
        DeleteFileA(path_.c_str());
        DeleteFileA((path_ + ".1").c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    static bool Log(NTessik::SLogSink* sink, int level, const std::string& text) {
        NTessik::SLogWriter writer(sink, "test", 1, 0, 0, level);
        return writer.Write("%s", text.c_str());
    }
    static size_t Lines(const std::string& text) {
        return std::count(text.begin(), text.end(), '\n');
    }

    std::string folder_;
    std::string path_;
};

TEST_F(FileLogSinkTest, OneLinePerEventWhateverTheText) {
    NTessik::SFileLogSink sink(path_.c_str());
    ASSERT_TRUE(sink.Usable());
    EXPECT_TRUE(Log(&sink, 6, "保留 件名「a\r\nb」"));
    EXPECT_TRUE(Log(&sink, 2, std::string(70000, 'x') + "\n"));
    EXPECT_TRUE(Log(&sink, 8, "50%"));
    EXPECT_TRUE(Log(&sink, 4, "宛先確認でキャンセル"));
    const std::string text = ReadText(path_);
    EXPECT_EQ(Lines(text), 4u);
    EXPECT_NE(text.find("] 情報 保留 件名「a%0D%0Ab」\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("] エラー xxx"), std::string::npos);
    EXPECT_NE(text.find("] 詳細 50%25\r\n"), std::string::npos);
    EXPECT_NE(text.find("] 警告 宛先確認でキャンセル\r\n"), std::string::npos);
    EXPECT_LT(text.size(), NTessik::kLogTextLimit + 200);

    SYSTEMTIME now;
    GetLocalTime(&now);
    char day[16];
    std::snprintf(day, sizeof day, "%04u/%02u/%02u ", now.wYear, now.wMonth, now.wDay);
    EXPECT_EQ(text.compare(0, 11, day), 0) << text.substr(0, 40);
}

TEST_F(FileLogSinkTest, PastTheLimitTheFileStartsAgainKeepingOneOlderGeneration) {
    NTessik::SFileLogSink sink(path_.c_str(), 1000);
    const std::string text(100, 't');
    for (int i = 0; i < 25; ++i)
        ASSERT_TRUE(Log(&sink, 6, text + std::to_string(i)));
    const std::string current = ReadText(path_);
    const std::string older = ReadText(path_ + ".1");
    EXPECT_LT(current.size(), 1000u + 200u);
    EXPECT_GE(older.size(), 1000u);
    EXPECT_NE(current.find(text + "24\r\n"), std::string::npos);
    // Two rotations happened: the first generation is gone.
    EXPECT_EQ(older.find(text + "0\r\n"), std::string::npos);
    EXPECT_LT(Lines(older) + Lines(current), 25u);
}

TEST_F(FileLogSinkTest, UnusablePathsWriteNothing) {
    const std::string missing = JoinPath(folder_.c_str(), "no\\such\\zv.log");
    for (const std::string& path : {folder_, missing, std::string("zv.log"), std::string("")}) {
        NTessik::SFileLogSink sink(path.c_str());
        EXPECT_FALSE(sink.Usable()) << path;
        EXPECT_FALSE(Log(&sink, 6, "x")) << path;
    }
    EXPECT_TRUE(DirectoryExists(folder_.c_str()));
}

} // namespace
