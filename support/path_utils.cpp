#include "support/path_utils.h"

#include <cstring>

#include "support/mbcs.h"

namespace {

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

struct SPathParts {
    size_t driveEnd = 0; // the directory starts here too
    size_t nameStart = 0;
    size_t nameEnd = 0; // the extension starts here
    size_t length = 0;
};

// One pass from the start: stepping backwards cannot tell a trail byte 0x5C from a real '\'.
SPathParts ParsePath(const char* path) {
    SPathParts parts;
    parts.length = std::strlen(path);
    size_t dot = 0; // a dot at the very start is no extension
    bool driveFound = false;
    for (size_t i = 0; i < parts.length; i += CharLength(path + i)) {
        const char c = path[i];
        if (IsPathSeparator(c)) {
            parts.nameStart = i + 1;
            dot = 0;
        } else if (c == '.' && i > 0) {
            dot = i;
        }
        if (c == ':' && !driveFound) {
            parts.driveEnd = i + 1;
            driveFound = true;
        }
    }
    parts.nameEnd = dot > 0 ? dot : parts.length;
    if (parts.driveEnd > parts.nameStart)
        parts.driveEnd = parts.nameStart;
    return parts;
}

void CopyOut(char* out, size_t size, const char* from, size_t count) {
    if (out != nullptr && size > 0)
        CopyMbcsN(out, size, from, count);
}

} // namespace

void SplitPath(const char* path, char* drive, size_t driveSize, char* directory,
               size_t directorySize, char* name, size_t nameSize, char* extension,
               size_t extensionSize) {
    CopyOut(drive, driveSize, "", 0);
    CopyOut(directory, directorySize, "", 0);
    CopyOut(name, nameSize, "", 0);
    CopyOut(extension, extensionSize, "", 0);
    if (path == nullptr)
        return;

    const SPathParts parts = ParsePath(path);
    CopyOut(drive, driveSize, path, parts.driveEnd);
    CopyOut(directory, directorySize, path + parts.driveEnd, parts.nameStart - parts.driveEnd);
    CopyOut(name, nameSize, path + parts.nameStart, parts.nameEnd - parts.nameStart);
    CopyOut(extension, extensionSize, path + parts.nameEnd, parts.length - parts.nameEnd);
}

// Works on the parts in place rather than in fixed part buffers, so a long
// folder is never cut short.
size_t ChangeExtension(char* output, size_t outputSize, const char* path,
                       const char* newExtension) {
    if (path == nullptr)
        path = "";
    if (newExtension == nullptr)
        newExtension = "";
    const SPathParts parts = ParsePath(path);
    const size_t extensionLength = std::strlen(newExtension);
    const size_t needed = parts.nameEnd + extensionLength + 4;
    if (output == nullptr || outputSize < needed)
        return needed;

    std::string result(path, parts.nameStart);
    const char last = result.empty() ? '\0' : result.back();
    if (parts.nameStart > parts.driveEnd && last != '\\' && last != '/')
        result += '\\';
    result.append(path + parts.nameStart, parts.nameEnd - parts.nameStart);
    if (extensionLength > 0 && newExtension[0] != '.')
        result += '.';
    result += newExtension;
    std::memcpy(output, result.c_str(), result.size() + 1);
    return 0;
}

size_t TrimSuffix(char* text, const char* suffix) {
    if (text == nullptr)
        return 0;
    const size_t length = std::strlen(text);
    if (suffix == nullptr)
        return length;
    const size_t suffixLength = std::strlen(suffix);
    if (suffixLength >= length)
        return length;
    const size_t cut = length - suffixLength;
    if (std::memcmp(text + cut, suffix, suffixLength) != 0)
        return length;
    if (!IsCharBoundary(text, cut))
        return length;
    std::memset(text + cut, '\0', suffixLength);
    return cut;
}

// The system's longest path; a longer folder is cut, as every caller's own buffer was.
const size_t kMaxPathText = 260;

std::string FolderOf(const char* path) {
    char drive[kMaxPathText] = "";
    char directory[kMaxPathText] = "";
    SplitPath(path, drive, sizeof drive, directory, sizeof directory, nullptr, 0, nullptr, 0);
    return std::string(drive) + directory;
}

std::string JoinPath(const char* first, const char* second) {
    std::string path(first);
    size_t length = path.size();
    bool endsInSeparator =
        length > 0 && path[length - 1] == '\\' && IsCharBoundary(first, length - 1);
    if (!endsInSeparator)
        path += '\\';
    path += second;
    return path;
}

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
    if (from.empty())
        return text;
    std::string result;
    size_t pos = 0;
    for (;;) {
        const size_t found = text.find(from, pos);
        if (found == std::string::npos)
            break;
        result.append(text, pos, found - pos);
        result += to;
        pos = found + from.size();
    }
    result.append(text, pos, std::string::npos);
    return result;
}
