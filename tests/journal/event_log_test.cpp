// The events as the Event Viewer reads them from the DLL, and as the operation log gets them.
#include "journal/event_log.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/log_writer.h"

namespace {

std::string DllPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1) + "..\\zVelmora.dll";
}

std::wstring Wide(const char* text) {
    wchar_t wide[1024] = L"";
    MultiByteToWideChar(932, 0, text, -1, wide, 1024);
    return wide;
}

// The IDs the message table holds, read from the resource's blocks.
std::set<DWORD> MessageTableIds(HMODULE module) {
    std::set<DWORD> ids;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MESSAGETABLE);
    const auto* data =
        found ? static_cast<const MESSAGE_RESOURCE_DATA*>(LockResource(LoadResource(module, found)))
              : nullptr;
    for (DWORD b = 0; data && b < data->NumberOfBlocks; ++b) {
        const MESSAGE_RESOURCE_BLOCK& block = data->Blocks[b];
        for (DWORD id = block.LowId; id <= block.HighId; ++id)
            ids.insert(id);
    }
    return ids;
}

TEST(EventTable, EveryEventHasItsSentenceInTheDllAndTheDllNoOtherMessage) {
    HMODULE module = LoadLibraryExA(DllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module) << DllPath();
    size_t count = 0;
    const SEventRow* rows = EventTable(&count);
    std::set<DWORD> ids;
    for (size_t i = 0; i < count; ++i) {
        const DWORD id = static_cast<DWORD>(rows[i].id);
        ids.insert(id);
        const wchar_t* inserts[] = {L"保留 組織外=1"};
        wchar_t text[1024] = L"";
        const DWORD length = FormatMessageW(
            FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module, id, 0, text, 1024,
            reinterpret_cast<va_list*>(const_cast<wchar_t**>(inserts)));
        EXPECT_NE(0u, length) << rows[i].name << " " << GetLastError();
        EXPECT_EQ(Wide(rows[i].sentence) + L"\r\n保留 組織外=1\r\n", std::wstring(text))
            << rows[i].name;
    }
    EXPECT_EQ(count, ids.size()) << "an ID is used twice";
    EXPECT_EQ(ids, MessageTableIds(module));
    FreeLibrary(module);
}

struct SRecordedLines : NTessik::SLogSink {
    std::vector<std::string> lines;
    bool Write(const NTessik::SLogDigest& digest, const char* text) override {
        lines.push_back(std::to_string(digest.level) + " " + text);
        return true;
    }
};

// Information goes to the Event Log only at level 2, problems from level 1; the operation log
// takes every event its own level lets through, line by line.
TEST(EventLog, EachLevelLetsThroughItsEventsAndTheOperationLogGetsEveryLine) {
    const bool wanted[3][3] = {
        {false, false, false}, // 0: error, warning, information
        {true, true, false},
        {true, true, true},
    };
    for (int level = 0; level <= 2; ++level) {
        EXPECT_EQ(wanted[level][0], EventLevelWanted(EEventLevel::Error, level)) << level;
        EXPECT_EQ(wanted[level][1], EventLevelWanted(EEventLevel::Warning, level)) << level;
        EXPECT_EQ(wanted[level][2], EventLevelWanted(EEventLevel::Information, level)) << level;
        StartEventLog(level);
        EXPECT_EQ(level == 2, EventWanted(EEventId::Held)) << level;
        EXPECT_EQ(level >= 1, EventWanted(EEventId::ConfirmCancelled)) << level;
    }

    SRecordedLines sink;
    NTessik::SLogConfig config = {4};
    NTessik::SetSinkForTesting(&sink);
    NTessik::SetConfigForTesting(&config);
    StartEventLog(kEventLogNone);
    EXPECT_TRUE(EventWanted(EEventId::ConfirmCancelled));
    EXPECT_FALSE(EventWanted(EEventId::Held));
    LogEvent(EEventId::MailLost, std::vector<std::string>{"first", "second"});
    LogEvent(EEventId::ConfirmCancelled, "cancelled");
    LogEvent(EEventId::Held, "held");
    EXPECT_EQ((std::vector<std::string>{"2 first", "2 second", "4 cancelled"}), sink.lines);
    NTessik::SetSinkForTesting(nullptr);
    NTessik::SetConfigForTesting(nullptr);
    StopEventLog();
}

} // namespace
