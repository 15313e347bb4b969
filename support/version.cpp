#include "support/version.h"

#include "support/text_copy.h"

#include <cstdio>
#include <cstring>

namespace {

const DWORD kDefaultTranslation = 0x04B00409;
const size_t kValueSize = 2048;

} // namespace

SVersion::SVersion(LPCSTR modulePath)
    : translation(kDefaultTranslation), buffer(nullptr), bufferSize(0), companyName(nullptr),
      fileDescription(nullptr), fileVersion(nullptr), internalName(nullptr),
      legalCopyright(nullptr), legalTradeMarks(nullptr), originalFilename(nullptr),
      productName(nullptr), productVersion(nullptr), comments(nullptr) {
    DWORD handle = 0;
    bufferSize = GetFileVersionInfoSizeA(modulePath, &handle);
    if (bufferSize == 0)
        return;
    buffer = new BYTE[bufferSize];
    if (!GetFileVersionInfoA(modulePath, 0, bufferSize, buffer)) {
        delete[] buffer;
        buffer = nullptr;
        return;
    }
    LPVOID table = nullptr;
    UINT tableSize = 0;
    if (VerQueryValueA(buffer, "\\VarFileInfo\\Translation", &table, &tableSize) && table &&
        tableSize >= sizeof(DWORD))
        memcpy(&translation, table, sizeof(DWORD));
    companyName = QueryString("CompanyName");
    fileDescription = QueryString("FileDescription");
    fileVersion = QueryString("FileVersion");
    internalName = QueryString("InternalName");
    legalCopyright = QueryString("LegalCopyright");
    legalTradeMarks = QueryString("LegalTradeMarks");
    originalFilename = QueryString("OriginalFilename");
    productName = QueryString("ProductName");
    productVersion = QueryString("ProductVersion");
    comments = QueryString("Comments");
}

SVersion::~SVersion() {
    char* values[] = {companyName,    fileDescription, fileVersion,      internalName,
                      legalCopyright, legalTradeMarks, originalFilename, productName,
                      productVersion, comments};
    for (char* value : values)
        delete[] value;
    delete[] buffer;
}

char* SVersion::QueryString(LPCSTR key) const {
    char value[kValueSize] = "";
    if (buffer && key) {
        char block[300];
        snprintf(block, sizeof(block), "\\StringFileInfo\\%04X%04X\\%s",
                 static_cast<unsigned>(LOWORD(translation)),
                 static_cast<unsigned>(HIWORD(translation)), key);
        LPVOID found = nullptr;
        UINT length = 0;
        if (VerQueryValueA(buffer, block, &found, &length) && found) {
            // The reported length counts UTF-16 units for a converted resource, not bytes.
            size_t n = strnlen(static_cast<const char*>(found), kValueSize - 1);
            memcpy(value, found, n);
            value[n] = '\0';
        }
    }
    return NewTextCopy(value);
}
