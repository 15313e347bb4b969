#pragma once

#include <cstdint>
#include <map>
#include <string>

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

    const char* Path() const { return path_; }
    bool HasPath() const { return !pathTooLong_; }

  private:
    const char* Store(const char* section, const char* key, const char* value);

    char path_[260];
    bool pathTooLong_; // then nothing reaches any file
    std::map<std::string, std::map<std::string, std::string>> store_;
};
