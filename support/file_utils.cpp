#include "support/file_utils.h"

#include <windows.h>
#include <shlobj.h>

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
