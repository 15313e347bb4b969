// A settable local time for the loaded plug-in, so release tests need not wait minutes.
#pragma once
#include <windows.h>

namespace VirtualClock {

// Redirects the module's import of kernel32 GetLocalTime to the virtual clock.
bool PatchModule(HMODULE module);
bool IsActive();
void Set(const SYSTEMTIME& time);
void AdvanceMilliseconds(long long milliseconds);
// The time the plug-in sees: virtual once set, the real local time otherwise.
void Now(SYSTEMTIME* time);

} // namespace VirtualClock
