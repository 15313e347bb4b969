// The exit check: asked by the main window's hook before the client closes.
#pragma once
#include <windows.h>

class VelmoraLogic;

// False refuses the close: a confirmation is open, or held mail was kept, or sent just now.
bool CheckExit(VelmoraLogic* logic, HWND window);
