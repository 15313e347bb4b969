// The operation log named by the settings, installed in the log writer for the process.
#pragma once

class LocalSetting;

// Installs a file sink at the settings' level when they name a usable log file, making its
// missing folders first; false (and no log) otherwise. The settings file and the journal folder, or
// anything in it, are never usable. A second call replaces the first sink.
bool InstallLogSink(const LocalSetting& settings);
// Takes the sink out again and frees it. Harmless when none is installed.
void RemoveLogSink();
