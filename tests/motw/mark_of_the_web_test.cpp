#include "support/mark_of_the_web.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/plugin_logic.h"
#include "support/base64url.h"
#include "support/file_utils.h"

namespace {

using LogRecords = std::vector<std::pair<int, std::string>>;

class RecordingLogic : public SPluginLogic {
  public:
    RecordingLogic() : SPluginLogic(nullptr, nullptr) {}
    void LogError(LPCSTR text) override { records.emplace_back(2, text); }
    void LogDebug(LPCSTR text) override { records.emplace_back(8, text); }
    void LogInfo(LPCSTR text) override { records.emplace_back(6, text); }

    LogRecords records;
};

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    ASSERT_TRUE(Exists(path)) << path;
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return "<missing>";
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + "\\");
            else
                DeleteFileA((folder + name).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// Sets an environment variable of this process (and so of the processes it starts) for
// the lifetime of the object.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const std::string& value) : name(name) {
        char old[32768];
        const DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
        hadValue = length > 0 && length < sizeof old;
        if (hadValue)
            oldValue = old;
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name, hadValue ? oldValue.c_str() : nullptr); }

  private:
    const char* name;
    bool hadValue = false;
    std::string oldValue;
};

// The stand-in powershell.exe, built into its own folder next to the tests' folder.
std::string StandInFolder() {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder = module;
    folder.erase(folder.find_last_of('\\') + 1);
    char full[MAX_PATH] = {};
    GetFullPathNameA((folder + "..\\fake_powershell").c_str(), MAX_PATH, full, nullptr);
    return full;
}

struct StandInRecord {
    std::string parameters; // the command line without the program
    std::string literal;    // whether the -LiteralPath argument names an existing file
    std::string value;      // the -Value argument after argument splitting
    DWORD pid = 0;
};

StandInRecord ReadRecord(const std::string& path) {
    std::istringstream lines(ReadText(path));
    std::string commandLine, literal, value, pid;
    std::getline(lines, commandLine);
    std::getline(lines, literal);
    std::getline(lines, value);
    std::getline(lines, pid);
    StandInRecord record;
    // The program comes first, quoted or not, then one blank.
    const bool quoted = !commandLine.empty() && commandLine[0] == '"';
    size_t programEnd = commandLine.find(quoted ? '"' : ' ', quoted ? 1 : 0);
    if (programEnd != std::string::npos && quoted)
        ++programEnd;
    if (programEnd < commandLine.size() && commandLine[programEnd] == ' ')
        record.parameters = commandLine.substr(programEnd + 1);
    record.literal = literal;
    record.value = value;
    if (pid.compare(0, 5, "pid: ") == 0)
        record.pid = std::stoul(pid.substr(5));
    return record;
}

std::string ExpectedParameters(const std::string& quotedPath) {
    return "-ExecutionPolicy Bypass Set-Content -LiteralPath \"'" + quotedPath +
           "'\" -Stream Zone.Identifier -Encoding oem -NoNewline -Value "
           "\"[ZoneTransfer]`r`nZoneId=3\"";
}

std::string NotTaggedInfo(const std::string& path) {
    return "Failed to set MoTW to file [" + path + "]";
}

class MarkOfTheWeb : public ::testing::Test {
  protected:
    MarkOfTheWeb()
        : root(MakeRoot()), searchPath("PATH", StandInFolder()),
          recordVariable("ZV_FAKE_PS_RECORD", root + "record.txt") {}
    ~MarkOfTheWeb() override { RemoveTree(root); }

    static std::string MakeRoot() {
        static int counter = 0;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        const std::string root = std::string(temp) + "zv-motw-" +
                                 std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(++counter) + "\\";
        // A fresh prefix has no temporary folder yet.
        CreateDirectoryPath(root.c_str());
        return root;
    }

    // A new folder under the test's root, with its trailing backslash.
    std::string Folder(const std::string& name) {
        const std::string folder = root + name + "\\";
        EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        return folder;
    }

    StandInRecord Record() { return ReadRecord(root + "record.txt"); }
    bool StandInRan() { return Exists(root + "record.txt"); }

    const std::string root;
    ScopedVariable searchPath;
    ScopedVariable recordVariable;
    RecordingLogic logic;
};

