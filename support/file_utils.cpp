#include "support/file_utils.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

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
