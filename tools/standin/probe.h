// Loads a plug-in, calls each of its callbacks once and reports what came back.
#pragma once

// Returns 0 when the plug-in accepted this host, 3 when it stayed inert, 2 when it did not load.
int RunProbe(const char* dllPath);
