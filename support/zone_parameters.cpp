#include "support/zone_parameters.h"

bool IsPowerShellSingleQuote(wchar_t c) {
    return c == L'\'' || (c >= 0x2018 && c <= 0x201B);
}

bool FormatZoneWriterParameters(const std::wstring& path, std::wstring* parameters) {
    if (path.empty())
        return false;
    std::wstring literal = L"\"'";
    for (const wchar_t c : path) {
        if (c < 0x20 || c == L'"')
            return false;
        if (IsPowerShellSingleQuote(c))
            literal += c;
        literal += c;
    }
    literal += L"'\"";
    *parameters =
        L"-ExecutionPolicy Bypass Set-Content -LiteralPath " + literal +
        L" -Stream Zone.Identifier -Encoding oem -NoNewline -Value \"[ZoneTransfer]`r`nZoneId=3\"";
    return true;
}
