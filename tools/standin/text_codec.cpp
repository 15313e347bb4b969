#include "tools/standin/text_codec.h"

#include <windows.h>

#include <vector>

std::string Utf8ToAnsi(const std::string& utf8) {
    if (utf8.empty())
        return utf8;
    int wide =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wide <= 0)
        return utf8;
    std::vector<wchar_t> unicode(wide);
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), unicode.data(),
                        wide);
    int bytes = WideCharToMultiByte(CP_ACP, 0, unicode.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return utf8;
    std::string ansi(bytes, '\0');
    WideCharToMultiByte(CP_ACP, 0, unicode.data(), wide, &ansi[0], bytes, nullptr, nullptr);
    return ansi;
}
