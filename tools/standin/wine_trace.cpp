#include "tools/standin/wine_trace.h"

#include <cstdlib>
#include <fstream>

namespace {

std::string g_traceFile;

// Wine's debugstr_w: L"..." with \n, \r, \t, \", \\ and \XXXX for everything outside ASCII.
std::wstring DecodeWineString(const std::string& line, size_t at) {
    std::wstring text;
    at = line.find("L\"", at);
    if (at == std::string::npos)
        return text;
    for (at += 2; at < line.size() && line[at] != '"'; ++at) {
        if (line[at] != '\\' || at + 1 >= line.size()) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(line[at]));
            continue;
        }
        const char next = line[++at];
        if (next == 'n' || next == 'r' || next == 't') {
            text += next == 'n' ? L'\n' : next == 'r' ? L'\r' : L'\t';
        } else if (isxdigit(static_cast<unsigned char>(next)) && at + 3 < line.size()) {
            text += static_cast<wchar_t>(strtoul(line.substr(at, 4).c_str(), nullptr, 16));
            at += 3;
        } else {
            text += static_cast<wchar_t>(next);
        }
    }
    return text;
}

std::string Ansi(const std::wstring& wide) {
    std::string text(wide.size() * 2 + 1, '\0');
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0],
                            static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

std::vector<std::string> TraceLines() {
    std::vector<std::string> lines;
    std::ifstream file(g_traceFile, std::ios::binary);
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

// The n-th comma-separated hexadecimal argument of "Name (a,b,c,...)".
unsigned long Argument(const std::string& line, size_t open, int n) {
    size_t at = open + 1;
    for (int i = 0; i < n && at != std::string::npos; ++i) {
        at = line.find(',', at);
        if (at != std::string::npos)
            ++at;
    }
    return at == std::string::npos ? 0 : strtoul(line.c_str() + at, nullptr, 16);
}

} // namespace

void SetTraceFile(const std::string& path) {
    g_traceFile = path;
}

bool HasTraceFile() {
    return !g_traceFile.empty() &&
           GetFileAttributesA(g_traceFile.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// "fixme:advapi:ReportEventW (source,type,category,id,sid,count,size,strings,data): stub",
// then one "eventlog:ReportEventW L"..."" line per string.
std::vector<TracedEvent> TracedEvents() {
    std::vector<TracedEvent> events;
    for (const std::string& line : TraceLines()) {
        const size_t call = line.find(":advapi:ReportEventW (");
        if (call != std::string::npos) {
            const size_t open = line.find('(', call);
            TracedEvent event;
            event.type = static_cast<int>(Argument(line, open, 1));
            event.id = static_cast<unsigned>(Argument(line, open, 3));
            events.push_back(event);
        } else if (line.find(":eventlog:ReportEventW L\"") != std::string::npos &&
                   !events.empty()) {
            events.back().strings.push_back(Ansi(DecodeWineString(line, line.find("L\""))));
        }
    }
    return events;
}

std::string TracedBlockReason(HWND window) {
    const unsigned long handle = static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window));
    std::string reason;
    for (const std::string& line : TraceLines()) {
        const size_t create = line.find(":ShutdownBlockReasonCreate (");
        const size_t destroy = line.find(":ShutdownBlockReasonDestroy (");
        const size_t call = create != std::string::npos ? create : destroy;
        if (call == std::string::npos || Argument(line, line.find('(', call), 0) != handle)
            continue;
        reason = create != std::string::npos ? Ansi(DecodeWineString(line, call)) : "";
    }
    return reason;
}
