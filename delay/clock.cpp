#include "delay/clock.h"

static_assert(sizeof(SLocalTime) == sizeof(SYSTEMTIME), "the two layouts must match");

namespace {

bool g_overridden = false;
SYSTEMTIME g_fixed;

} // namespace

SLocalTime ToLocalTime(const SYSTEMTIME& time) {
    SLocalTime local = {time.wYear, time.wMonth,  time.wDayOfWeek, time.wDay,
                        time.wHour, time.wMinute, time.wSecond,    time.wMilliseconds};
    return local;
}

SLocalTime CurrentLocalTime() {
    SYSTEMTIME now;
    if (g_overridden)
        now = g_fixed;
    else
        GetLocalTime(&now);
    return ToLocalTime(now);
}

void SetLocalTimeOverride(const SYSTEMTIME* fixed) {
    g_overridden = fixed != nullptr;
    if (fixed)
        g_fixed = *fixed;
}
