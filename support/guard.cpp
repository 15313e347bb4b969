#include "support/guard.h"

#include <stdexcept>

namespace {
bool g_armed = false;
} // namespace

namespace NGuard {

void ArmFaultForTesting(bool armed) {
    g_armed = armed;
}

void FaultPoint() {
    if (g_armed)
        throw std::runtime_error("fault armed for testing");
}

} // namespace NGuard
