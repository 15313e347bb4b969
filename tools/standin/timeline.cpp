#include "tools/standin/timeline.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "tools/standin/console.h"
#include "tools/standin/virtual_clock.h"

namespace {

bool g_quiet = false;

void Stamped(const char* text) {
    SYSTEMTIME now;
    VirtualClock::Now(&now);
    PrintLine("[%04d-%02d-%02d %02d:%02d:%02d] %s", now.wYear, now.wMonth, now.wDay, now.wHour,
              now.wMinute, now.wSecond, text);
}

} // namespace

void SetLogQuiet(bool quiet) {
    g_quiet = quiet;
}

bool IsLogQuiet() {
    return g_quiet;
}

void Log(const char* format, ...) {
    if (g_quiet)
        return;
    char text[3072];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    Stamped(text);
}

void LogAlways(const char* format, ...) {
    char text[3072];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    Stamped(text);
}

std::string Abbreviate(const std::string& text, size_t keep) {
    if (text.size() <= keep)
        return text;
    // Cut before a lead byte so a double-byte character is never split.
    size_t cut = 0;
    while (cut < text.size()) {
        size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[cut])) ? 2 : 1;
        if (cut + step > keep)
            break;
        cut += step;
    }
    char tail[48];
    snprintf(tail, sizeof(tail), "... (%u bytes)", static_cast<unsigned>(text.size()));
    return text.substr(0, cut) + tail;
}
