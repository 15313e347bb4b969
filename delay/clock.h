// Where the hold engine's platform side reads the current local time; tests can set it.
#pragma once
#include <windows.h>

#include "support/local_time.h"

SLocalTime CurrentLocalTime();
SLocalTime ToLocalTime(const SYSTEMTIME& time);

// Tests only: a fixed time returned instead of the clock's; null goes back to the clock.
void SetLocalTimeOverride(const SYSTEMTIME* fixed);
