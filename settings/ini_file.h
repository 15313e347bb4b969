#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class SIniText;

// A whole INI file as text in the system's code page: a file saved as UTF-8 (with a byte order
// mark or without) or as UTF-16 with one is converted. False, and why in Japanese, for a file
// that cannot be read or converted. A file another program holds open without sharing is
// tried again for up to waitMs.
bool ReadIniFileAsAnsi(const char* path, std::string* text, std::string* why,
                       unsigned long waitMs = 0);

// Accessor for one private-profile (INI) file. Every text it hands out is
// its own copy: valid until the same key is read or written again with a
// different value, or until the object goes.
class SIniFile {
  public:
    explicit SIniFile(const char* path);
    virtual ~SIniFile();
    SIniFile(const SIniFile&) = delete;
    SIniFile& operator=(const SIniFile&) = delete;

    // The value in the file, or defaultValue when the key is missing; read
    // whole however long.
    const char* GetString(const char* section, const char* key, const char* defaultValue);
    // Integer with the base taken from its prefix (010 is 8, 0x1E is 30).
    // A missing or empty value gives defaultValue, text without digits 0.
    int32_t GetInt(const char* section, const char* key, int32_t defaultValue);
    // Null value is the empty text. With writeToFile a failed write returns
    // null and leaves the store as it was.
    const char* SetString(const char* section, const char* key, const char* value,
                          bool writeToFile);
    bool SetInt(const char* section, const char* key, int32_t value);

    // The value of a key and whether it is there at all.
    bool ReadValue(const char* section, const char* key, std::string* value);
    // A file with a byte order mark, or in UTF-8, is read by the plug-in itself from here on:
    // the private-profile functions would lose its first section or misread its text. False, and
    // why, when the file cannot be read as meant; it then counts as empty.
    bool ReadMarkedFile(std::string* why);

    const char* Path() const { return path_; }
    bool HasPath() const { return !pathTooLong_; }

  private:
    const char* Store(const char* section, const char* key, const char* value);

    char path_[260];
    bool pathTooLong_; // then nothing reaches any file
    std::map<std::string, std::map<std::string, std::string>> store_;
    std::shared_ptr<SIniText> marked_; // set while the file carries a byte order mark
};
