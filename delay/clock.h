// Where the hold engine reads the current local time; tests can set it.
#pragma once
#include <windows.h>

void GetCurrentLocalTime(SYSTEMTIME* now);

// Tests only: a fixed time returned instead of the clock's; null goes back to the clock.
void SetLocalTimeOverride(const SYSTEMTIME* fixed);