TEST_F(MarkOfTheWeb, MovesToEncodedNameAndBack) {
    // 表示 ends in the backslash byte; the name has a blank and brackets.
    const std::string folder = Folder("表示");
    const std::string path = folder + "資料 [1].txt";
    WriteText(path, "mail body");

    std::string encoded;
    ASSERT_TRUE(MoveToEncodedName(&logic, path.c_str(), &encoded));
    EXPECT_EQ(encoded, folder + "jpGXvyBbMV0udHh0");
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(ReadText(encoded), "mail body");

    std::string restored;
    ASSERT_TRUE(MoveToDecodedName(&logic, encoded.c_str(), &restored));
    EXPECT_EQ(restored, path);
    EXPECT_FALSE(Exists(encoded));
    EXPECT_EQ(ReadText(path), "mail body");
    EXPECT_EQ(logic.records, LogRecords{});
}

TEST_F(MarkOfTheWeb, MovesNeverReplaceAnExistingFile) {
    const std::string folder = Folder("busy");
    const std::string path = folder + "a.txt";
    const std::string encodedName = folder + "YS50eHQ";
    WriteText(path, "mine");
    WriteText(encodedName, "theirs");

    std::string encoded;
    EXPECT_FALSE(MoveToEncodedName(&logic, path.c_str(), &encoded));
    EXPECT_EQ(encoded, path);
    std::string restored;
    EXPECT_FALSE(MoveToDecodedName(&logic, encodedName.c_str(), &restored));
    EXPECT_EQ(restored, encodedName);

    EXPECT_EQ(ReadText(path), "mine");
    EXPECT_EQ(ReadText(encodedName), "theirs");
    EXPECT_EQ(logic.records, (LogRecords{{2, "Failed to url_encode for MoTW"},
                                         {2, "Failed to url_decode for MoTW"}}));
}

TEST_F(MarkOfTheWeb, DecodingNeverLeavesTheFolder) {
    const std::string folder = Folder("inner");
    const std::string outward = folder + EncodeBase64Url("..\\escaped.txt");
    const std::string foreign = folder + "not+encoded";
    WriteText(outward, "x");
    WriteText(foreign, "y");

    std::string restored;
    EXPECT_FALSE(MoveToDecodedName(&logic, outward.c_str(), &restored));
    EXPECT_FALSE(MoveToDecodedName(&logic, foreign.c_str(), &restored));
    EXPECT_TRUE(Exists(outward));
    EXPECT_TRUE(Exists(foreign));
    EXPECT_FALSE(Exists(root + "escaped.txt"));
    EXPECT_EQ(logic.records.size(), 2u);
}

TEST_F(MarkOfTheWeb, PassesTheEncodedPathLiterallyAndRestoresTheName) {
    const std::string folder = Folder("plain");
    const std::string path = folder + "plain.txt";
    WriteText(path, "attachment");

    logic.SetMarkOfTheWeb(path.c_str());

    const StandInRecord record = Record();
    EXPECT_EQ(record.parameters, ExpectedParameters(folder + "cGxhaW4udHh0"));
    EXPECT_EQ(record.literal, "literal: exists");
    // PowerShell reads `r and `n in that argument as CR and LF.
    EXPECT_EQ(record.value, "value: [ZoneTransfer]`r`nZoneId=3");
    EXPECT_EQ(logic.records, LogRecords{});
    EXPECT_EQ(ReadText(path), "attachment");
    EXPECT_FALSE(Exists(folder + "cGxhaW4udHh0"));
}

TEST_F(MarkOfTheWeb, FolderNamedLikeASubexpressionStaysText) {
    const std::string folder = Folder("$(x)");
    const std::string path = folder + "it's [1].txt";
    WriteText(path, "attachment");

    logic.SetMarkOfTheWeb(path.c_str());

    const StandInRecord record = Record();
    EXPECT_EQ(record.parameters, ExpectedParameters(folder + "aXQncyBbMV0udHh0"));
    EXPECT_EQ(record.literal, "literal: exists");
    EXPECT_EQ(logic.records, LogRecords{});
    EXPECT_EQ(ReadText(path), "attachment");
}

TEST_F(MarkOfTheWeb, FileThatCannotMoveIsTaggedUnderItsOwnName) {
    // Two blanks in a row must survive the process's argument splitting.
    const std::string folder = Folder("O'Brien  [x]");
    const std::string path = folder + "a'b[1].txt";
    const std::string blocker = folder + "YSdiWzFdLnR4dA";
    WriteText(path, "attachment");
    WriteText(blocker, "unrelated");

    logic.SetMarkOfTheWeb(path.c_str());

    const StandInRecord record = Record();
    EXPECT_EQ(record.parameters, ExpectedParameters(root + "O''Brien  [x]\\a''b[1].txt"));
    EXPECT_EQ(record.literal, "literal: exists");
    EXPECT_EQ(logic.records, (LogRecords{{2, "Failed to url_encode for MoTW"}}));
    EXPECT_EQ(ReadText(path), "attachment");
    EXPECT_EQ(ReadText(blocker), "unrelated");
}

