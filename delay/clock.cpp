#include "delay/clock.h"

namespace {

bool g_overridden = false;
SYSTEMTIME g_fixed;

} // namespace

void GetCurrentLocalTime(SYSTEMTIME* now) {
    if (g_overridden)
        *now = g_fixed;
    else
        GetLocalTime(now);
}

void SetLocalTimeOverride(const SYSTEMTIME* fixed) {
    g_overridden = fixed != nullptr;
    if (fixed)
        g_fixed = *fixed;
}
