// One line of the client's timeline, stamped with the time the plug-in sees.
#pragma once
#include <string>

void Log(const char* format, ...);
// While quiet, Log prints nothing (benchmarks open thousands of windows).
void SetLogQuiet(bool quiet);
bool IsLogQuiet();
// Printed even while quiet: verdicts and errors.
void LogAlways(const char* format, ...);
// A long header value shortened for the timeline: its head and its length.
std::string Abbreviate(const std::string& text, size_t keep = 60);
