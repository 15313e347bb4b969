#include "support/path_utils.h"

#include <cstring>

#include "support/mbcs.h"

namespace {

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/' || c == ':';
}

// Backward step over one character. Going backward cannot know where
// characters start, so a Shift-JIS lead byte before a possible trail byte
// decides, whatever the code page.
size_t StepBack(const unsigned char* s, size_t pos) {
    if (pos >= 2) {
        const unsigned char trail = s[pos - 1];
        if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F && IsShiftJisLeadByte(s[pos - 2]))
            return pos - 2;
    }
    return pos - 1;
}

struct SPathParts {
    size_t driveEnd = 0; // the directory starts here too
    size_t nameStart = 0;
    size_t nameEnd = 0; // the extension starts here
    size_t length = 0;
};

size_t FindNameStart(const unsigned char* s, size_t pos) {
    while (pos > 0) {
        pos = StepBack(s, pos);
        if (IsPathSeparator(static_cast<char>(s[pos])))
            return pos + 1;
    }
    return 0;
}

SPathParts ParsePath(const char* path) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(path);
    SPathParts parts;
    parts.length = std::strlen(path);
    parts.nameEnd = parts.length;

    // Look for the extension's dot, stopping short of the first byte.
    size_t pos = parts.length;
    bool separatorFound = false;
    while (pos > 0) {
        const size_t prev = StepBack(s, pos);
        if (prev == 0)
            break;
        if (s[prev] == '.') {
            parts.nameEnd = prev;
            pos = prev;
            break;
        }
        if (IsPathSeparator(static_cast<char>(s[prev]))) {
            parts.nameStart = prev + 1;
            separatorFound = true;
            break;
        }
        pos = prev;
    }
    if (!separatorFound)
        parts.nameStart = FindNameStart(s, pos);

    for (size_t i = 0; i < parts.length; i += CharLength(path + i)) {
        if (path[i] == ':') {
            parts.driveEnd = i + 1;
            break;
        }
    }
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
