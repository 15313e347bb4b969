#include "settings/ini_text.h"

#include "support/shift_jis.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string Trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && (text[first] == ' ' || text[first] == '\t'))
        ++first;
    while (last > first &&
           (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r'))
        --last;
    return text.substr(first, last - first);
}

} // namespace

namespace {

bool StartsWith(const std::string& bytes, const char* mark, size_t size) {
    return bytes.size() >= size && bytes.compare(0, size, mark, size) == 0;
}

// Strict, as NextUtf8 reads it: no overlong form, no surrogate, nothing above U+10FFFF.
bool IsUtf8WithMultiByte(const std::string& bytes) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = p + bytes.size();
    bool multiByte = false;
    uint32_t code = 0;
    while (p < end) {
        if (!NextUtf8(&p, end, &code))
            return false;
        multiByte = multiByte || code >= 0x80;
    }
    return multiByte;
}

} // namespace

ETextEncoding DetectEncoding(const std::string& bytes) {
    // UTF-32 little endian begins with the UTF-16 mark: it is looked at first.
    if (StartsWith(bytes, "\xFF\xFE\0\0", 4) || StartsWith(bytes, "\0\0\xFE\xFF", 4))
        return ETextEncoding::Utf32Bom;
    if (StartsWith(bytes, "\xEF\xBB\xBF", 3))
        return ETextEncoding::Utf8Bom;
    if (StartsWith(bytes, "\xFF\xFE", 2))
        return ETextEncoding::Utf16LeBom;
    if (StartsWith(bytes, "\xFE\xFF", 2))
        return ETextEncoding::Utf16BeBom;
    // UTF-7, UTF-1, UTF-EBCDIC, SCSU, BOCU-1 and GB 18030: no settings file starts so.
    static const char* const kOtherMarks[] = {"+/v8",         "+/v9",         "+/v+",
                                              "+/v/",         "\xF7\x64\x4C", "\xDD\x73\x66\x73",
                                              "\x0E\xFE\xFF", "\xFB\xEE\x28", "\x84\x31\x95\x33"};
    for (const char* mark : kOtherMarks) {
        if (StartsWith(bytes, mark, std::char_traits<char>::length(mark)))
            return ETextEncoding::UnknownBom;
    }
    return IsUtf8WithMultiByte(bytes) ? ETextEncoding::Utf8 : ETextEncoding::Ansi;
}

std::string RefusalText(bool read, ETextEncoding encoding) {
    if (!read)
        return "ファイルを読めません";
    switch (encoding) {
    case ETextEncoding::Utf8:
    case ETextEncoding::Utf8Bom:
        return "UTF-8 として読めないか、この環境の文字コードにない文字があります";
    case ETextEncoding::Utf16LeBom:
        return "UTF-16 として読めないか、この環境の文字コードにない文字があります";
    case ETextEncoding::Utf16BeBom:
        return "UTF-16 ビッグエンディアンには対応していません";
    case ETextEncoding::Utf32Bom:
        return "UTF-32 には対応していません";
    case ETextEncoding::UnknownBom:
        return "この文字コードには対応していません";
    case ETextEncoding::Ansi:
        return "";
    }
    return "";
}

std::string LockedRefusalText() {
    return "ほかのプログラムが共有せずに開いています";
}

std::string WithoutBom(const std::string& bytes, ETextEncoding encoding) {
    switch (encoding) {
    case ETextEncoding::Utf8Bom:
        return bytes.substr(3);
    case ETextEncoding::Utf16LeBom:
    case ETextEncoding::Utf16BeBom:
        return bytes.substr(2);
    case ETextEncoding::Ansi:
    case ETextEncoding::Utf8:
    case ETextEncoding::Utf32Bom:
    case ETextEncoding::UnknownBom:
        return bytes;
    }
    return bytes;
}

SIniText::SIniText(const std::string& text) {
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            section = Lower(Trimmed(
                line.substr(1, close == std::string::npos ? std::string::npos : close - 1)));
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string value = Trimmed(line.substr(equals + 1));
        // As the private-profile functions give it: one pair of enclosing quotes goes.
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        sections_[section][Lower(Trimmed(line.substr(0, equals)))] = value;
    }
}

bool SIniText::Find(const char* section, const char* key, std::string* value) const {
    const auto found = sections_.find(Lower(section));
    if (found == sections_.end())
        return false;
    const auto entry = found->second.find(Lower(key));
    if (entry == found->second.end())
        return false;
    *value = entry->second;
    return true;
}

bool SIniText::FindAnySection(const char* key, std::string* value) const {
    bool any = false;
    for (const auto& section : sections_)
        any = Find(section.first.c_str(), key, value) || any;
    return any;
}
