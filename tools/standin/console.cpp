#include "tools/standin/console.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

void PrintLine(const char* format, ...) {
    char text[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    int wide = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (wide <= 0) {
        printf("%s\n", text);
    } else {
        std::vector<wchar_t> unicode(wide);
        MultiByteToWideChar(CP_ACP, 0, text, -1, unicode.data(), wide);
        int bytes =
            WideCharToMultiByte(CP_UTF8, 0, unicode.data(), -1, nullptr, 0, nullptr, nullptr);
        std::vector<char> utf8(bytes > 0 ? bytes : 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, unicode.data(), -1, utf8.data(), bytes, nullptr, nullptr);
        printf("%s\n", utf8.data());
    }
    fflush(stdout);
}
