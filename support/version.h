// String values of a module's version resource.
#pragma once
#include <windows.h>

class SVersion {
  public:
    explicit SVersion(LPCSTR modulePath);
    ~SVersion();

    // A new copy of one value; the empty text when the key is missing.
    char* QueryString(LPCSTR key) const;

    DWORD translation;
    BYTE* buffer;
    DWORD bufferSize;
    char* companyName;
    char* fileDescription;
    char* fileVersion;
    char* internalName;
    char* legalCopyright;
    char* legalTradeMarks;
    char* originalFilename;
    char* productName;
    char* productVersion;
    char* comments;

  private:
    SVersion(const SVersion&) = delete;
    SVersion& operator=(const SVersion&) = delete;
};
