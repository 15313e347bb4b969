// The setup dialog's help button: the guide installed beside the DLL, or, only when the user
// agrees, the web guide of exactly this version.
#pragma once
#include <windows.h>

#include <string>

// The guide's web address at the tag of the given version; the release list without one.
std::string HelpPageAddress(const char* version);
// Opens the office's own page when one is set, else the guide; every failure is told in a
// message box.
void OpenHelp(HINSTANCE moduleInstance, HWND owner, const std::string& officePage = std::string());
