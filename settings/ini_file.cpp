#include "settings/ini_file.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "settings/ini_text.h"
#include "support/code_page.h"
#include "support/int_parse.h"
#include "support/mbcs.h"

namespace {

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

const size_t kMaxValueBuffer = 16 * 1024 * 1024;
// A settings file this large is not one anybody wrote.
const DWORD kMaxMarkedFile = 4 * 1024 * 1024;

// Another program holding the file open without sharing is waited for up to waitMs.
bool ReadFileBytes(const char* path, std::string* bytes, DWORD waitMs = 0, bool* locked = nullptr) {
    const DWORD start = GetTickCount();
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (;;) {
        file = CreateFileA(path, GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        const DWORD error = GetLastError();
        const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        if (locked != nullptr)
            *locked = file == INVALID_HANDLE_VALUE && busy;
        if (file != INVALID_HANDLE_VALUE || !busy || GetTickCount() - start >= waitMs)
            break;
        // A writer that shares at least reading or deleting is let in from the second try on.
        share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        Sleep(50);
    }
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = GetFileSize(file, nullptr);
    bool read = size != INVALID_FILE_SIZE && size <= kMaxMarkedFile;
    if (read) {
        bytes->assign(size, '\0');
        DWORD got = 0;
        read = size == 0 || (ReadFile(file, &(*bytes)[0], size, &got, nullptr) && got == size);
    }
    CloseHandle(file);
    return read;
}

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
    std::string marked;
    if (marked_)
        return Store(section, key,
                     marked_->Find(section, key, &marked) ? marked.c_str() : OrEmpty(defaultValue));
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
    std::string marked;
    if (marked_ && marked_->Find(section, key, &marked))
        return marked.empty() ? defaultValue : ParsePrefixedInt(marked.c_str());
    if (marked_)
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

bool ReadIniFileAsAnsi(const char* path, std::string* text, std::string* why,
                       unsigned long waitMs) {
    std::string bytes;
    bool locked = false;
    if (!ReadFileBytes(OrEmpty(path), &bytes, waitMs, &locked)) {
        *why = locked ? LockedRefusalText() : RefusalText(false, ETextEncoding::Ansi);
        return false;
    }
    const ETextEncoding encoding = DetectEncoding(bytes);
    const std::string body = WithoutBom(bytes, encoding);
    std::wstring wide;
    switch (encoding) {
    case ETextEncoding::Ansi:
        *text = body;
        return true;
    case ETextEncoding::Utf8:
    case ETextEncoding::Utf8Bom:
        if (Utf8ToWide(body, &wide, true) && WideToAnsi(wide, text, true))
            return true;
        break;
    case ETextEncoding::Utf16LeBom:
        wide.assign(reinterpret_cast<const wchar_t*>(body.data()), body.size() / 2);
        if (body.size() % 2 == 0 && WideToAnsi(wide, text, true))
            return true;
        break;
    case ETextEncoding::Utf16BeBom:
    case ETextEncoding::Utf32Bom:
    case ETextEncoding::UnknownBom:
        break;
    }
    *why = RefusalText(true, encoding);
    return false;
}

bool SIniFile::ReadMarkedFile(std::string* why) {
    marked_.reset();
    std::string bytes;
    if (pathTooLong_ || !ReadFileBytes(path_, &bytes) ||
        DetectEncoding(bytes) == ETextEncoding::Ansi)
        return true;
    std::string text;
    const bool read = ReadIniFileAsAnsi(path_, &text, why);
    marked_ = std::make_shared<SIniText>(read ? text : std::string());
    return read;
}

bool SIniFile::ReadValue(const char* section, const char* key, std::string* value) {
    section = OrEmpty(section);
    key = OrEmpty(key);
    if (marked_) {
        if (!marked_->Find(section, key, value))
            return false;
        Store(section, key, value->c_str());
        return true;
    }
    // No value a person writes starts with this byte.
    static const char kMissing[] = "\x01";
    *value = GetString(section, key, kMissing);
    return *value != kMissing;
}
