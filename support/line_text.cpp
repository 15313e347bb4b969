#include "support/line_text.h"

#include <cstring>

#include "support/mbcs.h"

namespace {

bool NeedsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == '%';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::string EscapeLineText(const char* text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    if (text == nullptr)
        return out;
    const size_t length = std::strlen(text);
    out.reserve(length + length / 8 + 8);
    // Runs of plain bytes are copied whole: this sits on the send path.
    const char* run = text;
    const char* p = text;
    for (; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (!NeedsEscape(c))
            continue;
        out.append(run, p - run);
        const char escape[3] = {'%', kHex[c >> 4], kHex[c & 0x0F]};
        out.append(escape, 3);
        run = p + 1;
    }
    out.append(run, p - run);
    return out;
}

std::string EscapeLineText(const std::string& text) {
    return EscapeLineText(text.c_str());
}

std::string UnescapeLineText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            const int value = HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]);
            // A NUL would end the text early wherever it goes next.
            if (value != 0)
                out += static_cast<char>(value);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string CutText(const std::string& text, size_t maxBytes, const char* mark) {
    if (text.size() <= maxBytes)
        return text;
    size_t pos = 0;
    const char* p = text.c_str();
    while (pos < text.size()) {
        const size_t length = CharLength(p + pos);
        if (pos + length > maxBytes)
            break;
        pos += length;
    }
    return text.substr(0, pos) + (mark != nullptr ? mark : "");
}

std::string FlattenControls(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            c = ' ';
    }
    return out;
}

bool IsTornText(const std::string& data, const std::string& firstLine) {
    const size_t last = data.find_last_not_of('\0');
    const size_t kept = last == std::string::npos ? 0 : last + 1;
    if (kept <= firstLine.size())
        return data.compare(0, kept, firstLine, 0, kept) == 0;
    return data.compare(0, firstLine.size(), firstLine) == 0;
}
