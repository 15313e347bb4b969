#include "support/file_log_sink.h"

#include <cstdio>
#include <cstring>

#include "support/file_utils.h"
#include "support/line_text.h"
#include "support/mbcs.h"

namespace NTessik {

namespace {

const char* LevelName(int32_t level) {
    if (level <= 2)
        return "エラー";
    if (level <= 4)
        return "警告";
    if (level <= 6)
        return "情報";
    return "詳細";
}

bool IsAbsolute(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    return drive || path.compare(0, 2, "\\\\") == 0;
}

std::string ParentFolder(const std::string& path) {
    // A trail byte 0x5C is no separator, so walk whole characters.
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size(); i += CharLength(path.c_str() + i)) {
        if (path[i] == '\\' || path[i] == '/')
            last = i;
    }
    return last == std::string::npos ? "" : path.substr(0, last + 1);
}

} // namespace

std::string FormatLogLine(const SLogDigest& digest, unsigned long processId, const char* text) {
    char head[80];
    const SYSTEMTIME& t = digest.time;
    std::snprintf(head, sizeof head, "%04u/%02u/%02u %02u:%02u:%02u.%03u [%lu] ", t.wYear, t.wMonth,
                  t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds, processId);
    const std::string body =
        text != nullptr ? std::string(text, strnlen(text, kLogTextLimit + 1)) : "";
    return head + std::string(LevelName(digest.level)) + " " +
           EscapeLineText(CutText(body, kLogTextLimit, "...")) + "\r\n";
}

SFileLogSink::SFileLogSink(const char* path, unsigned long limit)
    : path_(path != nullptr ? path : ""), limit_(limit) {}

bool SFileLogSink::Usable() const {
    if (!IsAbsolute(path_) || DirectoryExists(path_.c_str()))
        return false;
    const std::string folder = ParentFolder(path_);
    return !folder.empty() && DirectoryExists(folder.c_str());
}

void SFileLogSink::RotateWhenFull() {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path_.c_str(), GetFileExInfoStandard, &data))
        return;
    if (data.nFileSizeHigh == 0 && data.nFileSizeLow < limit_)
        return;
    const std::string older = path_ + ".1";
    MoveFileExA(path_.c_str(), older.c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool SFileLogSink::Write(const SLogDigest& digest, const char* text) {
    if (!IsAbsolute(path_))
        return false;
    RotateWhenFull();
    // Opened for each line: another client process may share the file, and nothing is
    // held open when the host ends without notice.
    HANDLE file = CreateFileA(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const std::string line = FormatLogLine(digest, GetCurrentProcessId(), text);
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == line.size();
}

} // namespace NTessik
