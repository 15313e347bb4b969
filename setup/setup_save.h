// Writing out what the setup dialog confirmed.
#pragma once
#include <windows.h>

class LocalSetting;

// Saves the setup values; when the file cannot be written, tells the user where, over owner.
// The values stay in force for this run either way. False when the save failed.
bool SaveSetupValuesOrWarn(HWND owner, LocalSetting* settings);
