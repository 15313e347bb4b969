#include "support/text_copy.h"

#include <cstring>

char* NewTextCopy(const char* text) {
    if (!text)
        return nullptr;
    size_t size = strlen(text) + 1;
    char* copy = new char[size];
    memcpy(copy, text, size);
    return copy;
}
