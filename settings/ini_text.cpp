#include "settings/ini_text.h"

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

ETextEncoding DetectEncoding(const std::string& bytes) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return ETextEncoding::Utf8Bom;
    if (bytes.compare(0, 2, "\xFF\xFE") == 0)
        return ETextEncoding::Utf16LeBom;
    if (bytes.compare(0, 2, "\xFE\xFF") == 0)
        return ETextEncoding::Utf16BeBom;
    return ETextEncoding::Ansi;
}

std::string RefusalText(bool read, ETextEncoding encoding) {
    if (!read)
        return "ファイルを読めません";
    switch (encoding) {
    case ETextEncoding::Utf8Bom:
        return "UTF-8 として読めないか、この環境の文字コードにない文字があります";
    case ETextEncoding::Utf16LeBom:
        return "UTF-16 として読めないか、この環境の文字コードにない文字があります";
    case ETextEncoding::Utf16BeBom:
        return "UTF-16 ビッグエンディアンには対応していません";
    default:
        return "";
    }
}

std::string WithoutBom(const std::string& bytes, ETextEncoding encoding) {
    switch (encoding) {
    case ETextEncoding::Utf8Bom:
        return bytes.substr(3);
    case ETextEncoding::Utf16LeBom:
    case ETextEncoding::Utf16BeBom:
        return bytes.substr(2);
    default:
        return bytes;
    }
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
