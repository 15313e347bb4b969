// Where the settings file lives: under the user's application data, else beside the DLL.
#pragma once
#include <windows.h>

const size_t kSettingsPathSize = 388;

// The history of domains mail has left for, beside the settings file.
extern const char kDomainHistoryFileName[]; // "DomainHistory.txt"

// <base>\Tarnwyk\Velmora\Velmora.ini, with the two folders made when missing; false when a
// folder can be neither found nor made, or the path would not fit the settings store.
bool SettingsPathUnder(const char* base, char* path);

// The module's own path with the extension ".ini".
void ModuleSettingsPath(HINSTANCE module, char* path);

// The settings path for this module: under application data, or the module's own path
// with the extension ".ini". path holds kSettingsPathSize bytes.
void ChooseSettingsPath(HINSTANCE module, char* path);
