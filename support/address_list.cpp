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
        for (unsigned char c : {'\0', '"', '(', ',', ';', '\\'})
            stop[c] = true;
    }
};
const SScanTable kScan;

// Overwrites blanks before end with NUL, never touching start itself.
void CutTrailingBlanks(char* start, char* end) {
    while (end > start + 1 && IsWalkBlank(static_cast<unsigned char>(end[-1])))
        *--end = '\0';
}

// Length of the character a backslash escapes; 0 at the end of the text.
size_t EscapedLength(const char* p) {
    return *p != '\0' ? CharLength(p) : 0;
}

// p is just after '('. Returns the position past its ')', or null when the
// comment runs to the end of the text (*end is then set to its NUL).
char* SkipComment(char* p, char** end) {
    while (*p != '\0') {
        if (IsLeadByte(static_cast<unsigned char>(*p))) {
            p += CharLength(p);
        } else if (*p == '\\') {
            p += 1 + EscapedLength(p + 1);
        } else if (*p == ')') {
            return p + 1;
        } else {
            ++p;
        }
    }
    *end = p;
    return nullptr;
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
        } else if (c == '\\') {
            // A quoted pair; outside quotes a backslash is an ordinary byte.
            p += quoted ? 1 + EscapedLength(p + 1) : 1;
        } else if (c == '"') {
            quoted = !quoted;
            ++p;
        } else if (c == '(' && !quoted) { // inside quotes it is text
            p = SkipComment(p + 1, end);
            if (p == nullptr)
                return nullptr;
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
        // One leading comment is dropped; left open, it is the entry itself, so the
        // addresses it swallowed still count.
        char* end = nullptr;
        if (char* after = SkipComment(start + 1, &end))
            start = SkipSeparators(after);
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

namespace {

// Reads one entry the strict way: comments dropped (nested), quoted pairs kept whole, the
// display name before '<' left out. Anything unexpected makes the entry unusable.
class SPlainScan {
  public:
    explicit SPlainScan(char* out) : out_(out) {}
    bool Run(const char* entry);

  private:
    void Keep(const char* p, size_t n);
    bool Outside(const char* p);

    char* out_;
    size_t length_ = 0;
    bool overflow_ = false;
    int depth_ = 0;
    bool quoted_ = false;
    int angle_ = 0; // 0 none yet, 1 open, 2 closed
    bool atInName_ = false;
};

void SPlainScan::Keep(const char* p, size_t n) {
    if (length_ + n >= static_cast<size_t>(kAddressPartSize)) {
        overflow_ = true;
        return;
    }
    std::memcpy(out_ + length_, p, n);
    length_ += n;
}

// One character outside quotes and comments; false ends the scan as unusable.
bool SPlainScan::Outside(const char* p) {
    switch (*p) {
    case '(':
        depth_ = 1;
        return true;
    case '<':
        // A second '<', or an '@' in the name, is a list that lost its comma.
        if (angle_ != 0 || atInName_)
            return false;
        angle_ = 1;
        length_ = 0;
        overflow_ = false;
        return true;
    case '>':
        if (angle_ != 1)
            return false;
        angle_ = 2;
        return true;
    default:
        break;
    }
    if (angle_ == 2)
        return IsWalkBlank(static_cast<unsigned char>(*p));
    if (*p == '@' && angle_ == 0)
        atInName_ = true;
    if (*p == '"')
        quoted_ = true;
    Keep(p, CharLength(p));
    return true;
}

// ASCII bytes an entry's text is mostly made of, taken in runs: outside quotes and comments
// (plain[]) and inside quotes (quoted[]).
struct SRunTable {
    bool plain[256];
    bool quoted[256];
    SRunTable() {
        for (int c = 0; c < 256; ++c)
            plain[c] = quoted[c] = c >= 0x01 && c < 0x80;
        for (unsigned char c : {'(', '"', '<', '>', '@', '\\'})
            plain[c] = false;
        for (unsigned char c : {'"', '\\'})
            quoted[c] = false;
    }
};
const SRunTable kRun;

bool SPlainScan::Run(const char* entry) {
    for (const char* p = entry; *p != '\0';) {
        const bool* run = quoted_ ? kRun.quoted : kRun.plain;
        if (depth_ == 0 && angle_ != 2 && run[static_cast<unsigned char>(*p)]) {
            const char* start = p;
            while (run[static_cast<unsigned char>(*++p)]) {
            }
            Keep(start, static_cast<size_t>(p - start));
            continue;
        }
        // A lead byte with no trail byte is broken text (often another code page's): it may
        // have hidden a delimiter from whoever wrote the entry, so nothing in it is trusted.
        if (IsBrokenLead(p) || (*p == '\\' && IsBrokenLead(p + 1)))
            return false;
        const size_t n = CharLength(p);
        if (depth_ > 0) {
            if (*p == '\\')
                p += EscapedLength(p + 1);
            else if (*p == '(')
                ++depth_;
            else if (*p == ')')
                --depth_;
        } else if (quoted_) {
            const size_t pair = *p == '\\' ? EscapedLength(p + 1) : 0;
            quoted_ = *p != '"';
            Keep(p, n + pair);
            p += pair;
        } else if (!Outside(p)) {
            return false;
        }
        p += n;
    }
    out_[length_] = '\0';
    return !overflow_ && depth_ == 0 && !quoted_ && angle_ != 1;
}

// Bytes no plain address holds.
struct SPlainTable {
    bool refuse[256];
    SPlainTable() {
        for (int c = 0; c < 256; ++c)
            refuse[c] = c <= 0x20 || c == 0x7F;
        for (unsigned char c : {'"', '<', '>', '(', ')', '\\', ',', ';'})
            refuse[c] = true;
    }
};
const SPlainTable kPlain;

// The domain of one local@domain with nothing else in it, or null.
const char* PlainDomain(const char* address) {
    const char* at = nullptr;
    for (const char* p = address; *p != '\0'; p += CharLength(p)) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (kPlain.refuse[c] || (c == 0x81 && p[1] == 0x40)) // full-width blank
            return nullptr;
        if (c == '@') {
            if (at != nullptr)
                return nullptr;
            at = p;
        }
    }
    if (at == nullptr || at == address || at[1] == '\0')
        return nullptr;
    return at + 1;
}

char* TrimWalkBlanks(char* text) {
    while (IsWalkBlank(static_cast<unsigned char>(*text)))
        ++text;
    size_t length = std::strlen(text);
    while (length > 0 && IsWalkBlank(static_cast<unsigned char>(text[length - 1])))
        text[--length] = '\0';
    return text;
}

} // namespace

const char* PlainAddressDomain(const char* entry, char* address) {
    address[0] = '\0';
    if (entry == nullptr || !SPlainScan(address).Run(entry))
        return nullptr;
    char* trimmed = TrimWalkBlanks(address);
    if (trimmed != address)
        std::memmove(address, trimmed, std::strlen(trimmed) + 1);
    return PlainDomain(address);
}
