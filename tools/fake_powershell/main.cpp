// Stand-in for powershell.exe in the tagging tests. Writes to the file named by
// ZV_FAKE_PS_RECORD, one item a line:
//   the command line as the process received it (GetCommandLineA);
//   "literal: exists", "literal: missing" or "literal: none": whether the argument after
//     -LiteralPath, read as PowerShell reads a single-quoted string, names an existing file;
//   "value: " and the argument after -Value, as the argument splitting leaves it;
//   "pid: " and this process's id.
// Then exits with ZV_FAKE_PS_EXIT (default 0), or never ends when ZV_FAKE_PS_HANG is set.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool IsSingleQuote(wchar_t c) {
    return c == L'\'' || (c >= 0x2018 && c <= 0x201B);
}

// The text of an argument that is exactly one single-quoted PowerShell string.
bool ReadSingleQuoted(const std::wstring& argument, std::wstring* text) {
    const size_t size = argument.size();
    if (size < 2 || !IsSingleQuote(argument[0]) || !IsSingleQuote(argument[size - 1]))
        return false;
    text->clear();
    for (size_t i = 1; i + 1 < size; ++i) {
        if (IsSingleQuote(argument[i])) {
            // A lone quote would end the string early.
            if (i + 2 >= size || !IsSingleQuote(argument[i + 1]))
                return false;
            ++i;
        }
        *text += argument[i];
    }
    return true;
}

std::wstring ArgumentAfter(int count, wchar_t** arguments, const wchar_t* name) {
    for (int i = 1; i + 1 < count; ++i) {
        if (lstrcmpiW(arguments[i], name) == 0)
            return arguments[i + 1];
    }
    return L"";
}

std::string ToAnsi(const std::wstring& wide) {
    char buffer[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    return buffer;
}

std::string Record() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string literal = "none";
    std::wstring path;
    if (arguments != nullptr &&
        ReadSingleQuoted(ArgumentAfter(count, arguments, L"-LiteralPath"), &path))
        literal =
            GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? "exists" : "missing";
    const std::string value =
        arguments != nullptr ? ToAnsi(ArgumentAfter(count, arguments, L"-Value")) : "";
    LocalFree(arguments);
    return std::string(GetCommandLineA()) + "\nliteral: " + literal + "\nvalue: " + value +
           "\npid: " + std::to_string(GetCurrentProcessId()) + "\n";
}

} // namespace

int main() {
    const char* recordPath = std::getenv("ZV_FAKE_PS_RECORD");
    if (recordPath != nullptr) {
        const std::string record = Record();
        if (FILE* file = std::fopen(recordPath, "wb")) {
            std::fwrite(record.data(), 1, record.size(), file);
            std::fclose(file);
        }
    }
    if (std::getenv("ZV_FAKE_PS_HANG") != nullptr) {
        for (;;)
            Sleep(INFINITE);
    }
    const char* exitCode = std::getenv("ZV_FAKE_PS_EXIT");
    return exitCode != nullptr ? std::atoi(exitCode) : 0;
}
