#include "support/code_page.h"

#include <windows.h>

bool Utf8ToWide(const std::string& utf8, std::wstring* wide, bool exact) {
    wide->clear();
    if (utf8.empty())
        return true;
    const DWORD flags = exact ? MB_ERR_INVALID_CHARS : 0;
    const int size =
        MultiByteToWideChar(CP_UTF8, flags, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (size <= 0)
        return false;
    wide->assign(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, flags, utf8.data(), static_cast<int>(utf8.size()), &(*wide)[0],
                        size);
    return true;
}

bool WideToAnsi(const std::wstring& wide, std::string* text, bool exact) {
    text->clear();
    if (wide.empty())
        return true;
    const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL lost = FALSE;
    BOOL* lostOut = exact ? &lost : nullptr;
    const int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, lostOut);
    if (size <= 0 || lost)
        return false;
    text->assign(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), &(*text)[0],
                        size, nullptr, lostOut);
    return !lost;
}

std::wstring AnsiToWide(const std::string& text) {
    const int size =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(size > 0 ? static_cast<size_t>(size) : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], size);
    return wide;
}
