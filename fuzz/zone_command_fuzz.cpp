// The tagging command line read back as Windows splits it and PowerShell reads it: the
// -LiteralPath argument must give exactly the path, for every path that is accepted, and
// every path without a double quote or control character must be accepted. The input is
// read as UTF-16 code units.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/zone_parameters.h"

namespace {

using Wide = std::wstring;

// The argument splitting of CommandLineToArgvW for every argument after the program name.
std::vector<Wide> SplitArguments(const Wide& line) {
    std::vector<Wide> arguments;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && (line[i] == L' ' || line[i] == L'\t'))
            ++i;
        if (i == line.size())
            return arguments;
        Wide argument;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != L' ' && line[i] != L'\t'))) {
            size_t backslashes = 0;
            while (i < line.size() && line[i] == L'\\') {
                ++backslashes;
                ++i;
            }
            if (i < line.size() && line[i] == L'"') {
                argument.append(backslashes / 2, L'\\');
                if (backslashes % 2 == 1) {
                    argument += L'"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
                    argument += L'"'; // "" inside quotes is one quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument.append(backslashes, L'\\');
                if (i < line.size() && (quoted || (line[i] != L' ' && line[i] != L'\t')))
                    argument += line[i++];
            }
        }
        arguments.push_back(argument);
    }
}

bool SingleQuote(wchar_t c) {
    return c == L'\'' || c == 0x2018 || c == 0x2019 || c == 0x201A || c == 0x201B;
}

// A PowerShell single-quoted string that must fill the whole argument: two quote characters
// in a row stand for the second one.
bool ReadSingleQuoted(const Wide& argument, Wide* text) {
    if (argument.size() < 2 || !SingleQuote(argument[0]))
        return false;
    for (size_t i = 1; i < argument.size(); ++i) {
        if (!SingleQuote(argument[i])) {
            *text += argument[i];
        } else if (i + 1 < argument.size() && SingleQuote(argument[i + 1])) {
            *text += argument[++i];
        } else {
            return i + 1 == argument.size();
        }
    }
    return false;
}

bool Passable(const Wide& path) {
    if (path.empty())
        return false;
    for (const wchar_t c : path) {
        if (c < 0x20 || c == L'"')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Wide path;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0)
            break;
        path += unit;
    }
    Wide parameters;
    const bool accepted = FormatZoneWriterParameters(path, &parameters);
    if (accepted != Passable(path))
        __builtin_trap();
    if (!accepted)
        return 0;
    const std::vector<Wide> expected = {
        L"-ExecutionPolicy", L"Bypass",    L"Set-Content",
        L"-LiteralPath",     L"",          L"-Stream",
        L"Zone.Identifier",  L"-Encoding", L"oem",
        L"-NoNewline",       L"-Value",    L"[ZoneTransfer]`r`nZoneId=3"};
    const std::vector<Wide> arguments = SplitArguments(parameters);
    if (arguments.size() != expected.size())
        __builtin_trap();
    for (size_t i = 0; i < expected.size(); ++i) {
        if (i != 4 && arguments[i] != expected[i])
            __builtin_trap();
    }
    Wide literal;
    if (!ReadSingleQuoted(arguments[4], &literal) || literal != path)
        __builtin_trap();
    return 0;
}
