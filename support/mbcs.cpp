#include "support/mbcs.h"

#ifdef _WIN32
#include <mbctype.h>
#endif

bool IsHighLeadByte(unsigned char c) {
#ifdef _WIN32
    return _ismbblead(c) != 0;
#else
    return IsShiftJisLeadByte(c);
#endif
}

bool IsCharBoundary(const char* text, size_t offset) {
    size_t pos = 0;
    while (pos < offset && text[pos] != '\0')
        pos += CharLength(text + pos);
    return pos == offset;
}

size_t CopyMbcsN(char* dst, size_t size, const char* src, size_t count) {
    if (dst == nullptr || size == 0)
        return 0;
    size_t pos = 0;
    if (src != nullptr) {
        while (pos < count && src[pos] != '\0') {
            size_t len = CharLength(src + pos);
            if (pos + len > count)
                len = 1; // the region ends inside the pair
            if (pos + len > size - 1)
                break;
            for (size_t i = 0; i < len; ++i)
                dst[pos + i] = src[pos + i];
            pos += len;
        }
    }
    dst[pos] = '\0';
    return pos;
}

size_t CopyMbcs(char* dst, size_t size, const char* src) {
    return CopyMbcsN(dst, size, src, static_cast<size_t>(-1));
}