TEST_F(MarkOfTheWeb, TypographicSingleQuotesAreDoubledToo) {
    // PowerShell ends a single-quoted string at ‘ and ’ as well.
    Folder("x’y‘z");
    const std::string path = root + "x’y‘z\\plain.txt";
    WriteText(path, "attachment");

    logic.SetMarkOfTheWeb(path.c_str());

    const StandInRecord record = Record();
    EXPECT_EQ(record.parameters, ExpectedParameters(root + "x’’y‘‘z\\cGxhaW4udHh0"));
    EXPECT_EQ(record.literal, "literal: exists");
    EXPECT_EQ(ReadText(path), "attachment");
}

TEST_F(MarkOfTheWeb, FailedTaggingIsLoggedWithTheCallersPath) {
    ScopedVariable exitCode("ZV_FAKE_PS_EXIT", "5");
    const std::string path = Folder("fails") + "資料.txt";
    WriteText(path, "attachment");

    logic.SetMarkOfTheWeb(path.c_str());

    EXPECT_TRUE(StandInRan());
    EXPECT_EQ(logic.records, (LogRecords{{6, NotTaggedInfo(path)}}));
    EXPECT_EQ(ReadText(path), "attachment");
}

TEST_F(MarkOfTheWeb, MissingPowerShellIsLoggedAndTheFileKeepsItsName) {
    ScopedVariable emptyPath("PATH", Folder("empty"));
    const std::string folder = Folder("missing");
    const std::string path = folder + "plain.txt";
    WriteText(path, "attachment");

    logic.SetMarkOfTheWeb(path.c_str());

    EXPECT_FALSE(StandInRan());
    EXPECT_EQ(logic.records,
              (LogRecords{{2, "Failed to set MoTW to file"}, {6, NotTaggedInfo(path)}}));
    EXPECT_EQ(ReadText(path), "attachment");
    EXPECT_FALSE(Exists(folder + "cGxhaW4udHh0"));
}

TEST_F(MarkOfTheWeb, PathsThatCannotBeQuotedNeverReachPowerShell) {
    std::string parameters = "<untouched>";
    EXPECT_FALSE(FormatMarkOfTheWebParameters("C:\\a\" & calc & \".txt", &parameters));
    EXPECT_FALSE(FormatMarkOfTheWebParameters("C:\\a\r\nb.txt", &parameters));
    EXPECT_FALSE(FormatMarkOfTheWebParameters("", &parameters));
    // 380 quotes double to 760 characters: too long for the parameters.
    EXPECT_FALSE(
        FormatMarkOfTheWebParameters(("C:\\" + std::string(380, '\'')).c_str(), &parameters));
    EXPECT_EQ(parameters, "<untouched>");

    const std::string path = root + "a\" & calc & \".txt";
    logic.SetMarkOfTheWeb(path.c_str());

    EXPECT_FALSE(StandInRan());
    EXPECT_EQ(logic.records, (LogRecords{{2, "Failed to url_encode for MoTW"},
                                         {2, "Failed to set MoTW to file"},
                                         {6, NotTaggedInfo(path)}}));
}

// Waits the full ten seconds: ctest runs it as an entry of its own, beside the rest.
class MarkOfTheWebTimeout : public MarkOfTheWeb {};

TEST_F(MarkOfTheWebTimeout, HungPowerShellIsEndedAfterTenSeconds) {
    ScopedVariable hang("ZV_FAKE_PS_HANG", "1");
    const std::string folder = Folder("hung");
    const std::string path = folder + "plain.txt";
    WriteText(path, "attachment");

    const ULONGLONG start = GetTickCount64();
    logic.SetMarkOfTheWeb(path.c_str());
    const ULONGLONG elapsed = GetTickCount64() - start;

    EXPECT_GE(elapsed, 9900u);
    EXPECT_LT(elapsed, 30000u);
    EXPECT_EQ(logic.records, (LogRecords{{2, "PowerShell timeout"}, {6, NotTaggedInfo(path)}}));
    EXPECT_EQ(ReadText(path), "attachment");
    EXPECT_FALSE(Exists(folder + "cGxhaW4udHh0"));

    const StandInRecord record = Record();
    ASSERT_NE(record.pid, 0u);
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, record.pid);
    if (process != nullptr) {
        EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_OBJECT_0) << "stand-in still runs";
        CloseHandle(process);
    }
}

} // namespace
