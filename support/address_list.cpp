#include "support/address_list.h"

#include <cstring>
#include <initializer_list>
#include <memory>

#include "support/mbcs.h"

namespace {

// Continuation point of the walk in progress; null when idle.
char* g_nextAddress = nullptr;

bool IsWalkBlank(unsigned char c) {
    return c >= 0x01 && c <= 0x20;
}

bool IsSkippable(unsigned char c) {
    return IsWalkBlank(c) || c == ',' || c == ';';
}

char* SkipSeparators(char* p) {
    while (IsSkippable(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

// Bytes the entry scanner must look at; everything else is passed over in
// a tight loop. Bytes from 0x80 up are checked for lead bytes (no code page
// has a lead byte below that).
struct SScanTable {
    bool stop[256];
    SScanTable() {
        for (int c = 0; c < 256; ++c)
            stop[c] = c >= 0x80;
        for (unsigned char c : {'\0', '"', '(', ',', ';'})
            stop[c] = true;
    }
};
const SScanTable kScan;

// Overwrites blanks before end with NUL, never touching start itself.
void CutTrailingBlanks(char* start, char* end) {
    while (end > start + 1 && IsWalkBlank(static_cast<unsigned char>(end[-1])))
        *--end = '\0';
}

// p is just after '('. Returns the position after the comment: past its
// ')' or the quote that closes it, or at the end of the text.
char* SkipInnerComment(char* p, bool* quoted) {
    while (*p != '\0') {
        if (IsLeadByte(static_cast<unsigned char>(*p))) {
            p += CharLength(p);
        } else if (*p == ')') {
            return p + 1;
        } else if (*p == '"' && *quoted) {
            *quoted = false;
            return p + 1;
        } else {
            ++p;
        }
    }
    return p;
}

// Returns the separator that ends the entry at start, or null when the entry
// runs to the end of the text (*end is then set to its terminating NUL).
char* FindSeparator(char* start, char** end) {
    bool quoted = false;
    char* p = start;
    for (;;) {
        while (!kScan.stop[static_cast<unsigned char>(*p)])
            ++p;
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\0')
            break;
        if (c >= 0x80) {
            p += IsLeadByte(c) ? CharLength(p) : 1;
        } else if (c == '"') {
            quoted = !quoted;
            ++p;
        } else if (c == '(') {
            p = SkipInnerComment(p + 1, &quoted);
        } else if (!quoted) {
            return p; // ',' or ';'
        } else {
            ++p;
        }
    }
    *end = p;
    return nullptr;
}

} // namespace

char* NextAddress(char* text) {
    if (text != nullptr)
        g_nextAddress = text;
    if (g_nextAddress == nullptr)
        return nullptr;

    char* start = SkipSeparators(g_nextAddress);
    if (*start == '(') {
        // One leading comment is dropped; without its ')' nothing is left.
        char* close = std::strchr(start + 1, ')');
        if (close == nullptr) {
            g_nextAddress = start + std::strlen(start);
            return nullptr;
        }
        start = SkipSeparators(close + 1);
    }

    char* end = nullptr;
    char* separator = FindSeparator(start, &end);
    if (separator != nullptr) {
        *separator = '\0';
        CutTrailingBlanks(start, separator);
        g_nextAddress = separator + 1;
        return start;
    }
    g_nextAddress = nullptr;
    if (*start == '\0')
        return nullptr;
    CutTrailingBlanks(start, end);
    return start;
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char* SkipBlanks(char* p) {
    while (IsBlank(*p))
        ++p;
    return p;
}

// The field at p up to delimiter, cut off in place; null when only
// delimiters remain.
char* TakeField(char* p, char delimiter) {
    while (*p == delimiter)
        ++p;
    if (*p == '\0')
        return nullptr;
    char* start = p;
    while (*p != '\0' && *p != delimiter)
        p += CharLength(p);
    *p = '\0';
    return start;
}

// The text between the quote at p and the next one (or the end). Taken as a
// field, an empty "" would skip both quotes and yield what follows them.
char* QuotedText(char* p) {
    char* start = p + 1;
    for (p = start; *p != '\0' && *p != '"'; p += CharLength(p)) {
    }
    *p = '\0';
    return start;
}

char* FindChar(char* p, char wanted) {
    for (; *p != '\0'; p += CharLength(p)) {
        if (*p == wanted)
            return p;
    }
    return nullptr;
}

char* FindUnquotedAngle(char* p) {
    bool quoted = false;
    for (; *p != '\0'; p += CharLength(p)) {
        if (*p == '"') {
            quoted = !quoted;
        } else if (*p == '<' && !quoted) {
            return p;
        }
    }
    return nullptr;
}

// Byte-bounded on purpose: a part longer than the output is cut at
// kAddressPartSize - 1 bytes wherever that falls.
// Trailing blanks go too, but never the output's first byte.
void CopyPart(char* out, const char* field) {
    if (field == nullptr)
        return;
    while (IsBlank(*field))
        ++field;
    size_t len = strnlen(field, kAddressPartSize - 1);
    std::memcpy(out, field, len);
    while (len > 1 && IsBlank(out[len - 1]))
        --len;
    out[len] = '\0';
}

void SplitCopy(char* name, char* address, char* start) {
    if (char* angle = FindUnquotedAngle(start)) {
        CopyPart(address, TakeField(angle + 1, '>'));
        if (*start == '"') {
            CopyPart(name, QuotedText(start));
        } else if (*start != '<') {
            CopyPart(name, TakeField(start, '<'));
        }
    } else if (char* paren = FindChar(start, '(')) {
        CopyPart(name, TakeField(paren + 1, ')'));
        CopyPart(address, TakeField(start, '('));
    } else {
        CopyPart(address, start);
    }
}

} // namespace

void SplitAddress(char* name, char* address, const char* entry) {
    name[0] = '\0';
    address[0] = '\0';
    if (entry == nullptr)
        return;

    // Most entries are short: keep the private copy on the stack.
    const size_t len = std::strlen(entry);
    char local[512];
    std::unique_ptr<char[]> heap;
    char* copy = local;
    if (len >= sizeof local) {
        heap.reset(new char[len + 1]);
        copy = heap.get();
    }
    std::memcpy(copy, entry, len + 1);

    SplitCopy(name, address, SkipBlanks(copy));
}
