// The setup dialog's help button: the guide installed beside the DLL, or, only when the user
// agrees, the web guide of exactly this build's source.
#pragma once
#include <windows.h>

#include <string>

// The guide's web address in the tree of the given tag or commit; the release list without one.
std::string HelpPageAddress(const char* sourceRef);
// Opens the office's own page when one is set, else the guide; every failure is told in a
// message box.
void OpenHelp(HINSTANCE moduleInstance, HWND owner, const std::string& officePage = std::string());
