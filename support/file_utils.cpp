#include "support/file_utils.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

bool PathExists(const char* path) {
    if (path == nullptr)
        return false;
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool DirectoryExists(const char* path) {
    if (path == nullptr)
        return false;
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDirectoryPath(const char* path) {
    if (path == nullptr)
        return false;
    return SHCreateDirectoryExA(nullptr, path, nullptr) == ERROR_SUCCESS;
}

namespace {

// The full path of a narrow path; false for text that is no name in the code page.
bool FullWidePath(const char* path, std::wstring* full) {
    if (path == nullptr || path[0] == '\0')
        return false;
    const int wide = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (wide <= 0)
        return false;
    std::wstring text(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, &text[0], wide);
    const DWORD size = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return false;
    full->assign(size, L'\0');
    const DWORD length = GetFullPathNameW(text.c_str(), size, &(*full)[0], nullptr);
    if (length == 0 || length >= size)
        return false;
    full->resize(length);
    return true;
}

// Each name without its trailing dots and spaces, as Windows opens "a.ini. " as "a.ini"; false
// for a name made only of them.
bool WithoutTrailingDots(const std::wstring& full, std::wstring* clean) {
    clean->clear();
    for (size_t start = 0; start <= full.size();) {
        size_t end = full.find(L'\\', start);
        if (end == std::wstring::npos)
            end = full.size();
        const std::wstring name = full.substr(start, end - start);
        const size_t kept = name.find_last_not_of(L". ");
        if (kept == std::wstring::npos && !name.empty())
            return false;
        *clean += name.substr(0, kept + 1);
        if (end < full.size())
            *clean += L'\\';
        start = end + 1;
    }
    return true;
}

// Short names expanded for the part of path that exists; the rest stays as written.
std::wstring LongForm(const std::wstring& path) {
    std::wstring head = path, tail;
    for (;;) {
        const DWORD need = GetLongPathNameW(head.c_str(), nullptr, 0);
        std::wstring longer(need, L'\0');
        const DWORD got = need ? GetLongPathNameW(head.c_str(), &longer[0], need) : 0;
        if (got > 0 && got < need)
            return longer.substr(0, got) + tail;
        const size_t cut = head.find_last_of(L'\\');
        if (cut == std::wstring::npos || cut < 3)
            return path;
        tail = head.substr(cut) + tail;
        head.erase(cut);
    }
}

// The form two paths are compared in; false when path cannot be resolved to a plain drive
// or share path (device and stream paths reach files by roads no comparison sees).
bool ResolvePath(const char* path, std::wstring* resolved) {
    std::wstring full, clean;
    if (!FullWidePath(path, &full))
        return false;
    const bool drive = full.size() >= 3 && full[1] == L':' && full[2] == L'\\';
    const bool share =
        full.compare(0, 2, L"\\\\") == 0 && full.size() > 2 && full[2] != L'?' && full[2] != L'.';
    if ((!drive && !share) || full.find(L':', 2) != std::wstring::npos ||
        !WithoutTrailingDots(full, &clean))
        return false;
    *resolved = LongForm(clean);
    return true;
}

} // namespace

bool PathMayLieIn(const char* path, const char* target) {
    std::wstring a, b;
    if (!ResolvePath(path, &a) || !ResolvePath(target, &b))
        return true;
    while (b.size() > 3 && b.back() == L'\\')
        b.pop_back();
    if (a.size() < b.size() ||
        CompareStringOrdinal(a.c_str(), static_cast<int>(b.size()), b.c_str(),
                             static_cast<int>(b.size()), TRUE) != CSTR_EQUAL)
        return false;
    return a.size() == b.size() || a[b.size()] == L'\\' || b.back() == L'\\';
}

bool ReplaceFileWhole(const char* path, const char* temporary, const std::string& data) {
    if (path == nullptr || temporary == nullptr)
        return false;
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    // Without the flush the rename can reach the disk before the data: a power loss then
    // leaves a file of the right name that is empty or all NUL.
    const bool ok =
        WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
        written == data.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok && MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD error = GetLastError();
    DeleteFileA(temporary);
    SetLastError(error);
    return false;
}

std::string ProcessTemporaryName(const char* path) {
    return std::string(path != nullptr ? path : "") + "." + std::to_string(GetCurrentProcessId()) +
           ".tmp";
}

void RemoveStaleTemporaries(const char* path) {
    if (path == nullptr || path[0] == '\0')
        return;
    const std::string base(path);
    const size_t slash = base.find_last_of("\\/");
    const std::string folder =
        slash == std::string::npos ? std::string() : base.substr(0, slash + 1);
    const std::string name = base.substr(folder.size());
    std::vector<std::string> stale;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG hour = 36000000000ull; // in 100 ns
    const ULONGLONG nowTicks =
        (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((base + ".*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string candidate = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            candidate.size() < name.size() + 4 || candidate.compare(0, name.size(), name) != 0 ||
            candidate.compare(candidate.size() - 4, 4, ".tmp") != 0)
            continue;
        // Between the name and ".tmp": nothing, or "." and a process id.
        const std::string middle =
            candidate.substr(name.size(), candidate.size() - name.size() - 4);
        if (!middle.empty() && (middle.size() < 2 || middle[0] != '.' ||
                                middle.find_first_not_of("0123456789", 1) != std::string::npos))
            continue;
        const ULONGLONG written =
            (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) |
            found.ftLastWriteTime.dwLowDateTime;
        if (written + hour <= nowTicks)
            stale.push_back(folder + candidate);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& file : stale)
        DeleteFileA(file.c_str());
}

namespace {

bool SameFileState(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.nFileSizeHigh == b.nFileSizeHigh && a.nFileSizeLow == b.nFileSizeLow &&
           CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

} // namespace

EFileRead ReadFileWhole(const char* path, size_t limit, std::string* data) {
    data->clear();
    if (path == nullptr)
        return kFileUnreadable;
    // Shared for writing and renaming: another client's write must not fail for a read; what
    // it changes in place meanwhile is caught below.
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? kFileMissing
                                                                              : kFileUnreadable;
    }
    BY_HANDLE_FILE_INFORMATION before = {}, after = {};
    EFileRead result = kFileUnreadable;
    if (GetFileInformationByHandle(file, &before) &&
        (before.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && before.nFileSizeHigh == 0 &&
        before.nFileSizeLow <= limit) {
        data->resize(before.nFileSizeLow);
        DWORD read = 0;
        const bool readOk =
            data->empty() ||
            ReadFile(file, &(*data)[0], static_cast<DWORD>(data->size()), &read, nullptr);
        // Fewer bytes than the size said, or one more: a file that shrank or grew meanwhile.
        char extra = 0;
        DWORD more = 0;
        const bool ended = ReadFile(file, &extra, 1, &more, nullptr) && more == 0;
        if (!readOk)
            result = kFileUnreadable;
        else if (read != data->size() || !ended || !GetFileInformationByHandle(file, &after) ||
                 !SameFileState(before, after))
            result = kFileChanged;
        else
            result = kFileRead;
    }
    CloseHandle(file);
    if (result != kFileRead)
        data->clear();
    return result;
}
