// Text between UTF-8, UTF-16 and the system's code page.
#pragma once

#include <string>

// exact: a broken UTF-8 sequence, or a character the code page lacks, fails the conversion;
// otherwise it becomes a stand-in character and the conversion goes on.
bool Utf8ToWide(const std::string& utf8, std::wstring* wide, bool exact);
bool WideToAnsi(const std::wstring& wide, std::string* text, bool exact);
// Never fails: a byte of no character becomes a stand-in character.
std::wstring AnsiToWide(const std::string& text);
