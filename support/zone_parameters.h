// The PowerShell command line that writes a file's zone stream, built on the UTF-16 text the
// process will receive. Free of Win32 so the native build can fuzz it.
#pragma once

#include <string>

// PowerShell closes a single-quoted string at the typographic single quotes too.
bool IsPowerShellSingleQuote(wchar_t c);

// The parameters with path as a single-quoted literal (every single quote doubled) inside
// double quotes that the process's own argument splitting removes (they keep runs of blanks).
// False for an empty path, a double quote (it would end the argument early) or a control
// character (it names no file).
bool FormatZoneWriterParameters(const std::wstring& path, std::wstring* parameters);
