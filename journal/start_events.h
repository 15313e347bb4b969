// What the start tells the Event Log, and the operation log with it: the files it could not
// use, then the version with every key's value in force and where it came from.
#pragma once

#include <string>

class LocalSetting;

// logInstalled: the operation log's sink took the settings' file.
void LogStartEvents(const LocalSetting& settings, bool logInstalled, const char* version);
