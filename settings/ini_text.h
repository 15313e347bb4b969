// The text of an INI file read by the plug-in itself, for files the private-profile functions
// would misread: a deployed file saved with a byte order mark. Win32-free.
#pragma once

#include <map>
#include <string>

enum class ETextEncoding {
    Ansi, // Shift-JIS, the system's code page
    Utf8, // no mark, but valid UTF-8 with a character of more than one byte
    Utf8Bom,
    Utf16LeBom,
    Utf16BeBom,
    Utf32Bom,  // either byte order: refused
    UnknownBom // the mark of another Unicode form: refused
};

// Text without a mark is UTF-8 only when it is valid UTF-8 and holds a multi-byte sequence:
// plain ASCII and Shift-JIS stay the code page's.
ETextEncoding DetectEncoding(const std::string& bytes);
// The bytes after the mark.
std::string WithoutBom(const std::string& bytes, ETextEncoding encoding);
// Why a file could not be read, for the log: unread, or not convertible from its encoding.
std::string RefusalText(bool read, ETextEncoding encoding);
// Why, for a file another program keeps open without sharing.
std::string LockedRefusalText();

// Sections and keys without regard to ASCII case, as the private-profile functions look them
// up; a key given twice takes its last value.
class SIniText {
  public:
    explicit SIniText(const std::string& text);
    bool Find(const char* section, const char* key, std::string* value) const;
    // In whichever section the key stands: the policy file's keys are unique.
    bool FindAnySection(const char* key, std::string* value) const;

  private:
    std::map<std::string, std::map<std::string, std::string>> sections_;
};
