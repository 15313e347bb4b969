#include "settings/ini_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "support/int_parse.h"
#include "support/mbcs.h"

namespace {

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

const size_t kMaxValueBuffer = 16 * 1024 * 1024;

} // namespace

// A path cut short could name another file, so a path that does not fit is
// not used at all.
SIniFile::SIniFile(const char* path) : path_(), pathTooLong_(false) {
    path = OrEmpty(path);
    if (std::strlen(path) >= sizeof path_) {
        pathTooLong_ = true;
        return;
    }
    CopyMbcs(path_, sizeof path_, path);
}

SIniFile::~SIniFile() {}

// Map nodes never move, so the c_str() of an unchanged value stays the same
// pointer from call to call.
const char* SIniFile::Store(const char* section, const char* key, const char* value) {
    std::string& stored = store_[section][key];
    if (stored != value)
        stored = value;
    return stored.c_str();
}

const char* SIniFile::GetString(const char* section, const char* key, const char* defaultValue) {
    section = OrEmpty(section);
    key = OrEmpty(key);
    if (pathTooLong_)
        return Store(section, key, OrEmpty(defaultValue));
    // A result of size - 1 may have been cut: read again with twice the room.
    std::vector<char> buffer(256);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetPrivateProfileStringA(section, key, OrEmpty(defaultValue),
                                                      buffer.data(), size, path_);
        if (length < size - 1 || buffer.size() >= kMaxValueBuffer)
            break;
        buffer.assign(buffer.size() * 2, '\0');
    }
    return Store(section, key, buffer.data());
}

int32_t SIniFile::GetInt(const char* section, const char* key, int32_t defaultValue) {
    section = OrEmpty(section);
    key = OrEmpty(key);
    if (pathTooLong_)
        return defaultValue;
    char defaultText[32];
    std::snprintf(defaultText, sizeof defaultText, "%d", static_cast<int>(defaultValue));
    char buffer[512];
    const DWORD length =
        GetPrivateProfileStringA(section, key, defaultText, buffer, sizeof buffer, path_);
    if (length > 0)
        return ParsePrefixedInt(buffer);
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, defaultValue, path_));
}

const char* SIniFile::SetString(const char* section, const char* key, const char* value,
                                bool writeToFile) {
    section = OrEmpty(section);
    key = OrEmpty(key);
    value = OrEmpty(value);
    if (writeToFile && pathTooLong_)
        return nullptr;
    if (writeToFile && !WritePrivateProfileStringA(section, key, value, path_))
        return nullptr;
    return Store(section, key, value);
}

bool SIniFile::SetInt(const char* section, const char* key, int32_t value) {
    if (pathTooLong_)
        return false;
    char text[32];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return WritePrivateProfileStringA(OrEmpty(section), OrEmpty(key), text, path_) != 0;
}
