// The host's request to set the plug-in up: the setup dialog, saving what it confirmed, and
// the log of what changed.
#pragma once
#include <windows.h>

class VelmoraLogic;

// 1 once the dialog was offered; 0 before the start.
int RunSetup(VelmoraLogic* logic, HWND owner);
